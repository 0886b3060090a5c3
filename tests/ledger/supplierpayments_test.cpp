#include "ledger/supplierpayments.h"

#include "reports/ledgerreports.h"
#include "shell/operators.h"
#include "store/errors.h"
#include "support/ledgerseed.h"
#include "support/testaccountset.h"

#include <gtest/gtest.h>

namespace varnock {
namespace {

using test::dec;
using Kind = SupplierPayments::Kind;

const QString G1 = QStringLiteral("1");
const QString G2 = QStringLiteral("2");
const QString G3 = QStringLiteral("3");
const QString A = QStringLiteral("1001");

class SupplierPaymentsTest : public ::testing::Test
{
protected:
    SupplierPaymentsTest()
        : seed(set.db())
        , payments(set.db())
    {
        set.addMaterial(A, QStringLiteral("钢筋"));
        set.addSupplier(G1, QStringLiteral("第一建材"));
        set.addSupplier(G2, QStringLiteral("第二建材"));
        set.addSupplier(G3, QStringLiteral("只有坏帐"));
        set.db().exec(QStringLiteral("UPDATE GYS SET CSQK = ? WHERE BH = ?"),
                      {dec("100").toVariant(), G1});
    }

    // A posted stock-in line of `kind` from `gysbh`, with `paid` paid on receipt.
    void receipt(qint64 xtbh, const QString &gysbh, const char *kind, const char *amount,
                 const char *date, const char *paid = "0")
    {
        const qint64 id = seed.receipt(xtbh, A, dec("1"), dec(amount));
        set.db().exec(
            QStringLiteral("UPDATE RKD SET GYSBH = ?, ZL = ?, CZRQ = ?, YFJE = ?, "
                           "JZBZ = 1 WHERE ID = ?"),
            {gysbh, QString::fromUtf8(kind), QString::fromLatin1(date), dec(paid).toVariant(), id});
    }

    void stockReturn(const QString &gysbh, const char *kind, const char *amount, const char *date)
    {
        set.db().exec(QStringLiteral("INSERT INTO THD (XTBH, GYSBH, ZL, CLBH, THSL, THJE, CZRQ, "
                                     "JZBZ) VALUES (9, ?, ?, ?, 1, ?, ?, 1)"),
                      {gysbh, QString::fromUtf8(kind), A, dec(amount).toVariant(),
                       QString::fromLatin1(date)});
    }

    QString refusalOf(const std::function<void()> &operation)
    {
        try {
            operation();
        } catch (const Refusal &r) {
            return r.text;
        }
        return QString();
    }

    test::TestAccountSet set;
    test::LedgerSeed seed;
    SupplierPayments payments;
};

TEST_F(SupplierPaymentsTest, BalanceCountsOnlyPurchasesAndProvisionalReceipts)
{
    // A supplier without any business is settled.
    EXPECT_EQ(payments.balance(G2).owed, Decimal());
    EXPECT_TRUE(payments.balance(G2).settled());

    receipt(1, G1, "采购入库", "500", "2026-02-01", "50");
    receipt(2, G1, "暂估入库", "200", "2026-02-02");
    receipt(3, G1, "调拨入库", "999", "2026-02-03");
    receipt(4, G1, "甲方供给", "999", "2026-02-03");
    stockReturn(G1, "采购退货", "30", "2026-02-04");
    stockReturn(G1, "调拨退货", "999", "2026-02-04");
    // A reversed line and its mirror leave the balance.
    receipt(5, G1, "采购入库", "70", "2026-02-05");
    set.db().exec(QStringLiteral("UPDATE RKD SET CZBZ = 1 WHERE XTBH = 5"));

    const SupplierPayments::Balance b = payments.balance(G1);
    EXPECT_EQ(b.owed, dec("770"));
    EXPECT_EQ(b.paid, dec("50"));
    EXPECT_EQ(b.remaining(), dec("720"));
}

TEST_F(SupplierPaymentsTest, PaymentBoundsAndWriteOff)
{
    receipt(1, G1, "采购入库", "0.5", "2026-02-01");
    const QString wrong = SupplierPayments::WrongAmountText;
    const QDate day(2026, 2, 10);
    EXPECT_EQ(refusalOf([&] { payments.record(Kind::Payment, G1, day, Decimal(), {}, {}); }),
              wrong);
    EXPECT_EQ(refusalOf([&] { payments.record(Kind::Payment, G1, day, dec("-1"), {}, {}); }),
              wrong);
    EXPECT_EQ(refusalOf([&] { payments.record(Kind::Payment, G1, day, dec("100.51"), {}, {}); }),
              wrong);
    EXPECT_TRUE(payments.rows(Kind::Payment).isEmpty());

    payments.record(Kind::Payment, G1, day, dec("100"), QStringLiteral("Z'1"),
                    QStringLiteral("首付"));
    EXPECT_EQ(refusalOf([&] { payments.record(Kind::WriteOff, G1, day, dec("0.51"), {}, {}); }),
              wrong);
    payments.record(Kind::WriteOff, G1, day, dec("0.5"), {}, QStringLiteral("坏帐"));
    EXPECT_TRUE(payments.balance(G1).settled());
    EXPECT_EQ(payments.balance(G1).owed, dec("100"));

    SupplierPayments::Filter f;
    f.zph = QStringLiteral("Z'1");
    ASSERT_EQ(payments.rows(Kind::Payment, f).size(), 1);
    EXPECT_EQ(payments.rows(Kind::Payment, f).first().mc, QStringLiteral("第一建材"));
    f = {};
    f.from = day.addDays(1);
    EXPECT_TRUE(payments.rows(Kind::WriteOff, f).isEmpty());
}

TEST_F(SupplierPaymentsTest, DeletingNeedsTheOperatorsOwnPassword)
{
    const qint64 id = payments.record(Kind::Payment, G1, QDate(2026, 2, 10), dec("10"), {}, {});
    const int admin = 1;
    Operators(set.db()).add(admin, QStringLiteral("管理员"), QString(), QStringLiteral("secret"),
                            Permissions::all());
    EXPECT_EQ(refusalOf([&] { payments.remove(Kind::Payment, id, admin, QStringLiteral("x")); }),
              QStringLiteral("密码错误！不允许删除！"));
    EXPECT_EQ(payments.rows(Kind::Payment).size(), 1);
    payments.remove(Kind::Payment, id, admin, QStringLiteral("secret"));
    EXPECT_TRUE(payments.rows(Kind::Payment).isEmpty());
}

TEST_F(SupplierPaymentsTest, ArrearsReportByHand)
{
    // Before the period: 100 opening debt, receipt 500 (50 paid with it), payment 150.
    receipt(1, G1, "采购入库", "500", "2026-01-10", "50");
    payments.record(Kind::Payment, G1, QDate(2026, 1, 20), dec("150"), {}, {});
    // In the period: receipt 300, return 40, payment 200, write-off 10.
    receipt(2, G1, "采购入库", "300", "2026-02-01");
    stockReturn(G1, "采购退货", "40", "2026-02-28");
    payments.record(Kind::Payment, G1, QDate(2026, 2, 15), dec("200"), {}, {});
    payments.record(Kind::WriteOff, G1, QDate(2026, 2, 28), dec("10"), {}, {});
    // After it: nothing of it counts.
    receipt(3, G1, "采购入库", "1000", "2026-03-01");
    // A receipt without a voucher number is no debt in the report.
    receipt(0, G1, "采购入库", "77", "2026-02-02");
    // Suppliers 2 and 3 without any business are dropped.

    const ReportTable t = LedgerReports::arrears(set.db(), {QDate(2026, 2, 1), QDate(2026, 2, 28)});
    ASSERT_EQ(t.rowCount(), 2);
    EXPECT_EQ(t.textAt(0, 0), QStringLiteral("总计"));
    EXPECT_EQ(t.textAt(1, 0), QStringLiteral("第一建材"));
    // SYJE 100 + 500 − 50 − 150, BYQK 300 − 40, BYHK 200, BYJE 400 + 260 − 200 − 10, HZ 10.
    const QList<Decimal> expected = {dec("400"), dec("260"), dec("200"), dec("450"), dec("10")};
    for (int c = 0; c < expected.size(); ++c) {
        EXPECT_EQ(t.figureAt(1, c + 2), expected[c]) << c;
        EXPECT_EQ(t.figureAt(0, c + 2), expected[c]) << c;
    }
    EXPECT_EQ(set.db().scalar(QStringLiteral("SELECT COUNT(*) FROM GYSQK_TEMP")).toInt(), 2);
}

// Every supplier is summed from the same reading of each table: the figures of one must not
// leak into another's, and a supplier with no rows of a kind counts nothing of it.
TEST_F(SupplierPaymentsTest, EverySuppliersArrearsComeFromItsOwnRowsOnly)
{
    receipt(1, G1, "采购入库", "500", "2026-01-10", "50");
    receipt(2, G1, "调拨入库", "999", "2026-02-03"); // a transfer makes no debt
    payments.record(Kind::Payment, G1, QDate(2026, 2, 5), dec("30"), {}, {});
    receipt(3, G2, "暂估入库", "200", "2026-02-10", "20");
    stockReturn(G2, "暂估退货", "15", "2026-02-11");
    payments.record(Kind::Payment, G2, QDate(2026, 3, 2), dec("70"), {}, {});
    receipt(0, G2, "采购入库", "77", "2026-02-02"); // no voucher number
    set.db().exec(QStringLiteral("INSERT INTO HZCL (GYSBH, JE, RQ) VALUES (?, ?, '2026-01-05')"),
                  {G3, dec("5").toVariant()});

    const auto figures = [&](LedgerReports::ArrearsLines lines) {
        QStringList out;
        for (const LedgerReports::ArrearsRow &r :
             LedgerReports::arrearsRows(set.db(), {QDate(2026, 2, 1), QDate(2026, 2, 28)}, lines)) {
            out << QStringLiteral("%1: %2 %3 %4 %5 %6")
                       .arg(r.gysbh, r.syje.toString(), r.byqk.toString(), r.byhk.toString(),
                            r.byje.toString(), r.hz.toString());
        }
        return out;
    };
    // SYJE, BYQK, BYHK, BYJE, HZ. G1: 100 + 500 − 50 before, 30 paid in February. G2: 200 less
    // 20 paid with it and 15 returned; March's payment is after the period. G3: a write-off.
    EXPECT_EQ(figures(LedgerReports::ArrearsLines::Numbered),
              QStringList({QStringLiteral("1: 550 0 30 520 0"), QStringLiteral("2: 0 185 20 165 0"),
                           QStringLiteral("3: -5 0 0 -5 0")}));
    // Across account sets every standing line counts, numbered or not.
    EXPECT_EQ(figures(LedgerReports::ArrearsLines::Standing),
              QStringList({QStringLiteral("1: 550 0 30 520 0"), QStringLiteral("2: 0 262 20 242 0"),
                           QStringLiteral("3: -5 0 0 -5 0")}));
}

} // namespace
} // namespace varnock
