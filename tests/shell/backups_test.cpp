#include "shell/backups.h"

#include "shell/datafolder.h"
#include "store/database.h"
#include "store/errors.h"
#include "store/schema.h"
#include "store/snapshot.h"
#include "store/wholefile.h"
#include "support/readonlyfolder.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace varnock;

namespace {

class BackupsTest : public ::testing::Test
{
protected:
    std::unique_ptr<Database> accountSet(int number)
    {
        EXPECT_TRUE(QDir(dir.path()).mkpath(QString::number(number)));
        auto set = std::make_unique<Database>(folder.accountSetDatabasePath(number),
                                              Database::Access::Create);
        Schema::createAccountSet(*set);
        return set;
    }
    static int suppliers(const QString &path)
    {
        Database copy(path, Database::Access::ReadOnly);
        return copy.scalar(QStringLiteral("SELECT COUNT(*) FROM GYS")).toInt();
    }

    QTemporaryDir dir;
    DataFolder folder{dir.path()};
};

TEST_F(BackupsTest, GoToTheChosenFolderElseBackUpOfTheDataFolder)
{
    const auto set = accountSet(7);
    EXPECT_EQ(Backups::folder(*set), folder.backupFolder());
    const QDateTime when(QDate(2026, 3, 10), QTime(15, 30, 45));
    EXPECT_EQ(Backups::timestampedPath(*set, when),
              QDir(folder.backupFolder()).filePath(QStringLiteral("KVMT7-2026-03-10-153045.db")));

    const QString chosen = dir.filePath(QStringLiteral("elsewhere"));
    set->exec(QStringLiteral("INSERT INTO YHZL (GSMC, DIR) VALUES ('公司', ?)"), {chosen});
    EXPECT_EQ(Backups::folder(*set), chosen);
    EXPECT_EQ(Backups::defaultFolder(*set), folder.backupFolder());
}

TEST_F(BackupsTest, ASecondBackupTheSameDayReplacesTheFirstButNotAnotherSets)
{
    const auto seven = accountSet(7);
    const auto eight = accountSet(8);
    const QDate day(2026, 3, 10);
    seven->exec(QStringLiteral("INSERT INTO GYS (BH, MC) VALUES ('G1', '第一建材')"));

    const QString first = Backups::backUp(*seven, QString(), day);
    EXPECT_EQ(QFileInfo(first).fileName(), QStringLiteral("KVMT7-2026-03-10.db"));
    EXPECT_EQ(suppliers(first), 1);
    seven->exec(QStringLiteral("INSERT INTO GYS (BH, MC) VALUES ('G2', '第二建材')"));
    EXPECT_EQ(Backups::backUp(*seven, QString(), day), first);
    EXPECT_EQ(suppliers(first), 2);

    const QString other = Backups::backUp(*eight, QString(), day);
    EXPECT_NE(other, first);
    EXPECT_EQ(suppliers(first), 2);
    EXPECT_EQ(suppliers(other), 0);
    ASSERT_EQ(Backups::list(*seven).size(), 1);
    EXPECT_EQ(Backups::list(*seven).first().path, first);
}

TEST_F(BackupsTest, AChosenFolderMustExist)
{
    const auto set = accountSet(7);
    const QDate day(2026, 3, 10);
    try {
        Backups::backUp(*set, dir.filePath(QStringLiteral("removable")), day);
        FAIL() << "a missing folder was taken";
    } catch (const Refusal &refusal) {
        EXPECT_EQ(refusal.text, QStringLiteral("请选择有效的备份目录"));
    }
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("removable"))));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("removable")));
    EXPECT_TRUE(
        QFileInfo::exists(Backups::backUp(*set, dir.filePath(QStringLiteral("removable")), day)));

    // A place the copy cannot be written to is told as such, never as a finished backup.
    const QString blocked = dir.filePath(QStringLiteral("blocked"));
    ASSERT_TRUE(QDir(blocked).mkpath(QStringLiteral("KVMT7-2026-03-11.db/x")));
    try {
        Backups::backUp(*set, blocked, day.addDays(1));
        FAIL() << "an unwritable place was taken";
    } catch (const Refusal &refusal) {
        EXPECT_TRUE(refusal.text.startsWith(QStringLiteral("文件不能被写入!请更换存放位置!\n")));
        EXPECT_EQ(refusal.icon, Refusal::Icon::Critical);
    }
}

TEST_F(BackupsTest, AutomaticCopiesKeepTheLastThirtyDaysAndLeaveTheOthers)
{
    const auto set = accountSet(7);
    const QDate first(2026, 1, 1);
    Backups::backUp(*set, QString(), first);
    writeSnapshot(*set, Backups::timestampedPath(*set, QDateTime(first, QTime(9, 0))));
    for (int day = 0; day < 35; ++day)
        Backups::takeAutomatic(*set, first.addDays(day));
    // The same day again refreshes that day's copy.
    Backups::takeAutomatic(*set, first.addDays(34));

    const QList<Backups::Copy> copies = Backups::list(*set);
    QList<QDate> automatic;
    for (const Backups::Copy &copy : copies) {
        if (copy.kind == Backups::Kind::Automatic)
            automatic << copy.taken.date();
    }
    ASSERT_EQ(automatic.size(), Backups::KeptAutomatic);
    EXPECT_EQ(automatic.first(), first.addDays(34));
    EXPECT_EQ(automatic.last(), first.addDays(5));
    // Copies the user made stay, however old.
    ASSERT_EQ(copies.size(), Backups::KeptAutomatic + 2);
    EXPECT_EQ(copies.at(copies.size() - 2).kind, Backups::Kind::BeforeChange);
    EXPECT_EQ(copies.last().kind, Backups::Kind::Backup);
    EXPECT_EQ(copies.last().taken.date(), first);
    EXPECT_GT(copies.last().size, 0);
}

} // namespace

TEST_F(BackupsTest, ACopyThatFailsSaysWhatTheDiskSaid)
{
    const auto set = accountSet(7);
    const QDate day(2026, 3, 10);
    const auto refusalOf = [&](const QString &target) {
        try {
            Backups::backUp(*set, target, day);
        } catch (const Refusal &refusal) {
            EXPECT_EQ(refusal.icon, Refusal::Icon::Critical);
            return refusal.text;
        }
        return QString();
    };

    // A folder of its own, so that the unprivileged user the test acts as can reach it.
    QTemporaryDir protectedDir;
    ASSERT_TRUE(protectedDir.isValid());
    const QString protectedFolder = protectedDir.path();
    {
        const test::ReadOnlyFolder readOnly(protectedFolder);
        EXPECT_TRUE(
            refusalOf(protectedFolder).startsWith(QStringLiteral("磁盘被写保护 或 文件被保护!\n")));
    }
    EXPECT_TRUE(QDir(protectedFolder).isEmpty());

    // A full disk, as the file system reports it.
    QFile full(QStringLiteral("/dev/full"));
    if (full.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        EXPECT_EQ(full.write("x", 1), -1);
        const StoreError error = fileWriteError(full.fileName(), full);
        EXPECT_EQ(error.cause, StoreError::Cause::DiskFull);
        EXPECT_TRUE(Backups::copyRefused(QStringLiteral("提示"), error, dir.path())
                        .text.startsWith(QStringLiteral("磁盘满，空间不够!\n")));
    }
    // A medium taken out while the copy was written to it.
    const StoreError lost(QStringLiteral("无法写入文件"));
    EXPECT_TRUE(
        Backups::copyRefused(QStringLiteral("提示"), lost, dir.filePath(QStringLiteral("gone")))
            .text.startsWith(QStringLiteral("磁盘没准备好!\n")));
    EXPECT_TRUE(Backups::copyRefused(QStringLiteral("提示"), lost, dir.path())
                    .text.startsWith(QStringLiteral("文件不能被写入!请更换存放位置!\n")));
    // A damaged set's file is no fault of the place chosen for its copy.
    const StoreError damaged(QStringLiteral("数据文件已损坏"), StoreError::Cause::Damaged);
    EXPECT_EQ(Backups::copyRefused(QStringLiteral("提示"), damaged, dir.path()).text,
              damaged.text);
    // A folder for the copy that cannot be made where it belongs is write-protected.
    {
        const test::ReadOnlyFolder readOnly(protectedFolder);
        try {
            writeSnapshot(*set, QDir(protectedFolder).filePath(QStringLiteral("BackUp/k.db")));
            ADD_FAILURE() << "the folder was made";
        } catch (const StoreError &error) {
            EXPECT_EQ(error.cause, StoreError::Cause::WriteProtected);
        }
    }
}
