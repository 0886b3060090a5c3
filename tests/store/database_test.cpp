#include "store/database.h"
#include "store/errors.h"
#include "store/inparts.h"
#include "store/largecache.h"
#include "store/schema.h"
#include "support/readonlyfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace varnock;

namespace {

QByteArray contentsOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// A complete account-set file of a few pages, closed.
QByteArray soundFile(const QString &path)
{
    {
        Database db(path, Database::Access::Create);
        Schema::createAccountSet(db);
        db.exec(QStringLiteral("PRAGMA journal_mode=DELETE"));
    }
    return contentsOf(path);
}

QString failureOpening(const QString &path, Database::Access access)
{
    try {
        Database db(path, access);
    } catch (const StoreError &error) {
        return error.text;
    }
    return QString();
}

} // namespace

TEST(DatabaseFiles, ADamagedFileIsRefusedAsItIsAndNamedInTheMessage)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("kvmt.db"));
    const QByteArray sound = soundFile(path);
    ASSERT_GT(sound.size(), 8192);

    QByteArray random(5000, '\0');
    for (char &c : random)
        c = char(QRandomGenerator::global()->bounded(256));
    const QList<std::pair<const char *, QByteArray>> damaged = {
        {"empty", QByteArray()},
        {"truncated", sound.left(sound.size() / 2)},
        {"header only", sound.left(50)},
        {"random", random},
    };
    for (const auto &[what, bytes] : damaged) {
        for (const Database::Access access :
             {Database::Access::ReadWrite, Database::Access::ReadOnly}) {
            write(path, bytes);
            const QString text = failureOpening(path, access);
            EXPECT_TRUE(text.contains(path)) << what << ": " << text.toStdString();
            try {
                Database db(path, access);
            } catch (const StoreError &error) {
                EXPECT_EQ(error.cause, StoreError::Cause::Damaged) << what;
            }
            EXPECT_TRUE(text.contains(QStringLiteral("已损坏"))) << what;
            EXPECT_EQ(contentsOf(path), bytes) << what << " was changed by opening it";
        }
    }
}

TEST(DatabaseFiles, OnlyCreatingMakesAFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("kvmt.db"));
    for (const Database::Access access :
         {Database::Access::ReadWrite, Database::Access::ReadOnly}) {
        const QString text = failureOpening(path, access);
        EXPECT_TRUE(text.contains(QStringLiteral("无法打开数据文件"))) << text.toStdString();
        EXPECT_FALSE(QFileInfo::exists(path));
    }
    Database created(path, Database::Access::Create);
    EXPECT_TRUE(QFileInfo::exists(path));
}

TEST(DatabaseFiles, AFileThatCannotBeWrittenIsReadAndRefusesWrites)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("kvmt.db"));
    {
        Database db(path, Database::Access::Create);
        Schema::createAccountSet(db);
        db.exec(QStringLiteral("INSERT INTO LLDW (BH, MC) VALUES ('01', ?)"),
                {QStringLiteral("一工区")});
    }
    const QByteArray before = contentsOf(path);
    {
        const test::ReadOnlyFolder readOnly(dir.path());
        Database db(path);
        EXPECT_TRUE(db.isReadOnly());
        EXPECT_EQ(db.scalar(QStringLiteral("SELECT MC FROM LLDW")).toString(),
                  QStringLiteral("一工区"));
        try {
            Transaction tx(db);
            FAIL() << "a write began on a file that cannot be written";
        } catch (const Refusal &refusal) {
            EXPECT_TRUE(refusal.text.contains(QStringLiteral("只读")))
                << refusal.text.toStdString();
            EXPECT_TRUE(refusal.text.contains(path));
        }
        try {
            db.exec(QStringLiteral("DELETE FROM LLDW"));
            FAIL() << "a file that cannot be written was written";
        } catch (const StoreError &error) {
            EXPECT_EQ(error.cause, StoreError::Cause::WriteProtected) << error.text.toStdString();
        }
        ReadSnapshot snapshot(db);
        EXPECT_EQ(db.scalar(QStringLiteral("SELECT COUNT(*) FROM LLDW")).toInt(), 1);
    }
    EXPECT_EQ(contentsOf(path), before);
}

TEST(DatabaseFiles, AReadOnlyConnectionSeesOneStateWhileAnotherWrites)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("kvmt.db"));
    Database writer(path, Database::Access::Create);
    Schema::createAccountSet(writer);
    writer.exec(QStringLiteral("INSERT INTO LLDW (BH, MC) VALUES ('01', 'a')"));

    Database reader(path, Database::Access::ReadOnly);
    EXPECT_TRUE(reader.isReadOnly());
    {
        ReadSnapshot snapshot(reader);
        EXPECT_EQ(reader.scalar(QStringLiteral("SELECT COUNT(*) FROM LLDW")).toInt(), 1);
        writer.exec(QStringLiteral("INSERT INTO LLDW (BH, MC) VALUES ('02', 'b')"));
        EXPECT_EQ(reader.scalar(QStringLiteral("SELECT COUNT(*) FROM LLDW")).toInt(), 1);
    }
    EXPECT_EQ(reader.scalar(QStringLiteral("SELECT COUNT(*) FROM LLDW")).toInt(), 2);
}

TEST(DatabaseStatements, ManyValuesAreReadAPartAtATimeAndALargeCacheIsLent)
{
    QTemporaryDir dir;
    Database db(dir.filePath(QStringLiteral("t.db")), Database::Access::Create);
    db.exec(QStringLiteral("CREATE TABLE T (X INTEGER PRIMARY KEY)"));
    QVariantList values;
    for (int x = 1; x <= 1201; ++x) {
        db.query(QStringLiteral("INSERT INTO T (X) VALUES (?)"), {x});
        values << x;
    }
    values << 5000; // no such row
    QList<qsizetype> parts;
    qint64 found = 0;
    qint64 sum = 0;
    const auto readAll = [&](const QVariantList &wanted) {
        parts.clear();
        found = 0;
        sum = 0;
        queryInParts(
            db, wanted,
            [&parts](qsizetype count) {
                parts << count;
                return QStringLiteral("SELECT X FROM T WHERE X IN (%1)").arg(placesOf(count));
            },
            [&](Query &q) {
                while (q.next()) {
                    ++found;
                    sum += q.value(0).toLongLong();
                }
            });
    };
    readAll(values);
    EXPECT_EQ(parts, (QList<qsizetype>{500, 500, 202}));
    EXPECT_EQ(found, 1201);
    EXPECT_EQ(sum, 1201 * 1202 / 2);

    // A short list, a missing value and a repeated one among it: the one-value statement,
    // once a value.
    readAll({7, 5000, 9, 7});
    EXPECT_EQ(parts, QList<qsizetype>{1});
    EXPECT_EQ(found, 3);
    EXPECT_EQ(sum, 7 + 9 + 7);

    // The usual page cache comes back however the work under the larger one ended.
    const qint64 usual = db.scalar(QStringLiteral("PRAGMA cache_size")).toLongLong();
    try {
        LargeCache cache(db, 32);
        EXPECT_EQ(db.scalar(QStringLiteral("PRAGMA cache_size")).toLongLong(), -32 * 1024);
        db.query(QStringLiteral("SELECT * FROM missing"));
    } catch (const StoreError &) {
    }
    EXPECT_EQ(db.scalar(QStringLiteral("PRAGMA cache_size")).toLongLong(), usual);
}

// Whether the process holds one of SQLite's temporary files open (they are unlinked at once).
bool holdsTemporaryFile()
{
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QFileInfo &fd : fds.entryInfoList(QDir::Files | QDir::System)) {
        if (fd.symLinkTarget().contains(QLatin1String("etilqs_")))
            return true;
    }
    return false;
}

// A savepoint's sub-journal holds every page the savepoint changes: here far more than fits a
// small journal, under the larger page cache the busiest work runs with, rolled back and kept,
// and never in a temporary file.
TEST(DatabaseStatements, ASavepointThatRewritesMegabytesRollsBackOrKeepsThemWhole)
{
    QTemporaryDir dir;
    Database db(dir.filePath(QStringLiteral("t.db")), Database::Access::Create);
    db.exec(QStringLiteral("CREATE TABLE T (X INTEGER PRIMARY KEY, V TEXT)"));
    const QString filler(200, QLatin1Char('a'));
    {
        Transaction tx(db);
        for (int x = 1; x <= 40000; ++x)
            db.query(QStringLiteral("INSERT INTO T (X, V) VALUES (?, ?)"), {x, filler});
        tx.commit();
    }
    const auto texts = [&](const QString &v) {
        return db.scalar(QStringLiteral("SELECT COUNT(*) FROM T WHERE V = ?"), {v}).toInt();
    };
    const LargeCache cache(db, 64);
    {
        Transaction outer(db);
        db.query(QStringLiteral("UPDATE T SET V = 'first' WHERE X = 1"));
        for (int round = 0; round < 3; ++round) {
            Transaction inner(db);
            db.query(QStringLiteral("UPDATE T SET V = ? WHERE X % 3 = ?"),
                     {QString(150, QLatin1Char('b')), round});
            EXPECT_FALSE(holdsTemporaryFile());
            // not committed: every page it changed comes back
        }
        EXPECT_EQ(texts(filler), 39999);
        {
            Transaction inner(db);
            for (int x = 2; x <= 40000; x += 2)
                db.query(QStringLiteral("UPDATE T SET V = 'even' WHERE X = ?"), {x});
            inner.commit();
        }
        outer.commit();
    }
    EXPECT_EQ(texts(QStringLiteral("first")), 1);
    EXPECT_EQ(texts(QStringLiteral("even")), 20000);
    EXPECT_EQ(texts(filler), 19999);
    EXPECT_EQ(db.scalar(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
}
