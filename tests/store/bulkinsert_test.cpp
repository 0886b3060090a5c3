#include "store/bulkinsert.h"
#include "store/database.h"
#include "store/errors.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace varnock;

namespace {

class BulkInsertTest : public ::testing::Test
{
protected:
    BulkInsertTest()
        : db(std::make_unique<Database>(dir.filePath(QStringLiteral("bulk.db")),
                                        Database::Access::Create))
    {
        db->exec(QStringLiteral("CREATE TABLE T (K INTEGER UNIQUE, V TEXT)"));
    }

    // Rows K = first … first + count - 1 with their text.
    void insert(int first, int count)
    {
        // The texts are bound where they lie, so they are kept until the rows are written.
        QList<QByteArray> texts;
        BulkInsert rows(*db, QStringLiteral("T"), {QStringLiteral("K"), QStringLiteral("V")});
        for (int k = first; k < first + count; ++k) {
            rows.addInteger(k);
            texts.append(QStringLiteral("第%1行").arg(k).toUtf8());
            rows.addText(texts.last());
        }
        rows.finish();
    }

    int count() { return db->scalar(QStringLiteral("SELECT COUNT(*) FROM T")).toInt(); }

    QTemporaryDir dir;
    std::unique_ptr<Database> db;
};

TEST_F(BulkInsertTest, RowsOfEveryKindArriveInOrderAcrossStatements)
{
    // 499 rows to a statement of two fields: two full ones and a short one.
    insert(1, 1200);
    EXPECT_EQ(count(), 1200);
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT V FROM T WHERE K = 1200")).toString(),
              QStringLiteral("第1200行"));

    BulkInsert rows(*db, QStringLiteral("T"), {QStringLiteral("K"), QStringLiteral("V")});
    rows.addNull();
    rows.addText(QByteArrayView());
    rows.addInteger(-7);
    rows.addNull();
    rows.finish();
    EXPECT_EQ(
        db->scalar(QStringLiteral("SELECT COUNT(*) FROM T WHERE K IS NULL AND V = ''")).toInt(), 1);
    EXPECT_EQ(
        db->scalar(QStringLiteral("SELECT COUNT(*) FROM T WHERE K = -7 AND V IS NULL")).toInt(), 1);
}

TEST_F(BulkInsertTest, ANullIsWrittenWhereTheSameStatementHeldAValueBefore)
{
    // 499 rows a statement: an odd row count, so every place of the statement holds a text in
    // one write and NULL in the next. A second insert takes the same statement from the cache
    // with the first one's texts still bound, and writes only NULLs.
    for (const bool firstTexts : {true, false}) {
        std::vector<QByteArray> texts;
        texts.reserve(1200);
        BulkInsert rows(*db, QStringLiteral("T"), {QStringLiteral("K"), QStringLiteral("V")});
        for (int k = 1; k <= 1200; ++k) {
            const int key = firstTexts ? k : -k;
            rows.addInteger(key);
            if (firstTexts && k % 2 == 1) {
                texts.push_back(QByteArray::number(key));
                rows.addText(texts.back());
            } else {
                rows.addNull();
            }
        }
        rows.finish();
    }
    EXPECT_EQ(count(), 2400);
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT COUNT(*) FROM T WHERE K > 0 AND K % 2 = 1 AND "
                                        "V = CAST(K AS TEXT)"))
                  .toInt(),
              600);
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT COUNT(*) FROM T WHERE V IS NULL")).toInt(), 1800);
}

TEST_F(BulkInsertTest, AFailedStatementWritesNothingOfItsRowsAndLeavesTheCacheSound)
{
    insert(500, 1);
    // The second statement's rows hold K = 500 again: a short statement, then one of full size
    // (kept from one write to the next) fails.
    for (const int rows : {600, 1200}) {
        EXPECT_THROW(insert(1, rows), StoreError);
        EXPECT_EQ(count(), 1 + 499);
        db->query(QStringLiteral("DELETE FROM T WHERE K <> 500"));
    }
    db->query(QStringLiteral("DELETE FROM T"));
    insert(1, 1200);
    EXPECT_EQ(count(), 1200);

    BulkInsert half(*db, QStringLiteral("T"), {QStringLiteral("K"), QStringLiteral("V")});
    half.addInteger(1000);
    EXPECT_THROW(half.finish(), StoreError);
    EXPECT_EQ(count(), 1200);
}

} // namespace
