#include "vouchers/voucherbook.h"

#include "store/clock.h"
#include "store/database.h"
#include "store/documentnumbers.h"
#include "store/schema.h"
#include "support/queryplan.h"
#include "support/testaccountset.h"

#include <QSqlQuery>

#include <gtest/gtest.h>

using namespace varnock;

TEST(VoucherBook, RunningNumberIsTheTrailingAsciiDigits)
{
    EXPECT_EQ(DocumentNumbers::runningNumberOf(QStringLiteral("2026-03-10 - 1001")), 1001);
    EXPECT_EQ(DocumentNumbers::runningNumberOf(QStringLiteral("2026-03-10  100000 ")), 100000);
    // Typed by hand without a number, or with full-width digits: no running number.
    EXPECT_EQ(DocumentNumbers::runningNumberOf(QStringLiteral("退货单")), std::nullopt);
    EXPECT_EQ(DocumentNumbers::runningNumberOf(QStringLiteral("第１２号")), std::nullopt);
    EXPECT_EQ(DocumentNumbers::runningNumberOf(QString()), std::nullopt);
}

TEST(VoucherBook, DatesReadBackWhateverTimeFollowsThem)
{
    EXPECT_EQ(VoucherBook::dateOf(QStringLiteral("2026-02-28 00:00:00")), QDate(2026, 2, 28));
    EXPECT_FALSE(VoucherBook::dateOf(QVariant()).isValid());
    EXPECT_EQ(VoucherBook::dateText(QDate(2026, 1, 5)), QStringLiteral("2026-01-05"));
}

TEST(FinderConditions, EmptyFieldsAddNothingAndValuesAreBound)
{
    FinderConditions f;
    f.equal(QStringLiteral("R.GYSBH"), QStringLiteral("  "));
    f.equal(QStringLiteral("R.FPBH"), QStringLiteral(" F'1 "));
    f.between(QStringLiteral("R.CZRQ"), QDate(2026, 1, 1), QDate(2026, 1, 31));
    EXPECT_EQ(f.where(), QStringLiteral("R.FPBH = ? AND R.CZRQ BETWEEN ? AND ?"));
    EXPECT_EQ(f.values(), (QVariantList{QStringLiteral("F'1"), QStringLiteral("2026-01-01"),
                                        QStringLiteral("2026-01-31")}));
}

TEST(VoucherBook, ANewNumberIsFoundAlongAnIndexWithoutReadingTheMonthsNumbers)
{
    // Drawn for every new voucher: with years of lines it must read neither the whole table
    // nor every number of the month.
    test::TestAccountSet set;
    for (const char *table : {"RKD", "LLD"}) {
        const QStringList statements{
            QStringLiteral("SELECT YSXH FROM %1 WHERE SUBSTR(CZRQ, 6, 2) = ? "
                           "AND YSXH IS NOT NULL ORDER BY YSXH DESC LIMIT 1"),
            QStringLiteral("SELECT MAX(YSXH) FROM %1 WHERE SUBSTR(CZRQ, 6, 2) = ? "
                           "AND YSDJH >= ? AND YSDJH < ?"),
            QStringLiteral("SELECT YSDJH FROM %1 WHERE SUBSTR(CZRQ, 6, 2) = ? AND YSXH IS NULL"),
            QStringLiteral("SELECT SUBSTR(CZRQ, 6, 2) FROM %1 "
                           "WHERE SUBSTR(CZRQ, 6, 2) IN (?, ?) AND YSDJH = ?")};
        for (const QString &sql : statements) {
            const QString plan =
                test::queryPlan(set.db(), sql.arg(QLatin1String(table))).join(QLatin1Char('\n'));
            EXPECT_TRUE(plan.startsWith(QStringLiteral("SEARCH"))) << plan.toStdString();
            EXPECT_TRUE(plan.contains(QStringLiteral("_MONTH_"))) << plan.toStdString();
            EXPECT_FALSE(plan.contains(QStringLiteral("TEMP B-TREE"))) << plan.toStdString();
        }
    }
}

TEST(VoucherBook, ANewReturnNumberIsFoundAlongAnIndexWithoutReadingEveryNumber)
{
    // The returns run on from the greatest number ever: with years of lines neither the next
    // number nor the check of a drawn one may read every number of the table.
    test::TestAccountSet set;
    QStringList planned;
    for (const char *table : {"THD", "TKD"}) {
        const QStringList statements{
            QStringLiteral("SELECT MAX(THXH) FROM %1"),
            QStringLiteral("SELECT THDJH FROM %1 WHERE THXH IS NULL"),
            QStringLiteral("SELECT 1 FROM %1 WHERE THDJH = ? AND (THXH = ? OR THXH IS NULL) "
                           "LIMIT 1")};
        for (const QString &sql : statements) {
            planned.append(sql.arg(QLatin1String(table)));
            for (const QString &detail : test::queryPlan(set.db(), planned.last())) {
                if (detail.startsWith(QStringLiteral("MULTI-INDEX")) ||
                    detail.startsWith(QStringLiteral("INDEX ")))
                    continue;
                EXPECT_TRUE(detail.startsWith(QStringLiteral("SEARCH")) &&
                            detail.contains(QStringLiteral("_NUMBERS")))
                    << detail.toStdString();
            }
        }
    }
    // The statements above are the ones the book runs.
    test::StatementRecorder recorder(set.db());
    recorder.run([&] {
        for (const char *table : {"THD", "TKD"}) {
            VoucherBook book(set.db());
            book.greatestRunningNumber(QLatin1String(table));
            book.numberUsed(QLatin1String(table), QStringLiteral("2026-12-07 1001"));
        }
    });
    ASSERT_EQ(recorder.statements().size(), planned.size());
    for (const test::Ran &ran : recorder.statements())
        EXPECT_TRUE(planned.contains(ran.sql)) << ran.sql.toStdString();
}

TEST(VoucherBook, AnOlderFileGetsTheRunningNumbersOfItsReturnsWhenOpened)
{
    test::TestAccountSet set;
    Clock::setToday(QDate(2026, 12, 7));
    Database &db = set.db();
    // The file as the version before kept it.
    for (const char *table : {"THD", "TKD"}) {
        db.exec(QStringLiteral("DROP TRIGGER %1_THXH").arg(QLatin1String(table)));
        db.exec(QStringLiteral("DROP INDEX %1_NUMBERS").arg(QLatin1String(table)));
        db.exec(QStringLiteral("ALTER TABLE %1 DROP COLUMN THXH").arg(QLatin1String(table)));
    }
    db.setUserVersion(8);
    const auto line = [&](const QVariant &thdjh) {
        db.exec(QStringLiteral("INSERT INTO TKD (XTBH, CZRQ, THDJH, CLBH) "
                               "VALUES (1, '2026-12-01', ?, '1')"),
                {thdjh});
    };
    line(QStringLiteral("2026-11-30  1007"));
    line(QStringLiteral("2025-12-20 100000"));
    line(QStringLiteral("手工退货单"));
    line(QStringLiteral("退货 99999999999999999999"));
    line(QVariant());

    Schema::upgrade(db);
    EXPECT_EQ(db.userVersion(), Schema::Version);
    QList<qint64> numbers;
    QSqlQuery q = db.exec(QStringLiteral("SELECT THXH FROM TKD ORDER BY ID"));
    while (q.next())
        numbers.append(q.value(0).toLongLong());
    q.finish();
    EXPECT_EQ(numbers, (QList<qint64>{1007, 100000, -1, -1, -1}));
    VoucherBook book(db);
    EXPECT_EQ(book.greatestRunningNumber(QStringLiteral("TKD")), 100000);
    EXPECT_EQ(book.greatestRunningNumber(QStringLiteral("THD")), std::nullopt);
    EXPECT_TRUE(book.numberUsed(QStringLiteral("TKD"), QStringLiteral("2025-12-20 100000")));
    EXPECT_FALSE(book.numberUsed(QStringLiteral("TKD"), QStringLiteral("2025-12-20 100001")));
    // The copy follows the number from now on.
    db.exec(QStringLiteral("UPDATE TKD SET THDJH = '2026-12-05 200000' WHERE ID = 1"));
    EXPECT_EQ(book.greatestRunningNumber(QStringLiteral("TKD")), 200000);
    EXPECT_TRUE(book.numberUsed(QStringLiteral("TKD"), QStringLiteral("2026-12-05 200000")));
    Clock::setToday(std::nullopt);
}

TEST(VoucherBook, AnOlderFileGetsTheRunningNumbersOfItsLinesWhenOpened)
{
    test::TestAccountSet set;
    Clock::setToday(QDate(2026, 12, 7));
    Database &db = set.db();
    // The file as the version before kept it.
    for (const char *table : {"RKD", "LLD"}) {
        db.exec(QStringLiteral("DROP TRIGGER %1_YSXH").arg(QLatin1String(table)));
        db.exec(QStringLiteral("DROP INDEX %1_MONTH_YSXH").arg(QLatin1String(table)));
        db.exec(QStringLiteral("ALTER TABLE %1 DROP COLUMN YSXH").arg(QLatin1String(table)));
    }
    db.setUserVersion(3);
    const auto line = [&](const char *czrq, const QVariant &ysdjh) {
        db.exec(QStringLiteral("INSERT INTO LLD (XTBH, CZRQ, YSDJH, CLBH) VALUES (1, ?, ?, '1')"),
                {QString::fromLatin1(czrq), ysdjh});
    };
    line("2026-12-01", QStringLiteral("2026-12-01 - 1007"));
    line("2026-12-02", QStringLiteral("2026-12-01 - 1007"));
    line("2025-12-20", QStringLiteral("2025-12-20 - 1030"));
    line("2026-12-03", QStringLiteral("手工单ABCDE"));
    line("2026-12-04", QVariant());

    Schema::upgrade(db);
    EXPECT_EQ(db.userVersion(), Schema::Version);
    QList<qint64> numbers;
    QSqlQuery q = db.exec(QStringLiteral("SELECT YSXH FROM LLD ORDER BY ID"));
    while (q.next())
        numbers.append(q.value(0).toLongLong());
    EXPECT_EQ(numbers, (QList<qint64>{1007, 1007, 1030, -1, -1}));
    // The month alone decides, whatever the year.
    EXPECT_EQ(VoucherBook(db).monthlyDocumentNumber(QStringLiteral("LLD")),
              QStringLiteral("2026-12-07 - 1031"));
    // The copy follows the number from now on.
    db.exec(QStringLiteral("UPDATE LLD SET YSDJH = '2026-12-05 - 1090' WHERE ID = 1"));
    EXPECT_EQ(VoucherBook(db).monthlyDocumentNumber(QStringLiteral("LLD")),
              QStringLiteral("2026-12-07 - 1091"));
    Clock::setToday(std::nullopt);
}

TEST(VoucherBook, ANewNumberRunsOnFromTheMonthsGreatestRunningNumber)
{
    // Numbers drawn on later days can be dated earlier in the month, or typed out of order:
    // the latest day's number need not hold the greatest running number, and taking its
    // number again would give two vouchers of the month the same one.
    test::TestAccountSet set;
    Clock::setToday(QDate(2026, 12, 7));
    const auto voucher = [&](qint64 xtbh, const char *czrq, const char *ysdjh) {
        set.db().exec(QStringLiteral("INSERT INTO LLD (XTBH, CZRQ, YSDJH, CLBH) "
                                     "VALUES (?, ?, ?, '1001')"),
                      {xtbh, QString::fromLatin1(czrq), QString::fromLatin1(ysdjh)});
    };
    VoucherBook book(set.db());
    EXPECT_EQ(book.monthlyDocumentNumber(QStringLiteral("LLD")),
              QStringLiteral("2026-12-07 - 1001"));
    voucher(1, "2026-12-07", "2026-12-07 - 1010");
    voucher(2, "2026-12-04", "2026-12-04 - 1011");
    EXPECT_EQ(book.monthlyDocumentNumber(QStringLiteral("LLD")),
              QStringLiteral("2026-12-07 - 1012"));
    // Past 99999 the number keeps counting instead of starting again from its last digits.
    voucher(3, "2026-12-05", "2026-12-05 - 100000");
    EXPECT_EQ(book.monthlyDocumentNumber(QStringLiteral("LLD")),
              QStringLiteral("2026-12-07 - 100001"));
    // A number typed by hand without running digits counts for nothing.
    voucher(4, "2026-12-06", "手工单ABCDE");
    EXPECT_EQ(book.monthlyDocumentNumber(QStringLiteral("LLD")),
              QStringLiteral("2026-12-07 - 100001"));
    Clock::setToday(std::nullopt);
}

TEST(VoucherBook, ANumberDrawnThisMonthCountsWhateverMonthItsVoucherIsDatedIn)
{
    // Early in a month the month before is still open: a voucher entered now may be dated in
    // it, yet its number was drawn now, and the next voucher must not draw it again.
    test::TestAccountSet set;
    Clock::setToday(QDate(2027, 1, 2));
    const auto voucher = [&](qint64 xtbh, const char *czrq, const char *ysdjh) {
        set.db().exec(QStringLiteral("INSERT INTO LLD (XTBH, CZRQ, YSDJH, CLBH) "
                                     "VALUES (?, ?, ?, '1001')"),
                      {xtbh, QString::fromLatin1(czrq), QString::fromLatin1(ysdjh)});
    };
    VoucherBook book(set.db());
    // The month before's own numbers are its own.
    voucher(1, "2026-12-30", "2026-12-30 - 1040");
    EXPECT_EQ(book.monthlyDocumentNumber(QStringLiteral("LLD")),
              QStringLiteral("2027-01-02 - 1001"));
    voucher(2, "2026-12-31", "2027-01-02 - 1001");
    EXPECT_EQ(book.monthlyDocumentNumber(QStringLiteral("LLD")),
              QStringLiteral("2027-01-02 - 1002"));
    Clock::setToday(std::nullopt);
}

TEST(VoucherBook, DrawnNumbersAreToldFromTypedOnes)
{
    EXPECT_TRUE(VoucherBook::looksDrawn(QStringLiteral("2026-03-10 - 1001")));
    EXPECT_TRUE(VoucherBook::looksDrawn(QStringLiteral("2026-03-10  1001")));
    EXPECT_TRUE(VoucherBook::looksDrawn(QStringLiteral("2026-03-10 100000")));
    EXPECT_FALSE(VoucherBook::looksDrawn(QStringLiteral("RK-1001")));
    EXPECT_FALSE(VoucherBook::looksDrawn(QStringLiteral("2026-03-10 - 1001 追加")));
    EXPECT_FALSE(VoucherBook::looksDrawn(QString()));
}
