#include "ledger/costengine.h"
#include "store/clock.h"
#include "store/database.h"
#include "store/errors.h"
#include "support/ledgerseed.h"
#include "support/testaccountset.h"
#include "vouchers/stockinlinemodel.h"
#include "vouchers/stockinvouchers.h"

#include <QSqlQuery>

#include <gtest/gtest.h>

#include <functional>

using namespace varnock;
using varnock::test::dec;

namespace {

QString refusalOf(const std::function<void()> &operation)
{
    try {
        operation();
    } catch (const Refusal &refusal) {
        return refusal.text;
    }
    return QString();
}

struct StoredLine
{
    qint64 id = 0;
    qint64 xtbh = 0;
    QString ysdjh;
    QString clbh;
    Decimal sjdj;
    Decimal sjsl;
    Decimal sjje;
    Decimal yfje;
    QString czzm;
    bool jzbz = false;
    bool czbz = false;
    bool zjbz = false;
};

class StockInTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Clock::setToday(QDate(2026, 3, 10));
        set.addSupplier(QStringLiteral("1"), QStringLiteral("钢材公司"));
        set.addMaterial(QStringLiteral("1001"), QStringLiteral("螺纹钢"));
        set.addMaterial(QStringLiteral("1002"), QStringLiteral("水泥"));
        set.addMaterial(QStringLiteral("1003"), QStringLiteral("砂"));
        closeOn(QDate(2026, 2, 28));
    }
    void TearDown() override { Clock::setToday(std::nullopt); }

    void closeOn(const QDate &date)
    {
        set.db().exec(QStringLiteral("INSERT INTO YJSJB (YJID, YJSJ) VALUES "
                                     "((SELECT COALESCE(MAX(YJID), 0) + 1 FROM YJSJB), ?)"),
                      {date.toString(Qt::ISODate)});
    }

    StockInVouchers vouchers(StockInKind::Kind kind = StockInKind::Purchase, int mode = 2)
    {
        return StockInVouchers(set.db(), StockInKind::of(kind), mode, Formats());
    }

    static StockInLine line(const QString &clbh, const char *price, const char *quantity,
                            const char *amount, const char *paid = "0")
    {
        StockInLine l;
        l.clbh = clbh;
        l.price = dec(price);
        l.quantity = dec(quantity);
        l.amount = dec(amount);
        l.paid = dec(paid);
        return l;
    }

    StockInVoucher voucher(const QList<StockInLine> &lines, QDate date = QDate(2026, 3, 10))
    {
        StockInVoucher v;
        v.ysdjh = QStringLiteral("2026-03-10 - 1001");
        v.gysbh = QStringLiteral("1");
        v.czrq = date;
        v.lines = lines;
        return v;
    }

    QList<StoredLine> stored(const QString &where = QStringLiteral("1 = 1"))
    {
        QSqlQuery q = set.db().exec(
            QStringLiteral("SELECT ID, XTBH, YSDJH, CLBH, SJDJ, SJSL, SJJE, YFJE, CZZM, JZBZ, "
                           "CZBZ, ZJBZ FROM RKD WHERE ") +
            where + QStringLiteral(" ORDER BY ID"));
        QList<StoredLine> lines;
        while (q.next()) {
            lines.append({q.value(0).toLongLong(), q.value(1).toLongLong(), q.value(2).toString(),
                          q.value(3).toString(), Decimal::fromVariant(q.value(4)),
                          Decimal::fromVariant(q.value(5)), Decimal::fromVariant(q.value(6)),
                          Decimal::fromVariant(q.value(7)), q.value(8).toString(),
                          q.value(9).toInt() != 0, q.value(10).toInt() != 0,
                          q.value(11).toInt() != 0});
        }
        return lines;
    }

    int lineCount() { return set.db().scalar(QStringLiteral("SELECT COUNT(*) FROM RKD")).toInt(); }

    test::TestAccountSet set;
};

TEST_F(StockInTest, FirstVoucherNumbersAndTheirSuccessors)
{
    StockInVouchers v = vouchers();
    EXPECT_EQ(v.nextSystemNumber(), 1);
    EXPECT_EQ(v.proposeDocumentNumber(), QStringLiteral("2026-03-10 - 1001"));

    EXPECT_EQ(v.saveNew(voucher({line(QStringLiteral("1001"), "2", "5", "10")})), 1);
    EXPECT_EQ(v.nextSystemNumber(), 2);
    EXPECT_EQ(v.proposeDocumentNumber(), QStringLiteral("2026-03-10 - 1002"));

    // System numbers run across all kinds.
    EXPECT_EQ(vouchers(StockInKind::TransferIn).nextSystemNumber(), 2);
    // A number that does not end in digits does not count.
    StockInVoucher odd = voucher({line(QStringLiteral("1001"), "1", "1", "1")});
    odd.ysdjh = QStringLiteral("手工单号ABCDE");
    v.saveNew(odd);
    EXPECT_EQ(v.proposeDocumentNumber(), QStringLiteral("2026-03-10 - 1002"));
    EXPECT_EQ(v.documentNumbers(),
              QStringList({QStringLiteral("2026-03-10 - 1001"), QStringLiteral("手工单号ABCDE")}));
    EXPECT_TRUE(vouchers(StockInKind::TransferIn).documentNumbers().isEmpty());
}

TEST_F(StockInTest, EveryLineKeepsTheRunningNumberOfItsDocumentNumber)
{
    // A new voucher's number is drawn from these copies: one that lags behind its number
    // would hand the same number out twice.
    const auto runningNumbers = [&] {
        QList<qint64> numbers;
        QSqlQuery q = set.db().exec(QStringLiteral("SELECT YSXH FROM RKD ORDER BY ID"));
        while (q.next())
            numbers.append(q.value(0).isNull() ? -2 : q.value(0).toLongLong());
        return numbers;
    };
    StockInVouchers v = vouchers();
    const qint64 xtbh = v.saveNew(voucher({line(QStringLiteral("1001"), "2", "5", "10"),
                                           line(QStringLiteral("1002"), "3", "1", "3")}));
    StockInVoucher odd = voucher({line(QStringLiteral("1003"), "1", "1", "1")});
    odd.ysdjh = QStringLiteral("手工单号ABCDE");
    v.saveNew(odd);
    EXPECT_EQ(runningNumbers(), (QList<qint64>{1001, 1001, -1}));

    // Renumbered by hand, lines kept and added alike.
    StockInVoucher edited = *v.load(xtbh);
    edited.ysdjh = QStringLiteral("2026-03-10 - 1050");
    edited.lines.append(line(QStringLiteral("1003"), "4", "1", "4"));
    v.saveEdit(edited);
    EXPECT_EQ(runningNumbers(), (QList<qint64>{1050, 1050, -1, 1050}));
    EXPECT_EQ(v.proposeDocumentNumber(), QStringLiteral("2026-03-10 - 1051"));

    // A statement that changes the number without its copy leaves the copy empty, and the
    // number is then read from the line itself.
    set.db().exec(QStringLiteral("UPDATE RKD SET YSDJH = '2026-03-10 - 1020' WHERE XTBH = ?"),
                  {xtbh});
    EXPECT_EQ(runningNumbers(), (QList<qint64>{-2, -2, -1, -2}));
    EXPECT_EQ(v.proposeDocumentNumber(), QStringLiteral("2026-03-10 - 1021"));
}

TEST_F(StockInTest, OpeningNeedsAClosingAndDatesMustFollowTheLatestOne)
{
    test::TestAccountSet empty;
    StockInVouchers fresh(empty.db(), StockInKind::of(StockInKind::Purchase), 2, Formats());
    EXPECT_EQ(refusalOf([&] { fresh.checkCanOpen(); }), QStringLiteral("请选做月结处理！！！"));

    StockInVouchers v = vouchers();
    EXPECT_NO_THROW(v.checkCanOpen());
    EXPECT_EQ(refusalOf([&] {
                  v.saveNew(
                      voucher({line(QStringLiteral("1001"), "2", "5", "10")}, QDate(2026, 2, 28)));
              }),
              QStringLiteral("操作时间不允许小于月结时间！"));
    EXPECT_EQ(lineCount(), 0);
    EXPECT_NO_THROW(
        v.saveNew(voucher({line(QStringLiteral("1001"), "2", "5", "10")}, QDate(2026, 3, 1))));
    EXPECT_EQ(lineCount(), 1);
}

TEST_F(StockInTest, RefusalGathersEveryMessageAndWritesNothing)
{
    StockInVouchers v = vouchers(StockInKind::TransferIn);
    StockInVoucher bad = voucher({line(QStringLiteral("1001"), "2", "5", "10"),
                                  line(QStringLiteral("1002"), "0", "0", "0"),
                                  line(QStringLiteral("1003"), "1", "1", "1", "1.01")},
                                 QDate(2026, 1, 5));
    bad.gysbh.clear();
    EXPECT_EQ(refusalOf([&] { v.saveNew(bad); }),
              QStringLiteral("操作时间不允许小于月结时间！\n请选择正确调拨单位！\n2行请输入数据!\n"
                             "已付金额不允许大于实际金额"));
    bad.gysbh = QStringLiteral("99"); // no such supplier
    bad.czrq = QDate(2026, 3, 2);
    bad.lines = {line(QStringLiteral("1001"), "2", "5", "10")};
    EXPECT_EQ(refusalOf([&] { v.saveNew(bad); }), QStringLiteral("请选择正确调拨单位！"));
    bad.gysbh = QStringLiteral("1");
    bad.lines = {StockInLine()};
    EXPECT_FALSE(refusalOf([&] { v.saveNew(bad); }).isEmpty());
    EXPECT_EQ(lineCount(), 0);
}

TEST_F(StockInTest, ALineWithoutQuantityOrPastTheFigureBoundsIsRefused)
{
    StockInVouchers v = vouchers();
    // "1,000.00" typed with a thousands separator leaves price 1, quantity 0 and amount 5.
    EXPECT_EQ(refusalOf([&] { v.saveNew(voucher({line(QStringLiteral("1001"), "1", "0", "5")})); }),
              QStringLiteral("1行数量不允许为零!"));
    // A quantity the format rounds away is none either.
    EXPECT_EQ(
        refusalOf([&] { v.saveNew(voucher({line(QStringLiteral("1001"), "1", "0.001", "5")})); }),
        QStringLiteral("1行数量不允许为零!"));

    // At the bounds a line is taken; a hair past them it is refused, naming the bound.
    EXPECT_NO_THROW(v.saveNew(
        voucher({line(QStringLiteral("1001"), "1000000", "100000", "100000000000", "1")})));
    EXPECT_NO_THROW(v.saveNew(voucher({line(QStringLiteral("1001"), "1", "100000000", "1")})));
    EXPECT_EQ(refusalOf([&] {
                  v.saveNew(voucher({line(QStringLiteral("1001"), "1", "100000000.01", "1")}));
              }),
              QStringLiteral("1行数量超出允许范围，其绝对值不能大于100000000！"));
    EXPECT_EQ(refusalOf([&] {
                  v.saveNew(
                      voucher({line(QStringLiteral("1001"), "922337203685477.58", "1", "1")}));
              }),
              QStringLiteral("1行单价超出允许范围，其绝对值不能大于1000000！"));
    EXPECT_EQ(refusalOf([&] {
                  v.saveNew(voucher({line(QStringLiteral("1001"), "1", "1", "1"),
                                     line(QStringLiteral("1002"), "1", "1", "100000000000.01")}));
              }),
              QStringLiteral("2行金额超出允许范围，其绝对值不能大于100000000000！"));
    EXPECT_EQ(lineCount(), 2);
}

TEST_F(StockInTest, DatesOutsideTheBoundsAreRefusedAndLaterOnesAsked)
{
    StockInVouchers v = vouchers();
    EXPECT_EQ(refusalOf([&] {
                  v.saveNew(
                      voucher({line(QStringLiteral("1001"), "2", "5", "10")}, QDate(3000, 1, 1)));
              }),
              QStringLiteral("凭单日期必须在1900-01-01至2999-12-31之间！"));
    EXPECT_EQ(lineCount(), 0);
    // The last day of the bounds is a date like any other; being later than today is the
    // entry's question, not a refusal.
    EXPECT_NO_THROW(
        v.saveNew(voucher({line(QStringLiteral("1001"), "2", "5", "10")}, QDate(2999, 12, 31))));
    EXPECT_EQ(VoucherBook::laterDateQuestion(QDate(2026, 3, 10)), std::nullopt);
    const auto question = VoucherBook::laterDateQuestion(QDate(2026, 3, 11));
    ASSERT_TRUE(question.has_value());
    EXPECT_TRUE(question->contains(QStringLiteral("2026-03-11")));
    EXPECT_TRUE(question->contains(QStringLiteral("月结")));
}

TEST_F(StockInTest, AmountPaidMayEqualTheAmountButNotExceedIt)
{
    StockInVouchers v = vouchers();
    EXPECT_NO_THROW(v.saveNew(voucher({line(QStringLiteral("1001"), "2", "5", "10", "10")})));
    EXPECT_EQ(refusalOf([&] {
                  v.saveNew(voucher({line(QStringLiteral("1001"), "2", "5", "10", "10.01")}));
              }),
              QStringLiteral("已付金额不允许大于实际金额"));
    ASSERT_EQ(stored().size(), 1);
    EXPECT_EQ(stored().at(0).yfje, dec("10"));
}

TEST_F(StockInTest, ALineInTheConversionUnitIsStoredInTheAccountingUnit)
{
    set.db().exec(
        QStringLiteral("UPDATE CLJBXXB SET HSDW = '吨', HSXS = 1000 WHERE CLBH = '1001'"));
    StockInVouchers v = vouchers();
    StockInLineModel model(v);
    model.setEditable(true);
    ASSERT_TRUE(model.setData(model.index(0, StockInLineModel::Code), QStringLiteral("1001")));
    EXPECT_EQ(model.index(0, StockInLineModel::ConversionUnit)
                  .data(StockInLineModel::ConversionUnitsRole)
                  .toStringList(),
              QStringList({QString(), QStringLiteral("吨")}));
    EXPECT_FALSE(
        model.setData(model.index(0, StockInLineModel::ConversionUnit), QStringLiteral("箱")));
    ASSERT_TRUE(
        model.setData(model.index(0, StockInLineModel::ConversionUnit), QStringLiteral("吨")));
    ASSERT_TRUE(model.setData(model.index(0, StockInLineModel::Quantity), QStringLiteral("2")));
    ASSERT_TRUE(model.setData(model.index(0, StockInLineModel::Price), QStringLiteral("3000")));
    EXPECT_EQ(model.index(0, StockInLineModel::Amount).data().toString(),
              QStringLiteral("6000.00"));

    v.saveNew(voucher(model.lines()));
    const QList<StoredLine> lines = stored();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines.at(0).sjsl, dec("2000"));
    EXPECT_EQ(lines.at(0).sjdj, dec("3"));
    EXPECT_EQ(lines.at(0).sjje, dec("6000"));

    // Without the unit the figures are stored as typed.
    StockInLine plain = line(QStringLiteral("1001"), "3000", "2", "6000");
    plain.hsxs = 1000;
    EXPECT_EQ(v.storedFigures(plain).sjsl, dec("2"));
    // A conversion unit without a factor is refused, not divided by zero.
    set.db().exec(QStringLiteral("UPDATE CLJBXXB SET HSXS = 0 WHERE CLBH = '1001'"));
    StockInLine broken = plain;
    broken.conversionUnit = QStringLiteral("吨");
    broken.hsxs = 0;
    EXPECT_EQ(refusalOf([&] { v.saveNew(voucher({broken})); }), QStringLiteral("1行换算系数无效!"));
}

TEST_F(StockInTest, GridEditsKeepTheLineConsistent)
{
    StockInVouchers v = vouchers();
    StockInLineModel model(v);
    EXPECT_FALSE(model.setData(model.index(0, StockInLineModel::Code), QStringLiteral("1001")));
    model.setEditable(true);
    // Figures belong to a material; unknown codes and letters are refused.
    EXPECT_FALSE(model.setData(model.index(0, StockInLineModel::Price), QStringLiteral("3")));
    EXPECT_FALSE(model.setData(model.index(0, StockInLineModel::Code), QStringLiteral("9999")));
    ASSERT_TRUE(model.setData(model.index(0, StockInLineModel::Code), QStringLiteral("1002")));
    EXPECT_EQ(model.index(0, StockInLineModel::Name).data().toString(), QStringLiteral("水泥"));
    EXPECT_FALSE(model.setData(model.index(0, StockInLineModel::Quantity), QStringLiteral("1a")));
    ASSERT_TRUE(model.setData(model.index(0, StockInLineModel::Quantity), QStringLiteral("3")));
    ASSERT_TRUE(model.setData(model.index(0, StockInLineModel::Price), QStringLiteral("1.5")));
    EXPECT_EQ(model.line(0).amount, dec("4.5"));
    // A typed amount stands as typed.
    ASSERT_TRUE(model.setData(model.index(0, StockInLineModel::Amount), QStringLiteral("4.4")));
    EXPECT_EQ(model.line(0).amount, dec("4.4"));

    const int second = model.appendEmpty();
    EXPECT_EQ(model.rowCount(), 2);
    model.removeLine(second);
    model.removeLine(0);
    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_FALSE(model.line(0).hasMaterial());
}

TEST_F(StockInTest, AnEditStoresExactlyWhatTheGridShows)
{
    StockInVouchers v = vouchers();
    const qint64 xtbh = v.saveNew(voucher({line(QStringLiteral("1001"), "2", "5", "10"),
                                           line(QStringLiteral("1002"), "3", "1", "3")}));
    std::optional<StockInVoucher> loaded = v.load(xtbh);
    ASSERT_TRUE(loaded);
    ASSERT_EQ(loaded->lines.size(), 2);
    const qint64 keptId = loaded->lines.at(1).id;

    loaded->lines.removeFirst();
    loaded->lines[0].quantity = dec("2");
    loaded->lines[0].amount = dec("6");
    loaded->lines.append(line(QStringLiteral("1003"), "4", "1", "4"));
    loaded->fpbh = QStringLiteral("FP-9");
    v.saveEdit(*loaded);

    const QList<StoredLine> lines = stored();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines.at(0).id, keptId);
    EXPECT_EQ(lines.at(0).sjsl, dec("2"));
    EXPECT_EQ(lines.at(0).sjje, dec("6"));
    EXPECT_EQ(lines.at(1).clbh, QStringLiteral("1003"));
    EXPECT_EQ(lines.at(1).xtbh, xtbh);
    EXPECT_EQ(set.db()
                  .scalar(QStringLiteral("SELECT COUNT(*) FROM RKD WHERE FPBH = 'FP-9' AND ZL = ?"),
                          {QStringLiteral("采购入库")})
                  .toInt(),
              2);

    // A refused edit changes nothing; a posted voucher is never changed.
    StockInVoucher refused = *v.load(xtbh);
    refused.lines.removeFirst();
    refused.gysbh.clear();
    EXPECT_EQ(refusalOf([&] { v.saveEdit(refused); }), QStringLiteral("请选择正确供应商！"));
    EXPECT_EQ(stored().size(), 2);
    test::LedgerSeed(set.db()).post(QStringLiteral("RKD"), xtbh);
    EXPECT_EQ(refusalOf([&] { v.saveEdit(*v.load(xtbh)); }),
              QStringLiteral("该单据已经记账，不允许修改！"));
    EXPECT_EQ(refusalOf([&] { v.remove(xtbh); }), QStringLiteral("该单据已经记账，不允许修改！"));
    EXPECT_EQ(stored().size(), 2);
}

TEST_F(StockInTest, TextWithQuotesAndChineseAndRepeatedDocumentNumbers)
{
    set.addSupplier(QStringLiteral("O'5"), QStringLiteral("\"钢\"铁'厂"));
    StockInVouchers v = vouchers(StockInKind::ClientSupplied);
    StockInLine l = line(QStringLiteral("1001"), "2", "5", "10");
    l.czzm = QStringLiteral("材质'证明\" 100%_");
    StockInVoucher in = voucher({l});
    in.gysbh = QStringLiteral("O'5");
    in.fpbh = QStringLiteral("发票'; DROP TABLE RKD; --");
    in.zph = QStringLiteral("支票\"1\"");
    in.ysdjh = QStringLiteral("单号'1");
    const qint64 first = v.saveNew(in);
    // A document number typed again is allowed.
    const qint64 second = v.saveNew(in);
    EXPECT_NE(first, second);

    const std::optional<StockInVoucher> out = v.load(first);
    ASSERT_TRUE(out);
    EXPECT_EQ(out->gysbh, in.gysbh);
    EXPECT_EQ(out->gysmc, QStringLiteral("\"钢\"铁'厂"));
    EXPECT_EQ(out->fpbh, in.fpbh);
    EXPECT_EQ(out->zph, in.zph);
    EXPECT_EQ(out->ysdjh, in.ysdjh);
    EXPECT_EQ(out->lines.at(0).czzm, l.czzm);
    EXPECT_EQ(out->lines.at(0).clmc, QStringLiteral("螺纹钢"));

    StockInConditions c;
    c.gysbh = QStringLiteral("O'5");
    c.fpbh = in.fpbh;
    c.from = QDate(2026, 3, 1);
    c.to = QDate(2026, 3, 10);
    EXPECT_EQ(v.find(c).size(), 2);
    c.to = QDate(2026, 3, 9);
    EXPECT_TRUE(v.find(c).isEmpty());
}

TEST_F(StockInTest, BrowseListsThisKindOfTheCurrentMonth)
{
    StockInVouchers purchase = vouchers();
    const qint64 march = purchase.saveNew(voucher({line(QStringLiteral("1001"), "1", "1", "1")}));
    Clock::setToday(QDate(2026, 4, 2));
    purchase.saveNew(voucher({line(QStringLiteral("1001"), "1", "1", "1")}, QDate(2026, 4, 2)));
    vouchers(StockInKind::TransferIn)
        .saveNew(voucher({line(QStringLiteral("1001"), "1", "1", "1")}, QDate(2026, 4, 2)));
    // The stock-in half of a direct delivery never shows in the purchase list.
    set.db().exec(QStringLiteral("UPDATE RKD SET CKID = 7 WHERE XTBH = ?"), {march});

    const QList<StockInListRow> rows = purchase.currentMonth();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows.at(0).czrq, QDate(2026, 4, 2));
    EXPECT_EQ(rows.at(0).gysmc, QStringLiteral("钢材公司"));
    EXPECT_FALSE(rows.at(0).posted);
    EXPECT_EQ(purchase.finderStart(), QDate(2026, 2, 28));
}

class ProvisionalAppendTest : public StockInTest
{
protected:
    // A posted provisional voucher of 10 at 2; returns its line's ID.
    qint64 postedProvisional(int mode)
    {
        StockInVouchers v = vouchers(StockInKind::Provisional, mode);
        const qint64 xtbh = v.saveNew(voucher({line(QStringLiteral("1001"), "2", "10", "20")}));
        test::LedgerSeed(set.db()).post(QStringLiteral("RKD"), xtbh);
        CostEngine(set.db(), mode, Formats()).addReceiptToStock(xtbh);
        m_xtbh = xtbh;
        return stored().at(0).id;
    }
    qint64 m_xtbh = 0;
};

TEST_F(ProvisionalAppendTest, ReplacesTheLineOnceAndCorrectsTheStock)
{
    const qint64 id = postedProvisional(2);
    StockInVouchers v = vouchers(StockInKind::Provisional);
    StockInVoucher shown = *v.load(m_xtbh);
    StockInLine actual = shown.lines.at(0);
    actual.price = dec("2.5");
    actual.amount = dec("25");
    const qint64 number = v.append(shown, actual);
    EXPECT_EQ(number, m_xtbh + 2);

    const QList<StoredLine> lines = stored();
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines.at(0).czbz && lines.at(0).zjbz);
    EXPECT_EQ(lines.at(1).xtbh, m_xtbh + 2);
    EXPECT_EQ(lines.at(1).ysdjh, QString::number(m_xtbh) + QStringLiteral("追加"));
    EXPECT_TRUE(lines.at(1).jzbz && lines.at(1).zjbz && !lines.at(1).czbz);
    EXPECT_EQ(lines.at(1).sjje, dec("25"));
    EXPECT_EQ(lines.at(2).xtbh, m_xtbh + 1);
    EXPECT_EQ(lines.at(2).ysdjh, QString::number(m_xtbh) + QStringLiteral("冲帐"));
    EXPECT_EQ(lines.at(2).sjsl, dec("-10"));
    EXPECT_EQ(lines.at(2).sjje, dec("-20"));
    EXPECT_TRUE(lines.at(2).jzbz && lines.at(2).zjbz && lines.at(2).czbz);

    const test::LedgerSeed::Stock kc = test::LedgerSeed(set.db()).kc(QStringLiteral("1001"));
    EXPECT_EQ(kc.quantity, dec("10"));
    EXPECT_EQ(kc.amount, dec("25"));
    test::expectBooksBalance(set.db(), 2, Formats());

    // Twice is refused, and writes nothing.
    EXPECT_EQ(refusalOf([&] { v.checkAppend(id); }), QStringLiteral("该记录已经追加！"));
    EXPECT_EQ(refusalOf([&] { v.append(shown, actual); }), QStringLiteral("该记录已经追加！"));
    EXPECT_EQ(stored().size(), 3);
    EXPECT_EQ(refusalOf([&] { v.checkAppend(0); }), QStringLiteral("请选择追加记录！"));
}

TEST_F(ProvisionalAppendTest, OnlyAProvisionalLineThatEnteredTheStockCanBeAppended)
{
    const qint64 provisional = postedProvisional(2);
    StockInVouchers purchase = vouchers();
    const qint64 bought = purchase.saveNew(voucher({line(QStringLiteral("1001"), "2", "5", "10")}));
    test::LedgerSeed(set.db()).post(QStringLiteral("RKD"), bought);
    const qint64 purchaseLine =
        set.db().scalar(QStringLiteral("SELECT ID FROM RKD WHERE XTBH = ?"), {bought}).toLongLong();
    StockInVouchers v = vouchers(StockInKind::Provisional);
    EXPECT_EQ(refusalOf([&] { v.checkAppend(purchaseLine); }), QStringLiteral("请选择追加记录！"));

    // The stock-in half of a direct delivery.
    set.db().exec(QStringLiteral("UPDATE RKD SET CKID = 7 WHERE ID = ?"), {provisional});
    StockInVoucher shown = *v.load(m_xtbh);
    EXPECT_EQ(refusalOf([&] { v.append(shown, shown.lines.at(0)); }),
              QStringLiteral("请选择追加记录！"));
    EXPECT_EQ(set.db().scalar(QStringLiteral("SELECT COUNT(*) FROM RKD")).toInt(), 2);
}

TEST_F(ProvisionalAppendTest, UnderFifoIssuedPiecesMoveToTheActualLine)
{
    set.setMode(1);
    postedProvisional(1);
    test::LedgerSeed seed(set.db());
    const qint64 issue = seed.issue(50, QStringLiteral("1001"), dec("4"));
    seed.post(QStringLiteral("LLD"), 50);
    CostEngine(set.db(), 1, Formats()).removeIssueVoucherFromStock(50);
    EXPECT_EQ(seed.issueAmount(issue), dec("8"));

    StockInVouchers v = vouchers(StockInKind::Provisional, 1);
    StockInVoucher shown = *v.load(m_xtbh);
    StockInLine actual = shown.lines.at(0);
    actual.amount = dec("30");
    v.append(shown, actual);
    EXPECT_EQ(seed.kc(QStringLiteral("1001")).quantity, dec("6"));
    test::expectBooksBalance(set.db(), 1, Formats(), true);
}

TEST_F(ProvisionalAppendTest, TheReversingLineNeverLandsInASealedMonth)
{
    postedProvisional(2);
    StockInVouchers v = vouchers(StockInKind::Provisional);
    StockInVoucher shown = *v.load(m_xtbh);
    closeOn(QDate(2026, 3, 10));
    Clock::setToday(QDate(2026, 3, 12));
    shown.czrq = QDate(2026, 3, 10);
    EXPECT_EQ(refusalOf([&] { v.append(shown, shown.lines.at(0)); }),
              QStringLiteral("操作时间不允许小于月结时间！"));
    EXPECT_EQ(stored().size(), 1);

    shown.czrq = QDate(2026, 3, 12);
    v.append(shown, shown.lines.at(0));
    EXPECT_EQ(set.db().scalar(QStringLiteral("SELECT CZRQ FROM RKD WHERE YSDJH LIKE '%冲帐'")),
              QStringLiteral("2026-03-12"));
    test::expectBooksBalance(set.db(), 2, Formats());
}

TEST_F(ProvisionalAppendTest, AnUnpostedLineIsNotAppended)
{
    StockInVouchers v = vouchers(StockInKind::Provisional);
    const qint64 xtbh = v.saveNew(voucher({line(QStringLiteral("1001"), "2", "10", "20")}));
    const StockInVoucher shown = *v.load(xtbh);
    EXPECT_FALSE(refusalOf([&] { v.append(shown, shown.lines.at(0)); }).isEmpty());
    EXPECT_EQ(stored().size(), 1);
    EXPECT_FALSE(stored().at(0).zjbz);
}

} // namespace
