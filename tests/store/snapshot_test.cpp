#include "store/snapshot.h"

#include "store/database.h"
#include "store/errors.h"
#include "store/schema.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace varnock;

namespace {

class SnapshotTest : public ::testing::Test
{
protected:
    SnapshotTest()
        : db(dir.filePath(QStringLiteral("kvmt.db")), Database::Access::Create)
    {
        Schema::createAccountSet(db);
        db.exec(QStringLiteral("INSERT INTO GYS (BH, MC) VALUES ('G1', '第一建材')"));
    }

    static int suppliers(const QString &path)
    {
        Database copy(path, Database::Access::ReadOnly);
        return copy.scalar(QStringLiteral("SELECT COUNT(*) FROM GYS")).toInt();
    }

    QTemporaryDir dir;
    Database db;
};

TEST_F(SnapshotTest, WritesIntoANewFolderAndReplacesAnEarlierCopy)
{
    const QString path = dir.filePath(QStringLiteral("备份/当天.db"));
    writeSnapshot(db, path);
    EXPECT_EQ(suppliers(path), 1);

    db.exec(QStringLiteral("INSERT INTO GYS (BH, MC) VALUES ('G2', '第二建材')"));
    writeSnapshot(db, path);
    EXPECT_EQ(suppliers(path), 2);
    EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral(".part")));
}

TEST_F(SnapshotTest, SeesCommittedDataOnlyAndLeavesNoPieceOnFailure)
{
    const QString path = dir.filePath(QStringLiteral("copy.db"));
    {
        // Not inside a transaction: the copy would miss what is still being written.
        Transaction tx(db);
        EXPECT_THROW(writeSnapshot(db, path), StoreError);
    }
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral(".part")));

    // A folder where the file should go: nothing is written over it.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("taken.db")));
    EXPECT_THROW(writeSnapshot(db, dir.filePath(QStringLiteral("taken.db"))), StoreError);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("taken.db.part"))));
}

} // namespace
