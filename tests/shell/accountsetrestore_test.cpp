#include "shell/accountsetrestore.h"

#include "shell/accountsets.h"
#include "shell/accountsetsession.h"
#include "shell/backups.h"
#include "shell/masterdatabase.h"
#include "store/clock.h"
#include "store/database.h"
#include "store/errors.h"
#include "store/schema.h"
#include "support/ledgerseed.h"
#include "support/templatemaster.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace varnock;
using varnock::test::dec;

namespace {

class RestoreTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        Clock::setToday(QDate(2026, 5, 1));
        test::copyTemplateMaster(m_folder);
        m_master = MasterDatabase::ensure(m_folder);
        AccountSets sets(*m_master, m_folder);
        NewAccountSet r;
        r.number = sets.proposedNumber();
        r.name = QStringLiteral("还原");
        r.password = QStringLiteral("pw");
        r.date = Clock::today();
        m_number = sets.create(r).number;
        m_session = std::make_unique<AccountSetSession>(m_folder, *m_master, m_number);
    }
    void TearDown() override { Clock::setToday(std::nullopt); }

    Database &db() { return m_session->database(); }
    void addSupplier(const char *code)
    {
        db().exec(QStringLiteral("INSERT INTO GYS (BH, MC) VALUES (?, '建材')"),
                  {QLatin1String(code)});
    }
    int suppliers() { return db().scalar(QStringLiteral("SELECT COUNT(*) FROM GYS")).toInt(); }
    QString setFile() const { return m_folder.accountSetDatabasePath(m_number); }
    QString refusalRestoring(const QString &file)
    {
        AccountSetRestore restore(db());
        try {
            restore.stageFile(file);
        } catch (const Refusal &refusal) {
            return refusal.text;
        }
        return QString();
    }

    QTemporaryDir m_dir;
    DataFolder m_folder{m_dir.path()};
    std::unique_ptr<Database> m_master;
    qint64 m_number = 0;
    std::unique_ptr<AccountSetSession> m_session;
};

TEST_F(RestoreTest, PutsTheBackupBackAndKeepsTheBooksItReplaced)
{
    addSupplier("G1");
    const QString backup = Backups::backUp(db(), QString(), Clock::today());
    addSupplier("G2");

    AccountSetRestore restore(db());
    restore.stageFile(backup);
    const QString before = restore.replace(*m_session, QDateTime(Clock::today(), QTime(10, 0)));
    EXPECT_EQ(suppliers(), 1);
    EXPECT_EQ(Database(before, Database::Access::ReadOnly)
                  .scalar(QStringLiteral("SELECT COUNT(*) FROM GYS"))
                  .toInt(),
              2);
    EXPECT_TRUE(AccountSetRestore::finishedText(before).contains(QDir::toNativeSeparators(before)));
    // Nothing is left beside the set's file, and the set stays locked for this program.
    EXPECT_FALSE(QFileInfo::exists(setFile() + QStringLiteral(".old")));
    EXPECT_FALSE(QFileInfo::exists(setFile() + QStringLiteral(".restore")));
    EXPECT_THROW(std::make_unique<AccountSetSession>(m_folder, *m_master, m_number), Refusal);
    addSupplier("G3");
    EXPECT_EQ(suppliers(), 2);
}

TEST_F(RestoreTest, ADamagedOrForeignFileReplacesNothingAndSaysWhy)
{
    addSupplier("G1");
    const QString backup = Backups::backUp(db(), QString(), Clock::today());
    addSupplier("G2");

    const QString truncated = m_dir.filePath(QStringLiteral("truncated.db"));
    ASSERT_TRUE(QFile::copy(backup, truncated));
    QFile cut(truncated);
    ASSERT_TRUE(cut.resize(QFileInfo(backup).size() / 2));
    EXPECT_FALSE(refusalRestoring(truncated).isEmpty());

    const QString text = m_dir.filePath(QStringLiteral("notes.db"));
    QFile notes(text);
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.write("not a database");
    notes.close();
    EXPECT_TRUE(refusalRestoring(text).contains(QStringLiteral("不是本系统的数据文件")));

    const QString foreign = m_dir.filePath(QStringLiteral("foreign.db"));
    {
        Database other(foreign, Database::Access::Create);
        other.exec(QStringLiteral("CREATE TABLE T (A INTEGER)"));
        other.setUserVersion(Schema::Version);
    }
    EXPECT_TRUE(refusalRestoring(foreign).contains(QStringLiteral("缺少数据表：CLJBXXB")));
    EXPECT_TRUE(
        refusalRestoring(m_folder.masterDatabasePath()).contains(QStringLiteral("主数据库")));
    EXPECT_TRUE(refusalRestoring(m_dir.filePath(QStringLiteral("missing.db")))
                    .contains(QStringLiteral("文件不存在")));

    EXPECT_EQ(suppliers(), 2);
    EXPECT_FALSE(QFileInfo::exists(setFile() + QStringLiteral(".restore")));
    EXPECT_FALSE(QFileInfo::exists(setFile() + QStringLiteral(".old")));
}

TEST_F(RestoreTest, ABackupTakenWhileAnotherConnectionWritesHoldsBalancedBooks)
{
    db().exec(QStringLiteral("INSERT INTO CLJBXXB (CLBH, SJBH, CLMC, SFMJ) VALUES "
                             "('1001', '1', '水泥', 1), ('1002', '1', '钢筋', 1)"));
    test::LedgerSeed(db()).opening(QStringLiteral("1001"), dec("10"), dec("400"));

    Database writer(setFile());
    Transaction half(writer);
    test::LedgerSeed(writer).opening(QStringLiteral("1002"), dec("5"), dec("250"));
    const QString backup = Backups::backUp(db(), QString(), Clock::today());

    Database copy(backup, Database::Access::ReadOnly);
    EXPECT_EQ(copy.scalar(QStringLiteral("SELECT COUNT(*) FROM ZWCSH")).toInt(), 1);
    test::expectBooksBalance(copy, m_session->mode(), m_session->formats());
    AccountSetRestore::check(backup);
}

TEST_F(RestoreTest, PiecesJoinedFromAFolderAreRestored)
{
    addSupplier("G1");
    const QString backup = Backups::backUp(db(), QString(), Clock::today());
    addSupplier("G2");
    const QString medium = m_dir.filePath(QStringLiteral("medium"));
    ASSERT_TRUE(QDir().mkpath(medium));
    const auto yes = [](const QString &) { return true; };
    const int pieces = BackupPieces::split(backup, medium, yes, 4096);
    EXPECT_EQ(pieces, BackupPieces::pieceCount(QFileInfo(backup).size(), 4096));

    AccountSetRestore restore(db());
    restore.stageJoined(medium, yes, 4096);
    restore.replace(*m_session, QDateTime(Clock::today(), QTime(11, 0)));
    EXPECT_EQ(suppliers(), 1);
}

} // namespace
