#include "shell/accountsets.h"
#include "shell/masterdatabase.h"
#include "shell/passwords.h"
#include "shell/permissions.h"
#include "store/clock.h"
#include "store/database.h"
#include "store/errors.h"
#include "store/materiallibraries.h"
#include "support/templatemaster.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <memory>

using namespace varnock;

namespace {

using test::copyTemplateMaster;

class AccountSetsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        Clock::setToday(QDate(2026, 3, 15));
        copyTemplateMaster(m_folder);
        m_master = MasterDatabase::ensure(m_folder);
        m_sets = std::make_unique<AccountSets>(*m_master, m_folder);
    }
    void TearDown() override { Clock::setToday(std::nullopt); }

    NewAccountSet request(const QString &name, int mode = 2) const
    {
        NewAccountSet r;
        r.number = m_sets->proposedNumber();
        r.name = name;
        r.password = QStringLiteral("pw");
        r.date = Clock::today();
        r.mode = mode;
        return r;
    }

    QString refusalText(const NewAccountSet &r)
    {
        try {
            m_sets->create(r);
        } catch (const Refusal &refusal) {
            return refusal.text;
        }
        return QString();
    }

    // Runs a query on the set's own file, closing it again.
    QVariant inSet(qint64 number, const QString &sql) const
    {
        Database set(m_folder.accountSetDatabasePath(number));
        return set.scalar(sql);
    }

    QTemporaryDir m_dir;
    DataFolder m_folder{m_dir.path()};
    std::unique_ptr<Database> m_master;
    std::unique_ptr<AccountSets> m_sets;
};

} // namespace

TEST(MasterDatabase, NewMasterHoldsTemplateOperatorRightsAndLibraries)
{
    QTemporaryDir dir;
    const DataFolder folder(dir.filePath(QStringLiteral("not/yet/there")));
    const std::unique_ptr<Database> master = MasterDatabase::ensure(folder);
    EXPECT_TRUE(QFileInfo::exists(folder.masterDatabasePath()));
    // Nothing of the build in a temporary file stays next to it.
    EXPECT_TRUE(QDir(folder.path()).entryList({QStringLiteral("*.new*")}).isEmpty());

    QSqlQuery op = master->exec(QStringLiteral("SELECT BH, CZY, PASS FROM CZY"));
    ASSERT_TRUE(op.next());
    EXPECT_EQ(op.value(0).toInt(), 1);
    EXPECT_EQ(op.value(1).toString(), QStringLiteral("admin"));
    EXPECT_TRUE(Passwords::isHash(op.value(2).toString()));
    EXPECT_TRUE(Passwords::matches(op.value(2).toString(), QStringLiteral("admin")));
    EXPECT_FALSE(op.next());

    for (int f = 0; f < Permissions::FlagCount; ++f) {
        const QString field = Permissions::fieldName(Permissions::Flag(f));
        EXPECT_EQ(
            master->scalar(QStringLiteral("SELECT %1 FROM CZYQX WHERE BH = 1").arg(field)).toInt(),
            1)
            << field.toStdString();
    }
    for (int lib = 0; lib < MaterialLibraries::Count; ++lib) {
        EXPECT_GT(master
                      ->scalar(QStringLiteral("SELECT COUNT(*) FROM %1")
                                   .arg(MaterialLibraries::tableName(lib)))
                      .toInt(),
                  0);
    }
    EXPECT_TRUE(AccountSets(*master, folder).list().isEmpty());
}

TEST_F(AccountSetsTest, ExistingMasterIsOpenedNotRebuilt)
{
    m_sets->create(request(QStringLiteral("一号工地")));
    m_sets.reset();
    m_master.reset();
    m_master = MasterDatabase::ensure(m_folder);
    EXPECT_EQ(AccountSets(*m_master, m_folder).list().size(), 1);
}

TEST_F(AccountSetsTest, NumbersStartAtYearThenFollowTheHighestAcrossYears)
{
    EXPECT_EQ(m_sets->proposedNumber(), 2026001);
    m_sets->create(request(QStringLiteral("甲")));
    EXPECT_EQ(m_sets->proposedNumber(), 2026002);
    m_sets->create(request(QStringLiteral("乙")));

    Clock::setToday(QDate(2027, 1, 2));
    EXPECT_EQ(m_sets->proposedNumber(), 2026003);

    // A folder without its list row is never reused.
    ASSERT_TRUE(QDir().mkpath(m_folder.accountSetFolder(2026003)));
    EXPECT_EQ(m_sets->proposedNumber(), 2026004);

    const QList<AccountSetInfo> sets = m_sets->list();
    ASSERT_EQ(sets.size(), 2);
    EXPECT_EQ(sets[0].number, 2026001);
    EXPECT_EQ(sets[0].name, QStringLiteral("甲"));
    EXPECT_EQ(sets[0].created, QDate(2026, 3, 15));
    EXPECT_EQ(sets[1].number, 2026002);
}

TEST_F(AccountSetsTest, RefusalsComeInTheWizardsOrderAndCreateNothing)
{
    NewAccountSet r = request(QString());
    EXPECT_EQ(refusalText(r), QStringLiteral("账套名称和密码不允许为空！"));
    r.name = QStringLiteral("工地");
    r.password = QStringLiteral("   ");
    EXPECT_EQ(m_sets->check(r)->problem, AccountSets::Problem::EmptyPassword);
    EXPECT_EQ(refusalText(r), QStringLiteral("账套名称和密码不允许为空！"));

    r.password = QStringLiteral("pw");
    r.name = QStringLiteral("一 号");
    EXPECT_EQ(m_sets->check(r)->problem, AccountSets::Problem::NameWithSpaces);
    r.name = QStringLiteral("一\u3000号");
    EXPECT_EQ(m_sets->check(r)->problem, AccountSets::Problem::NameWithSpaces);

    r.name = QStringLiteral("工地");
    r.operatorName = QStringLiteral("张三");
    r.operatorPassword = QStringLiteral("a");
    r.operatorPasswordRepeat = QStringLiteral("b");
    EXPECT_EQ(refusalText(r), QStringLiteral("验证密码不同！，请重新输入！"));

    EXPECT_TRUE(m_sets->list().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(m_folder.accountSetFolder(r.number)));

    // Without an operator the repetition is not looked at.
    r.operatorName.clear();
    r.operatorPassword.clear();
    EXPECT_FALSE(m_sets->check(r).has_value());

    r.date = QDate(1899, 12, 31);
    EXPECT_EQ(refusalText(r), QStringLiteral("建账日期必须在1900-01-01至2999-12-31之间！"));
    r.date = QDate(3000, 1, 1);
    EXPECT_EQ(m_sets->check(r)->problem, AccountSets::Problem::InvalidDate);
    r.date = QDate(2999, 12, 31);
    EXPECT_FALSE(m_sets->check(r).has_value());
    r.number = AccountSets::MaxNumber + 1;
    EXPECT_EQ(m_sets->check(r)->problem, AccountSets::Problem::InvalidNumber);
}

TEST_F(AccountSetsTest, DuplicateNameIsRefusedAndLeavesNoFolder)
{
    m_sets->create(request(QStringLiteral("一号工地")));
    NewAccountSet again = request(QStringLiteral("一号工地"));
    again.operatorName = QStringLiteral("x");
    again.operatorPassword = QStringLiteral("1");
    again.operatorPasswordRepeat = QStringLiteral("2");
    // The duplicate is found before the operator's passwords are compared.
    EXPECT_EQ(refusalText(again), QStringLiteral("账套名称不允许重复！"));
    EXPECT_FALSE(QFileInfo::exists(m_folder.accountSetFolder(again.number)));
    EXPECT_EQ(m_sets->list().size(), 1);
}

TEST_F(AccountSetsTest, TakenNumberIsRefused)
{
    const AccountSetInfo first = m_sets->create(request(QStringLiteral("甲")));
    NewAccountSet r = request(QStringLiteral("乙"));
    r.number = first.number;
    EXPECT_EQ(m_sets->check(r)->problem, AccountSets::Problem::NumberTaken);
    r.number = 0;
    EXPECT_EQ(m_sets->check(r)->problem, AccountSets::Problem::InvalidNumber);
}

TEST_F(AccountSetsTest, NewSetIsACopyWithItsOwnOperatorModeAndHashedPassword)
{
    NewAccountSet r = request(QStringLiteral("二号工地"), 1);
    r.operatorName = QStringLiteral("张会计");
    r.operatorPassword = QStringLiteral("口令");
    r.operatorPasswordRepeat = QStringLiteral("口令");
    const AccountSetInfo info = m_sets->create(r);

    EXPECT_TRUE(QFileInfo::exists(m_folder.accountSetDatabasePath(info.number)));
    {
        Database set(m_folder.accountSetDatabasePath(info.number));
        EXPECT_FALSE(set.tableExists(QStringLiteral("ZTXX")));
        EXPECT_TRUE(set.tableExists(QStringLiteral("RKD")));
        EXPECT_EQ(set.scalar(QStringLiteral("SELECT CZY FROM CZY WHERE BH = 1")).toString(),
                  QStringLiteral("张会计"));
        const QString pass =
            set.scalar(QStringLiteral("SELECT PASS FROM CZY WHERE BH = 1")).toString();
        EXPECT_TRUE(Passwords::isHash(pass));
        EXPECT_TRUE(Passwords::matches(pass, QStringLiteral("口令")));
        EXPECT_EQ(set.scalar(QStringLiteral("SELECT COUNT(*) FROM CZYQX")).toInt(), 1);
        EXPECT_EQ(set.scalar(QStringLiteral("SELECT COUNT(*) FROM ZTMS")).toInt(), 1);
        EXPECT_EQ(set.scalar(QStringLiteral("SELECT MS FROM ZTMS")).toInt(), 1);
        EXPECT_GT(set.scalar(QStringLiteral("SELECT COUNT(*) FROM CLJBXXB0")).toInt(), 0);
    }
    const QString stored =
        m_master->scalar(QStringLiteral("SELECT PASS FROM ZTXX WHERE BH = ?"), {info.number})
            .toString();
    EXPECT_TRUE(Passwords::isHash(stored));
    EXPECT_TRUE(Passwords::matches(stored, QStringLiteral("pw")));
    EXPECT_EQ(m_master->scalar(QStringLiteral("SELECT JZRQ FROM ZTXX")).toString(),
              QStringLiteral("2026-03-15"));
}

TEST_F(AccountSetsTest, WithoutAnOperatorTheTemplatesStaysAndAGivenOneNeedsBothFields)
{
    const AccountSetInfo plain = m_sets->create(request(QStringLiteral("甲")));
    EXPECT_EQ(inSet(plain.number, QStringLiteral("SELECT CZY FROM CZY WHERE BH = 1")).toString(),
              QStringLiteral("admin"));
    EXPECT_TRUE(Passwords::matches(
        inSet(plain.number, QStringLiteral("SELECT PASS FROM CZY WHERE BH = 1")).toString(),
        QStringLiteral("admin")));
    EXPECT_EQ(inSet(plain.number, QStringLiteral("SELECT MS FROM ZTMS")).toInt(), 2);

    // A name alone would keep the template's well-known password; a password alone would be
    // dropped.
    NewAccountSet r = request(QStringLiteral("乙"));
    r.operatorName = QStringLiteral("李四");
    EXPECT_EQ(refusalText(r), QStringLiteral("操作员口令不允许为空！"));
    r.operatorPassword = r.operatorPasswordRepeat = QStringLiteral("  ");
    EXPECT_EQ(refusalText(r), QStringLiteral("操作员口令不允许为空！"));
    r.operatorName.clear();
    r.operatorPassword = r.operatorPasswordRepeat = QStringLiteral("kl");
    EXPECT_EQ(refusalText(r), QStringLiteral("操作员姓名不允许为空！"));
    r.operatorPassword = r.operatorPasswordRepeat = QString();
    r.operatorGiven = true;
    EXPECT_EQ(m_sets->check(r)->problem, AccountSets::Problem::IncompleteOperator);
    EXPECT_EQ(m_sets->list().size(), 1);
}

TEST_F(AccountSetsTest, NamesWithQuotesPercentAndChineseAreKeptAsTyped)
{
    const QString odd = QStringLiteral("O'Brien\"%_工地；一");
    const AccountSetInfo info = m_sets->create(request(odd));
    ASSERT_TRUE(m_sets->find(info.number).has_value());
    EXPECT_EQ(m_sets->find(info.number)->name, odd);
    EXPECT_EQ(m_sets->list().at(0).name, odd);
    EXPECT_EQ(refusalText(request(odd)), QStringLiteral("账套名称不允许重复！"));
    // Wildcards match nothing but themselves.
    EXPECT_NO_THROW(m_sets->create(request(QStringLiteral("O'BrienX%_工地；一"))));
    EXPECT_EQ(m_sets->list().size(), 2);
}

TEST_F(AccountSetsTest, FailureHalfwayLeavesNeitherFolderNorRow)
{
    // A template without operator 1 cannot give the new set its operator.
    m_master->exec(QStringLiteral("DELETE FROM CZY"));
    NewAccountSet r = request(QStringLiteral("甲"));
    r.operatorName = QStringLiteral("张三");
    r.operatorPassword = r.operatorPasswordRepeat = QStringLiteral("zs");
    EXPECT_THROW(m_sets->create(r), StoreError);
    EXPECT_FALSE(QFileInfo::exists(m_folder.accountSetFolder(r.number)));
    EXPECT_TRUE(QDir(m_folder.path()).entryList({QStringLiteral("*.new*")}).isEmpty());
    EXPECT_TRUE(m_sets->list().isEmpty());
}

TEST_F(AccountSetsTest, AStartFinishesOrRemovesWhatAnInterruptedCreationLeft)
{
    const auto building = [&](qint64 number) {
        return m_folder.accountSetFolder(number) + QStringLiteral(".new");
    };
    // Killed after listing, before the rename into place.
    const AccountSetInfo listed = m_sets->create(request(QStringLiteral("甲")));
    ASSERT_TRUE(QDir().rename(m_folder.accountSetFolder(listed.number), building(listed.number)));
    // Killed while building: a complete copy, not listed.
    const qint64 unlisted = m_sets->proposedNumber();
    ASSERT_TRUE(QDir().mkpath(building(unlisted)));
    ASSERT_TRUE(QFile::copy(building(listed.number) + QStringLiteral("/kvmt.db"),
                            building(unlisted) + QStringLiteral("/kvmt.db")));
    // Still being built by another program.
    const qint64 running = unlisted + 1;
    ASSERT_TRUE(QDir().mkpath(building(running)));
    QLockFile runningLock(building(running) + QStringLiteral(".lock"));
    ASSERT_TRUE(runningLock.tryLock(0));

    m_sets.reset();
    m_master = MasterDatabase::ensure(m_folder);
    m_sets = std::make_unique<AccountSets>(*m_master, m_folder);

    EXPECT_TRUE(QFileInfo::exists(m_folder.accountSetDatabasePath(listed.number)));
    EXPECT_FALSE(QFileInfo::exists(building(listed.number)));
    EXPECT_FALSE(QFileInfo::exists(building(unlisted)));
    EXPECT_TRUE(QFileInfo::exists(building(running)));
    // The unlisted number is free again.
    NewAccountSet again = request(QStringLiteral("乙"));
    again.number = unlisted;
    EXPECT_EQ(m_sets->create(again).number, unlisted);
    EXPECT_EQ(m_sets->list().size(), 2);
}

TEST_F(AccountSetsTest, TheChooserLeavesOutASetItCannotRead)
{
    const AccountSetInfo sound = m_sets->create(request(QStringLiteral("甲")));
    const AccountSetInfo damaged = m_sets->create(request(QStringLiteral("乙")));
    const QString path = m_folder.accountSetDatabasePath(damaged.number);
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    }
    QStringList notes;
    const QList<AccountSetInfo> shown = m_sets->readable(notes);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.first().number, sound.number);
    ASSERT_EQ(notes.size(), 1);
    EXPECT_TRUE(notes.first().contains(QStringLiteral("乙")));
    EXPECT_TRUE(notes.first().contains(path));
    EXPECT_EQ(QFileInfo(path).size(), 0);
}

TEST(MasterDatabase, ADamagedMasterIsRefusedAsItIs)
{
    QTemporaryDir dir;
    const DataFolder folder(dir.path());
    {
        QFile file(folder.masterDatabasePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    try {
        MasterDatabase::ensure(folder);
        FAIL() << "an empty master was opened";
    } catch (const StoreError &error) {
        EXPECT_TRUE(error.text.contains(folder.masterDatabasePath())) << error.text.toStdString();
    }
    EXPECT_EQ(QFileInfo(folder.masterDatabasePath()).size(), 0);
}

TEST_F(AccountSetsTest, DeleteNeedsTheRightPassword)
{
    const AccountSetInfo info = m_sets->create(request(QStringLiteral("甲")));
    try {
        m_sets->remove(info.number, QStringLiteral("wrong"));
        FAIL() << "a wrong password deleted the set";
    } catch (const Refusal &refusal) {
        EXPECT_EQ(refusal.text, QStringLiteral("密码错误！！不允许删除！！"));
    }
    EXPECT_TRUE(QFileInfo::exists(m_folder.accountSetDatabasePath(info.number)));
    EXPECT_EQ(m_sets->list().size(), 1);

    // Spaces around the typed password do not count.
    m_sets->remove(info.number, QStringLiteral(" pw "));
    EXPECT_FALSE(QFileInfo::exists(m_folder.accountSetFolder(info.number)));
    EXPECT_TRUE(m_sets->list().isEmpty());
    EXPECT_THROW(m_sets->remove(info.number, QStringLiteral("pw")), Refusal);
}

TEST_F(AccountSetsTest, DeleteAcceptsAPasswordStoredInPlainTextByAnOlderVersion)
{
    const AccountSetInfo info = m_sets->create(request(QStringLiteral("甲")));
    m_master->exec(QStringLiteral("UPDATE ZTXX SET PASS = 'old' WHERE BH = ?"), {info.number});
    EXPECT_THROW(m_sets->remove(info.number, QStringLiteral("pw")), Refusal);
    m_sets->remove(info.number, QStringLiteral("old"));
    EXPECT_TRUE(m_sets->list().isEmpty());
}
