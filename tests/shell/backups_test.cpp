#include "shell/backups.h"

#include "shell/datafolder.h"
#include "store/database.h"
#include "store/schema.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace varnock;

namespace {

TEST(Backups, GoToTheChosenFolderElseBackUpOfTheDataFolder)
{
    QTemporaryDir dir;
    const DataFolder folder(dir.path());
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("7")));
    Database set(folder.accountSetDatabasePath(7), Database::Access::Create);
    Schema::createAccountSet(set);

    EXPECT_EQ(Backups::folder(set), folder.backupFolder());
    const QDateTime when(QDate(2026, 3, 10), QTime(15, 30, 45));
    EXPECT_EQ(Backups::timestampedPath(set, when),
              QDir(folder.backupFolder()).filePath(QStringLiteral("KVMT7-2026-03-10-153045.db")));

    const QString chosen = dir.filePath(QStringLiteral("elsewhere"));
    set.exec(QStringLiteral("INSERT INTO YHZL (GSMC, DIR) VALUES ('公司', ?)"), {chosen});
    EXPECT_EQ(Backups::folder(set), chosen);
}

} // namespace
