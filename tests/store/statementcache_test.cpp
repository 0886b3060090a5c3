#include "store/database.h"
#include "store/errors.h"

#include <QDate>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace varnock;

namespace {

class StatementCacheTest : public ::testing::Test
{
protected:
    StatementCacheTest()
        : db(std::make_unique<Database>(dir.filePath(QStringLiteral("cache.db")),
                                        Database::Access::Create))
    {
        db->exec(QStringLiteral("CREATE TABLE T (K INTEGER PRIMARY KEY, V TEXT UNIQUE)"));
        for (int k = 1; k <= 5; ++k)
            db->exec(QStringLiteral("INSERT INTO T (K, V) VALUES (?, ?)"),
                     {k, QStringLiteral("v%1").arg(k)});
    }

    QStringList column(const QString &sql, const QVariantList &values = {})
    {
        Query q = db->query(sql, values);
        QStringList out;
        while (q.next())
            out << q.value(0).toString();
        return out;
    }

    const QString All = QStringLiteral("SELECT V FROM T ORDER BY K");
    const QString From = QStringLiteral("SELECT V FROM T WHERE K >= ? ORDER BY K");

    QTemporaryDir dir;
    std::unique_ptr<Database> db;
};

TEST_F(StatementCacheTest, NestedUsersOfOneStatementEachGetTheirOwn)
{
    const qint64 missesBefore = db->statements().misses();
    QStringList pairs;
    Query outer = db->query(From, {1});
    while (outer.next()) {
        // The same text while the outer walk is still on its rows: a statement of its own.
        const QStringList inner = column(From, {outer.value(0).toString().mid(1).toInt() + 3});
        pairs << outer.value(0).toString() + QLatin1Char(':') + inner.join(QLatin1Char(','));
        db->query(QStringLiteral("UPDATE T SET V = V WHERE K = ?"), {1});
    }
    EXPECT_EQ(pairs, QStringList({"v1:v4,v5", "v2:v5", "v3:", "v4:", "v5:"}));
    outer.finish();

    // Both statements of the text were prepared once; one of them is kept for the next user.
    EXPECT_EQ(db->statements().misses() - missesBefore, 3);
    const qint64 hitsBefore = db->statements().hits();
    EXPECT_EQ(column(From, {4}), QStringList({"v4", "v5"}));
    EXPECT_EQ(db->statements().hits() - hitsBefore, 1);
}

TEST_F(StatementCacheTest, AStatementLeftHalfReadIsResetForItsNextUser)
{
    {
        Query q = db->query(From, {2});
        ASSERT_TRUE(q.next());
        EXPECT_EQ(q.value(0).toString(), QStringLiteral("v2"));
    }
    // New values, the rows from the start; and no read lock is left on the table.
    EXPECT_EQ(column(From, {4}), QStringList({"v4", "v5"}));
    {
        Query q = db->query(All);
        ASSERT_TRUE(q.next());
    }
    db->exec(QStringLiteral("DROP TABLE T"));
    EXPECT_THROW(column(All), StoreError);
}

TEST_F(StatementCacheTest, AFailedStatementDoesNotSpoilTheNextUse)
{
    const QString insert = QStringLiteral("INSERT INTO T (K, V) VALUES (?, ?)");
    db->query(insert, {6, QStringLiteral("v6")});
    // The UNIQUE value is refused, and the same text works right after.
    EXPECT_THROW(db->query(insert, {7, QStringLiteral("v6")}), StoreError);
    db->query(insert, {7, QStringLiteral("v7")});
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT COUNT(*) FROM T")).toInt(), 7);

    // A text that does not prepare is refused every time and never kept.
    const int kept = db->statements().size();
    EXPECT_THROW(db->query(QStringLiteral("SELECT NOPE FROM T")), StoreError);
    EXPECT_THROW(db->query(QStringLiteral("SELECT NOPE FROM T")), StoreError);
    EXPECT_EQ(db->statements().size(), kept);

    // A row that fails half way through a walk is reported, not taken for the end of the rows.
    const QString figures =
        QStringLiteral("SELECT SROUND(CASE WHEN K = 3 THEN 'x' ELSE K END, 2) FROM T ORDER BY K");
    {
        Query q = db->query(figures);
        EXPECT_THROW(
            {
                while (q.next()) {
                }
            },
            StoreError);
    }
    db->exec(QStringLiteral("DELETE FROM T WHERE K = 3"));
    EXPECT_EQ(column(figures).size(), 6);
}

TEST_F(StatementCacheTest, WrongNumberOfValuesForAKeptStatementIsRefused)
{
    EXPECT_EQ(column(From, {5}), QStringList({"v5"}));
    // The earlier value would otherwise still be bound.
    EXPECT_THROW(db->query(From), StoreError);
    EXPECT_EQ(column(From, {4}), QStringList({"v4", "v5"}));
}

TEST_F(StatementCacheTest, KeptStatementsFollowSchemaChanges)
{
    const QString star = QStringLiteral("SELECT * FROM T WHERE K = ?");
    {
        Query q = db->query(star, {1});
        ASSERT_TRUE(q.next());
        EXPECT_FALSE(q.value(2).isValid());
    }
    db->exec(QStringLiteral("ALTER TABLE T ADD COLUMN W TEXT DEFAULT 'w'"));
    db->exec(QStringLiteral("CREATE INDEX T_W ON T (W)"));
    {
        Query q = db->query(star, {1});
        ASSERT_TRUE(q.next());
        EXPECT_EQ(q.value(2).toString(), QStringLiteral("w"));
    }

    // Dropped and made again with other columns.
    db->exec(QStringLiteral("DROP TABLE T"));
    EXPECT_THROW(db->query(star, {1}), StoreError);
    db->exec(QStringLiteral("CREATE TABLE T (X TEXT, K INTEGER)"));
    db->exec(QStringLiteral("INSERT INTO T (X, K) VALUES ('x', 1)"));
    Query q = db->query(star, {1});
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toString(), QStringLiteral("x"));
    EXPECT_EQ(q.value(1).toInt(), 1);
}

TEST_F(StatementCacheTest, TheCacheIsBoundedAndKeepsTheRecentlyUsed)
{
    const int capacity = db->statements().capacity();
    for (int i = 0; i < capacity + 50; ++i)
        db->scalar(QStringLiteral("SELECT %1").arg(i));
    EXPECT_EQ(db->statements().size(), capacity);

    const qint64 hits = db->statements().hits();
    db->scalar(QStringLiteral("SELECT %1").arg(capacity + 49));
    EXPECT_EQ(db->statements().hits(), hits + 1);
    db->scalar(QStringLiteral("SELECT 0"));
    EXPECT_EQ(db->statements().hits(), hits + 1);
}

TEST_F(StatementCacheTest, AQueryThatOutlivesItsConnectionReportsIt)
{
    Query q = db->query(All);
    ASSERT_TRUE(q.next());
    db.reset();
    EXPECT_THROW(q.next(), StoreError);
}

TEST_F(StatementCacheTest, BothPathsWriteAndReadTheSameValues)
{
    db->exec(QStringLiteral("CREATE TABLE W (I INTEGER, R REAL, S TEXT, B BLOB, D TEXT, N TEXT, "
                            "F INTEGER)"));
    const QVariantList row = {qlonglong(-7),
                              2.5,
                              QStringLiteral("钢筋 'x'"),
                              QByteArray("\0\xff", 2),
                              QDate(2026, 2, 28),
                              QVariant(QMetaType(QMetaType::QString)),
                              true};
    const QString insert = QStringLiteral("INSERT INTO W VALUES (?, ?, ?, ?, ?, ?, ?)");
    db->exec(insert, row);
    db->query(insert, row);
    const QString select = QStringLiteral("SELECT I, R, S, B, D, N, F, NULL, 1 + 1 FROM W");
    QSqlQuery fresh = db->exec(select);
    Query cached = db->query(select);
    for (int r = 0; r < 2; ++r) {
        ASSERT_TRUE(fresh.next());
        ASSERT_TRUE(cached.next());
        for (int c = 0; c < 9; ++c) {
            const QVariant a = fresh.value(c);
            const QVariant b = cached.value(c);
            EXPECT_EQ(a.typeId(), b.typeId()) << c;
            EXPECT_EQ(a.isNull(), b.isNull()) << c;
            EXPECT_EQ(a, b) << c;
        }
    }
    EXPECT_FALSE(fresh.next());
    EXPECT_FALSE(cached.next());
    EXPECT_FALSE(cached.value(0).isValid());
}

TEST_F(StatementCacheTest, TextIsStoredAsTheSameBytesByBothPaths)
{
    db->exec(QStringLiteral("CREATE TABLE UTF (P INTEGER, S TEXT)"));
    const QStringList texts = {QString(QLatin1String("")), QStringLiteral("钢筋 Φ12"),
                               QString::fromUtf8("\xf0\x9d\x84\x9e 高音谱号"),
                               QString(QStringLiteral("a")) + QChar(0) + QStringLiteral("b")};
    for (const QString &text : texts) {
        db->exec(QStringLiteral("INSERT INTO UTF VALUES (1, ?)"), {text});
        db->query(QStringLiteral("INSERT INTO UTF VALUES (2, ?)"), {text});
    }
    QSqlQuery q = db->exec(QStringLiteral("SELECT P, HEX(S), LENGTH(CAST(S AS BLOB)), "
                                          "TYPEOF(S) FROM UTF ORDER BY ROWID"));
    for (const QString &text : texts) {
        ASSERT_TRUE(q.next());
        const QString hex = q.value(1).toString();
        const QString type = q.value(3).toString();
        ASSERT_TRUE(q.next());
        EXPECT_EQ(q.value(1).toString(), hex) << text.toStdString();
        EXPECT_EQ(q.value(3).toString(), type);
        EXPECT_EQ(q.value(2).toLongLong(), text.toUtf8().size());
    }
    Query read = db->query(QStringLiteral("SELECT S FROM UTF WHERE P = 2 ORDER BY ROWID"));
    for (const QString &text : texts) {
        ASSERT_TRUE(read.next());
        EXPECT_EQ(read.value(0).toString(), text);
    }
}

} // namespace

TEST_F(StatementCacheTest, RawReadersTellNullFromEmptyAndRefuseOtherColumns)
{
    Query q = db->query(QStringLiteral("SELECT NULL, '', '钢筋', 42, -7 FROM T WHERE K = 1"));
    EXPECT_TRUE(q.utf8(0).isNull()); // before the first row
    ASSERT_TRUE(q.next());
    EXPECT_TRUE(q.utf8(0).isNull());
    EXPECT_TRUE(q.isNull(0));
    EXPECT_FALSE(q.utf8(1).isNull());
    EXPECT_TRUE(q.utf8(1).isEmpty());
    EXPECT_FALSE(q.isNull(1));
    EXPECT_EQ(q.utf8(2), QByteArrayView("钢筋"));
    EXPECT_EQ(q.utf8(3), QByteArrayView("42"));
    EXPECT_EQ(q.integer(3), 42);
    EXPECT_EQ(q.decimal(4), Decimal::fromRaw(-7));
    for (const int outside : {-1, 5}) {
        EXPECT_TRUE(q.utf8(outside).isNull());
        EXPECT_TRUE(q.isNull(outside));
        EXPECT_EQ(q.integer(outside), 0);
    }
    EXPECT_FALSE(q.next());
    EXPECT_TRUE(q.utf8(2).isNull());
}
