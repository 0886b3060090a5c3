#include "shell/accountsets.h"
#include "shell/accountsetsession.h"
#include "shell/displaysettings.h"
#include "shell/masterdatabase.h"
#include "store/clock.h"
#include "store/database.h"
#include "store/errors.h"
#include "store/schema.h"
#include "support/templatemaster.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSysInfo>
#include <QTemporaryDir>

#include <csignal>
#include <memory>
#include <sys/wait.h>
#include <unistd.h>

using namespace varnock;

namespace {

using test::copyTemplateMaster;

// Another program holding an account set open: a child process that takes the set's lock
// and keeps it until it is told to let go or is killed.
class OtherProgram
{
public:
    explicit OtherProgram(const QString &lockPath)
    {
        if (::pipe(m_toChild) != 0 || ::pipe(m_fromChild) != 0)
            return;
        m_pid = ::fork();
        if (m_pid == 0) {
            QLockFile lock(lockPath);
            lock.setStaleLockTime(0);
            char state = lock.tryLock(0) ? 'L' : 'F';
            (void)!::write(m_fromChild[1], &state, 1);
            (void)!::read(m_toChild[0], &state, 1);
            lock.unlock();
            ::_exit(0);
        }
        char state = 0;
        m_locked = ::read(m_fromChild[0], &state, 1) == 1 && state == 'L';
    }
    ~OtherProgram()
    {
        if (m_pid > 0)
            kill();
        for (int fd : {m_toChild[0], m_toChild[1], m_fromChild[0], m_fromChild[1]}) {
            if (fd >= 0)
                ::close(fd);
        }
    }
    bool locked() const { return m_locked; }
    // Ends without cleaning up, leaving its lock file behind.
    void kill()
    {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }

private:
    int m_toChild[2] = {-1, -1};
    int m_fromChild[2] = {-1, -1};
    pid_t m_pid = -1;
    bool m_locked = false;
};

class SessionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        Clock::setToday(QDate(2026, 5, 1));
        copyTemplateMaster(m_folder);
        m_master = MasterDatabase::ensure(m_folder);
        m_sets = std::make_unique<AccountSets>(*m_master, m_folder);
    }
    void TearDown() override { Clock::setToday(std::nullopt); }

    qint64 create(const QString &name, int mode = 2)
    {
        NewAccountSet r;
        r.number = m_sets->proposedNumber();
        r.name = name;
        r.password = QStringLiteral("pw");
        r.date = Clock::today();
        r.mode = mode;
        return m_sets->create(r).number;
    }

    std::unique_ptr<AccountSetSession> open(qint64 number)
    {
        return std::make_unique<AccountSetSession>(m_folder, *m_master, number);
    }

    QString refusalOpening(qint64 number)
    {
        try {
            open(number);
        } catch (const Refusal &refusal) {
            return refusal.text;
        }
        return QString();
    }

    QTemporaryDir m_dir;
    DataFolder m_folder{m_dir.path()};
    std::unique_ptr<Database> m_master;
    std::unique_ptr<AccountSets> m_sets;
};

} // namespace

TEST_F(SessionTest, EachSetKeepsTheModeChosenAtCreation)
{
    const qint64 fifo = create(QStringLiteral("先进先出工地"), 1);
    const qint64 average = create(QStringLiteral("移动加权工地"), 2);
    // Reopen from a fresh master connection, as after a restart.
    m_sets.reset();
    m_master = MasterDatabase::ensure(m_folder);
    {
        auto session = open(fifo);
        EXPECT_EQ(session->mode(), 1);
        EXPECT_TRUE(session->isFirstInFirstOut());
        EXPECT_EQ(session->number(), fifo);
        EXPECT_EQ(session->name(), QStringLiteral("先进先出工地"));
    }
    {
        auto session = open(average);
        EXPECT_EQ(session->mode(), 2);
        // A set without a stored mode runs as moving average.
        session->database().exec(QStringLiteral("DELETE FROM ZTMS"));
    }
    EXPECT_EQ(open(average)->mode(), 2);
}

TEST_F(SessionTest, OpeningASetOfAnEarlierVersionAddsTheIndexesItLacks)
{
    const qint64 number = create(QStringLiteral("旧账套"));
    const QString count =
        QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type = 'index' AND name = ?");
    const QString index = QStringLiteral("RKD_CLBH_ID");
    {
        auto old = open(number);
        old->database().exec(QStringLiteral("DROP INDEX ") + index);
        old->database().setUserVersion(1);
    }
    auto session = open(number);
    EXPECT_EQ(session->database().scalar(count, {index}).toInt(), 1);
    EXPECT_EQ(session->database().userVersion(), Schema::Version);
}

TEST_F(SessionTest, ASetOfAnEarlierVersionGetsTheMirrorPiecesOfItsReversedDeliveries)
{
    // A reversed direct delivery's mirror pair as an earlier version left it: posted, negated,
    // without the piece that takes it back out of the issues.
    const auto mirrorPieces = [&](AccountSetSession &session) {
        return session.database()
            .scalar(QStringLiteral("SELECT COUNT(*) FROM XJXCSJB WHERE CKID = 2 AND CKSL = -70000"))
            .toInt();
    };
    for (const int mode : {1, 2}) {
        const qint64 number = create(QStringLiteral("直进直出%1").arg(mode), mode);
        {
            auto old = open(number);
            Database &db = old->database();
            db.exec(QStringLiteral("INSERT INTO LLD (ID, XTBH, CLBH, SJSL, SJJE, JZBZ, CZBZ, ZJZC, "
                                   "CZRQ) VALUES (2, 9, '1001', -70000, -801500, 1, 1, 1, "
                                   "'2026-02-06')"));
            db.exec(
                QStringLiteral("INSERT INTO RKD (XTBH, CLBH, SJDJ, SJSL, SJJE, JZBZ, CZBZ, CKID, "
                               "CKBH, CZRQ) VALUES (8, '1001', 114500, -70000, -801500, 1, 1, "
                               "2, 9, '2026-02-06')"));
            db.setUserVersion(13);
            EXPECT_EQ(mirrorPieces(*old), 0);
        }
        // A file of this version is taken as it is; one of an earlier version is mended once.
        EXPECT_EQ(mirrorPieces(*open(number)), 0);
        open(number)->database().setUserVersion(12);
        EXPECT_EQ(mirrorPieces(*open(number)), mode == 1 ? 1 : 0) << mode;
        EXPECT_EQ(mirrorPieces(*open(number)), mode == 1 ? 1 : 0) << mode;
    }
}

TEST_F(SessionTest, ASetOfANewerVersionIsRefusedAndLeftAsItIs)
{
    const qint64 number = create(QStringLiteral("新账套"));
    open(number)->database().setUserVersion(Schema::Version + 1);
    const QString text = refusalOpening(number);
    EXPECT_TRUE(text.contains(m_folder.accountSetDatabasePath(number))) << text.toStdString();
    EXPECT_TRUE(text.contains(QString::number(Schema::Version + 1)));
    Database file(m_folder.accountSetDatabasePath(number), Database::Access::ReadOnly);
    EXPECT_EQ(file.userVersion(), Schema::Version + 1);
}

TEST_F(SessionTest, TitleFormatsAndClosingComeFromTheSetAndTheDataFolder)
{
    const qint64 number = create(QStringLiteral("甲"));
    {
        auto session = open(number);
        EXPECT_EQ(session->windowTitle(), QStringLiteral("Varnock系统 - [ ") +
                                              AccountSetSession::DefaultFirmName +
                                              QStringLiteral(" ]"));
        EXPECT_FALSE(session->hasClosing());
        EXPECT_EQ(session->formats().amountFormat(), QStringLiteral("0.00"));
        session->database().exec(QStringLiteral("INSERT INTO YHZL (GSMC) VALUES (?)"),
                                 {QStringLiteral("第三建筑公司")});
        session->database().exec(QStringLiteral("INSERT INTO YJSJB (YJSJ) VALUES ('2026-04-30')"));
    }
    DisplaySettings(m_folder).writeFormats(Formats(QStringLiteral("0.000"), QStringLiteral("0")));
    auto session = open(number);
    EXPECT_EQ(session->windowTitle(), QStringLiteral("Varnock系统 - [ 第三建筑公司 ]"));
    EXPECT_TRUE(session->hasClosing());
    EXPECT_EQ(session->formats().quantityDecimals(), 3);
    EXPECT_EQ(session->formats().amountDecimals(), 0);
}

TEST_F(SessionTest, ASetOpenInThisProgramCannotBeOpenedTwiceNorDeleted)
{
    const qint64 number = create(QStringLiteral("甲"));
    {
        auto first = open(number);
        const QString text = refusalOpening(number);
        EXPECT_TRUE(text.startsWith(AccountSetSession::InUseText)) << text.toStdString();
        // The holder is named where the lock says who it is.
        EXPECT_TRUE(text.contains(QString::number(QCoreApplication::applicationPid())));
        EXPECT_THROW(m_sets->remove(number, QStringLiteral("pw")), Refusal);
        EXPECT_EQ(m_sets->list().size(), 1);
        EXPECT_TRUE(QFileInfo::exists(m_folder.accountSetDatabasePath(number)));
        // The refused attempts took nothing from the open session.
        EXPECT_NO_THROW(first->database().scalar(QStringLiteral("SELECT COUNT(*) FROM CZY")));
    }
    EXPECT_NO_THROW(open(number));
    m_sets->remove(number, QStringLiteral("pw"));
    EXPECT_FALSE(QFileInfo::exists(m_folder.accountSetFolder(number)));
}

TEST_F(SessionTest, ASetOpenInAnotherProgramIsRefusedUntilThatProgramIsGone)
{
    const qint64 number = create(QStringLiteral("甲"));
    OtherProgram other(m_folder.accountSetLockPath(number));
    ASSERT_TRUE(other.locked());

    EXPECT_TRUE(refusalOpening(number).startsWith(AccountSetSession::InUseText));
    EXPECT_THROW(m_sets->remove(number, QStringLiteral("pw")), Refusal);
    EXPECT_TRUE(QFileInfo::exists(m_folder.accountSetDatabasePath(number)));
    // Reading needs no lock: the set is read beside the other program.
    EXPECT_NO_THROW(
        AccountSetSession(m_folder, *m_master, number, AccountSetSession::Access::Read));

    // A program that died leaves its lock file; that lock is stale and taken over.
    other.kill();
    ASSERT_TRUE(QFileInfo::exists(m_folder.accountSetLockPath(number)));
    auto session = open(number);
    EXPECT_EQ(session->number(), number);
}

TEST_F(SessionTest, MissingOrUnknownSetIsRefusedWithoutCreatingAFile)
{
    EXPECT_FALSE(refusalOpening(12345).isEmpty());

    const qint64 number = create(QStringLiteral("甲"));
    const QString path = m_folder.accountSetDatabasePath(number);
    ASSERT_TRUE(QFile::rename(path, path + QStringLiteral(".away")));
    EXPECT_FALSE(refusalOpening(number).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(path));

    // Nothing stays locked after the failed attempt.
    ASSERT_TRUE(QFile::rename(path + QStringLiteral(".away"), path));
    EXPECT_NO_THROW(open(number));
}

TEST_F(SessionTest, ALockFileThatNamesNoLiveProgramIsTakenOver)
{
    const qint64 number = create(QStringLiteral("甲"));
    const QString lockPath = m_folder.accountSetLockPath(number);
    // A power cut between creating and writing the lock leaves it empty; other damage leaves
    // anything at all.
    const QByteArray deadProcess =
        "999999999\nvarnock\n" + QSysInfo::machineHostName().toUtf8() + "\n";
    for (const QByteArray &contents :
         {QByteArray(), QByteArray("garbage\n"), QByteArray("\xff\xfe\x00\x01", 4), deadProcess}) {
        {
            QFile lock(lockPath);
            ASSERT_TRUE(lock.open(QIODevice::WriteOnly | QIODevice::Truncate));
            lock.write(contents);
        }
        EXPECT_NO_THROW(open(number)) << contents.toHex().toStdString();
        EXPECT_FALSE(QFileInfo::exists(lockPath));
    }
    // Deleting takes it over as well.
    QFile(lockPath).open(QIODevice::WriteOnly);
    EXPECT_NO_THROW(m_sets->remove(number, QStringLiteral("pw")));
}
