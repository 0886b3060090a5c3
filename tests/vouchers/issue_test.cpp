#include "ledger/posting.h"
#include "store/clock.h"
#include "store/database.h"
#include "store/errors.h"
#include "support/ledgerseed.h"
#include "support/testaccountset.h"
#include "vouchers/issuelinemodel.h"
#include "vouchers/issuematerials.h"
#include "vouchers/issuevouchers.h"

#include <QSqlQuery>

#include <gtest/gtest.h>

#include <functional>

using namespace varnock;
using varnock::test::dec;

namespace {

Refusal refusalOf(const std::function<void()> &operation)
{
    try {
        operation();
    } catch (const Refusal &refusal) {
        return refusal;
    }
    return Refusal(QString(), QString());
}

struct StoredLine
{
    qint64 id = 0;
    qint64 xtbh = 0;
    QString ysdjh;
    QString lldwbh;
    QString czrq;
    QString sgbw;
    QString dh;
    QString clbh;
    Decimal sjdj;
    Decimal sjsl;
    Decimal sjje;
    QString zl;
    QString bz;
};

class IssueTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Clock::setToday(QDate(2026, 3, 10));
        set.addUnit(QStringLiteral("U1"), QStringLiteral("一号楼项目部"));
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

    IssueVouchers vouchers(const QString &zl = QStringLiteral("1"), int mode = 2)
    {
        return IssueVouchers(set.db(), zl, mode, Formats());
    }

    static IssueLine line(const QString &clbh, const char *quantity, const char *price = "0",
                          const char *amount = "0")
    {
        IssueLine l;
        l.clbh = clbh;
        l.quantity = dec(quantity);
        l.price = dec(price);
        l.amount = dec(amount);
        return l;
    }

    static IssueVoucher voucher(const QList<IssueLine> &lines, QDate date = QDate(2026, 3, 10))
    {
        IssueVoucher v;
        v.ysdjh = QStringLiteral("2026-03-10 - 1001");
        v.lldwbh = QStringLiteral("U1");
        v.czrq = date;
        v.sgbw = QStringLiteral("基础");
        v.dh = QStringLiteral("1#");
        v.lines = lines;
        return v;
    }

    QList<StoredLine> stored()
    {
        QSqlQuery q = set.db().exec(
            QStringLiteral("SELECT ID, XTBH, YSDJH, LLDWBH, CZRQ, SGBW, DH, CLBH, SJDJ, SJSL, "
                           "SJJE, ZL, BZ FROM LLD ORDER BY ID"));
        QList<StoredLine> lines;
        while (q.next()) {
            lines.append({q.value(0).toLongLong(), q.value(1).toLongLong(), q.value(2).toString(),
                          q.value(3).toString(), q.value(4).toString(), q.value(5).toString(),
                          q.value(6).toString(), q.value(7).toString(),
                          Decimal::fromVariant(q.value(8)), Decimal::fromVariant(q.value(9)),
                          Decimal::fromVariant(q.value(10)), q.value(11).toString(),
                          q.value(12).toString()});
        }
        return lines;
    }

    test::TestAccountSet set;
    test::LedgerSeed seed{set.db()};
};

TEST_F(IssueTest, NumbersRunOnThroughTheMonthAcrossBothKinds)
{
    IssueVouchers requisitions = vouchers();
    IssueVouchers transfers = vouchers(QStringLiteral("2"));
    EXPECT_EQ(requisitions.nextSystemNumber(), 1);
    EXPECT_EQ(requisitions.proposeDocumentNumber(), QStringLiteral("2026-03-10 - 1001"));

    EXPECT_EQ(requisitions.saveNew(voucher({line(QStringLiteral("1001"), "2")})), 1);
    EXPECT_EQ(transfers.nextSystemNumber(), 2);
    EXPECT_EQ(transfers.proposeDocumentNumber(), QStringLiteral("2026-03-10 - 1002"));
    IssueVoucher out = voucher({line(QStringLiteral("1001"), "1")});
    out.ysdjh = transfers.proposeDocumentNumber();
    EXPECT_EQ(transfers.saveNew(out), 2);
    EXPECT_EQ(requisitions.proposeDocumentNumber(), QStringLiteral("2026-03-10 - 1003"));

    // Each kind lists its own numbers; a number without digits at its end does not count.
    IssueVoucher odd = voucher({line(QStringLiteral("1001"), "1")});
    odd.ysdjh = QStringLiteral("手工单ABCDE");
    requisitions.saveNew(odd);
    EXPECT_EQ(requisitions.proposeDocumentNumber(), QStringLiteral("2026-03-10 - 1003"));
    EXPECT_EQ(requisitions.documentNumbers(),
              QStringList({QStringLiteral("2026-03-10 - 1001"), QStringLiteral("手工单ABCDE")}));
    EXPECT_EQ(transfers.documentNumbers(), QStringList({QStringLiteral("2026-03-10 - 1002")}));

    // A new month starts again at 1001.
    Clock::setToday(QDate(2026, 4, 1));
    EXPECT_EQ(requisitions.proposeDocumentNumber(), QStringLiteral("2026-04-01 - 1001"));
}

TEST_F(IssueTest, ANumberDrawnAsTheVoucherIsStoredIsTheOneOffered)
{
    IssueVouchers v = vouchers();
    IssueVouchers transfers = vouchers(QStringLiteral("2"));
    IssueVoucher first = voucher({line(QStringLiteral("1001"), "2")});
    first.ysdjh.clear();
    EXPECT_EQ(v.saveNewWithDrawnNumber(first), 1);
    EXPECT_EQ(first.ysdjh, QStringLiteral("2026-03-10 - 1001"));
    IssueVoucher second = voucher({line(QStringLiteral("1001"), "1")});
    EXPECT_EQ(transfers.saveNewWithDrawnNumber(second), 2);
    EXPECT_EQ(second.ysdjh, QStringLiteral("2026-03-10 - 1002"));
    ASSERT_EQ(stored().size(), 2);
    EXPECT_EQ(stored().at(1).ysdjh, QStringLiteral("2026-03-10 - 1002"));

    // A refused voucher takes no number; one drawn in work that is undone is offered again.
    IssueVoucher none = voucher({line(QStringLiteral("1001"), "0")});
    EXPECT_EQ(refusalOf([&] { v.saveNewWithDrawnNumber(none); }).text,
              QStringLiteral("第1行请输入数据!"));
    {
        Transaction undone(set.db());
        IssueVoucher third = voucher({line(QStringLiteral("1001"), "1")});
        v.saveNewWithDrawnNumber(third);
        EXPECT_EQ(third.ysdjh, QStringLiteral("2026-03-10 - 1003"));
    }
    EXPECT_EQ(v.proposeDocumentNumber(), QStringLiteral("2026-03-10 - 1003"));
    EXPECT_EQ(stored().size(), 2);
}

TEST_F(IssueTest, TwoScreensDrawingTheSameNumberStoreTwoNumbers)
{
    // Requisitions and transfers draw from one table: both screens are offered 1001, and the
    // later save must not take it again. A number typed by hand is the user's, kept as typed.
    IssueVouchers requisitions = vouchers();
    IssueVouchers transfers = vouchers(QStringLiteral("2"));
    IssueVoucher in = voucher({line(QStringLiteral("1001"), "2")});
    IssueVoucher out = voucher({line(QStringLiteral("1001"), "1")});
    in.ysdjh = requisitions.proposeDocumentNumber();
    out.ysdjh = transfers.proposeDocumentNumber();
    ASSERT_EQ(in.ysdjh, out.ysdjh);
    requisitions.saveNew(in);
    transfers.saveNew(out);
    IssueVoucher typed = voucher({line(QStringLiteral("1002"), "1")});
    typed.ysdjh = QStringLiteral("手工单7");
    requisitions.saveNew(typed);
    requisitions.saveNew(typed);
    const QList<StoredLine> lines = stored();
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines.at(0).ysdjh, QStringLiteral("2026-03-10 - 1001"));
    EXPECT_EQ(lines.at(1).ysdjh, QStringLiteral("2026-03-10 - 1002"));
    EXPECT_EQ(lines.at(2).ysdjh, QStringLiteral("手工单7"));
    EXPECT_EQ(lines.at(3).ysdjh, QStringLiteral("手工单7"));
}

TEST_F(IssueTest, SystemNumbersAreNotLimitedToSixteenBits)
{
    seed.issue(32767, QStringLiteral("1001"), dec("1"));
    IssueVouchers v = vouchers();
    EXPECT_EQ(v.nextSystemNumber(), 32768);
    EXPECT_EQ(v.saveNew(voucher({line(QStringLiteral("1001"), "1")})), 32768);
    seed.issue(5000000000LL, QStringLiteral("1001"), dec("1"));
    EXPECT_EQ(v.saveNew(voucher({line(QStringLiteral("1001"), "1")})), 5000000001LL);
    EXPECT_TRUE(v.load(5000000001LL).has_value());
}

TEST_F(IssueTest, SaveChecksComeOneAtATimeWithTheirTitles)
{
    test::TestAccountSet empty;
    EXPECT_EQ(refusalOf([&] {
                  IssueVouchers(empty.db(), QStringLiteral("1"), 2, Formats()).checkCanOpen();
              }).text,
              QStringLiteral("请选做月结处理！！！"));
    EXPECT_TRUE(refusalOf([&] { vouchers().checkCanOpen(); }).text.isEmpty());

    IssueVouchers v = vouchers();
    IssueVoucher bad =
        voucher({line(QStringLiteral("1001"), "0"), IssueLine(), line(QStringLiteral("1002"), "3"),
                 line(QStringLiteral("1003"), "0")},
                QDate(2026, 2, 28));
    bad.lldwbh = QStringLiteral("U9"); // no such unit
    Refusal r = refusalOf([&] { v.saveNew(bad); });
    EXPECT_EQ(r.title, QStringLiteral("提示窗口"));
    EXPECT_EQ(r.text, QStringLiteral("请选择单位名称！"));
    EXPECT_EQ(
        v.validate(bad),
        QStringList({QStringLiteral("请选择单位名称！"),
                     QStringLiteral("操作日期应大于月结时间，请选择其他日期！"),
                     QStringLiteral("第1行请输入数据!"), QStringLiteral("第4行请输入数据!")}));

    bad.lldwbh = QStringLiteral("U1");
    r = refusalOf([&] { v.saveNew(bad); });
    EXPECT_EQ(r.text, QStringLiteral("操作日期应大于月结时间，请选择其他日期！"));
    EXPECT_EQ(r.title, QStringLiteral("提示窗口"));

    // Every row without a quantity is named in the one message.
    bad.czrq = QDate(2026, 3, 1);
    r = refusalOf([&] { v.saveNew(bad); });
    EXPECT_EQ(r.text, QStringLiteral("第1行请输入数据!\n第4行请输入数据!"));

    IssueVoucher none = voucher({IssueLine()});
    r = refusalOf([&] { v.saveNew(none); });
    EXPECT_EQ(r.title, QStringLiteral("提示窗口！！！"));
    EXPECT_EQ(r.text, QStringLiteral("数据库里没有数据！！！"));

    // A code that is no material, or a conversion without a factor, is not stored either.
    IssueLine ghost = line(QStringLiteral("9999"), "1");
    IssueLine converted = line(QStringLiteral("1001"), "1");
    converted.conversionUnit = QStringLiteral("吨");
    EXPECT_EQ(refusalOf([&] {
                  v.saveNew(voucher({ghost, converted}));
              }).text,
              QStringLiteral("第1行材料编号不存在!\n第2行换算系数无效!"));
    EXPECT_TRUE(stored().isEmpty());

    EXPECT_TRUE(v.validate(voucher({line(QStringLiteral("1001"), "1")})).isEmpty());
    EXPECT_NO_THROW(v.saveNew(voucher({line(QStringLiteral("1001"), "1")}, QDate(2026, 3, 1))));
    EXPECT_EQ(stored().size(), 1);
}

TEST_F(IssueTest, DatesAndQuantitiesPastTheirBoundsAreRefused)
{
    IssueVouchers v = vouchers();
    EXPECT_EQ(refusalOf([&] {
                  v.saveNew(voucher({line(QStringLiteral("1001"), "1")}, QDate(9999, 12, 31)));
              }).text,
              QStringLiteral("凭单日期必须在1900-01-01至2999-12-31之间！"));
    EXPECT_EQ(
        refusalOf([&] { v.saveNew(voucher({line(QStringLiteral("1001"), "100000000.01")})); }).text,
        QStringLiteral("第1行数量超出允许范围，其绝对值不能大于100000000！"));
    EXPECT_TRUE(stored().isEmpty());
}

TEST_F(IssueTest, MovingAverageLinesArePricedFromStock)
{
    seed.opening(QStringLiteral("1001"), dec("3"), dec("10"));
    IssueVouchers v = vouchers();
    IssueVoucher in = voucher(
        {line(QStringLiteral("1001"), "2"), line(QStringLiteral("1002"), "1"), IssueLine()});
    v.price(in);
    EXPECT_EQ(in.lines.at(0).price, dec("3.33"));
    EXPECT_EQ(in.lines.at(0).amount, dec("6.66"));
    EXPECT_EQ(in.lines.at(0).stockQuantity, dec("3"));
    EXPECT_EQ(in.lines.at(0).stockAmount, dec("10"));
    // No stock: no price.
    EXPECT_EQ(in.lines.at(1).price, Decimal());
    EXPECT_EQ(in.lines.at(1).amount, Decimal());

    in.lines.removeAt(1); // nothing to post it from
    const qint64 xtbh = v.saveNew(in);
    const QList<StoredLine> lines = stored();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines.at(0).sjdj, dec("3.33"));
    EXPECT_EQ(lines.at(0).sjsl, dec("2"));
    EXPECT_EQ(lines.at(0).sjje, dec("6.66"));
    EXPECT_EQ(lines.at(0).zl, QStringLiteral("1"));
    EXPECT_EQ(lines.at(0).czrq, QStringLiteral("2026-03-10"));

    // Four decimals of amount give a finer price.
    IssueVouchers fine(set.db(), QStringLiteral("1"), 2,
                       Formats(QStringLiteral("0.00"), QStringLiteral("0.0000")));
    IssueLine l = line(QStringLiteral("1001"), "2");
    fine.priceLine(l);
    EXPECT_EQ(l.price, dec("3.3333"));
    EXPECT_EQ(l.amount, dec("6.6666"));

    // Posting takes exactly the stored amount out of stock.
    Posting(set.db(), 2, Formats()).post(Posting::Family::Issue, QStringLiteral("1"), xtbh);
    EXPECT_EQ(seed.kc(QStringLiteral("1001")).quantity, dec("1"));
    EXPECT_EQ(seed.kc(QStringLiteral("1001")).amount, dec("3.34"));
}

TEST_F(IssueTest, AVoucherIsPricedAtOnceAsEachOfItsLinesAlone)
{
    set.addMaterial(QStringLiteral("1004"), QStringLiteral("砖"), QStringLiteral("1"), true,
                    dec("2.5"));
    seed.opening(QStringLiteral("1001"), dec("3"), dec("10"));
    seed.opening(QStringLiteral("1004"), dec("10"), dec("25"));
    // A stock row whose material left the catalogue is priced from its stock all the same.
    set.db().exec(QStringLiteral("INSERT INTO KC (CLBH, KCSL, KCJE) VALUES ('9999', ?, ?)"),
                  {dec("4").toVariant(), dec("9").toVariant()});
    IssueVouchers v = vouchers();
    IssueVoucher in =
        voucher({line(QStringLiteral("1001"), "2"), line(QStringLiteral("1004"), "3"),
                 line(QStringLiteral("9999"), "1"), IssueLine(),
                 line(QStringLiteral(" 1001 "), "1"), line(QStringLiteral("1002"), "1")});
    in.lines[4].conversionUnit = QStringLiteral("吨");
    in.lines[4].hsxs = 2;
    IssueVoucher alone = in;
    v.price(in);
    for (qsizetype i = 0; i < alone.lines.size(); ++i) {
        v.priceLine(alone.lines[i]);
        const IssueLine &a = alone.lines.at(i);
        const IssueLine &b = in.lines.at(i);
        EXPECT_EQ(b.price, a.price) << i;
        EXPECT_EQ(b.amount, a.amount) << i;
        EXPECT_EQ(b.stockQuantity, a.stockQuantity) << i;
        EXPECT_EQ(b.stockAmount, a.stockAmount) << i;
    }
    EXPECT_EQ(in.lines.at(1).price, dec("2.50"));
    EXPECT_EQ(in.lines.at(2).price, dec("2.25"));
    EXPECT_EQ(in.lines.at(4).price, dec("6.66"));

    // The materials are checked together too: the line whose code names none is refused.
    EXPECT_EQ(refusalOf([&] { v.saveNew(in); }).text, QStringLiteral("第3行材料编号不存在!"));
    EXPECT_TRUE(stored().isEmpty());
}

TEST_F(IssueTest, FifoLinesCarryNoPriceUntilPosting)
{
    set.setMode(1);
    seed.opening(QStringLiteral("1001"), dec("4"), dec("10"));
    IssueVouchers v = vouchers(QStringLiteral("1"), 1);
    IssueVoucher in = voucher({line(QStringLiteral("1001"), "3", "2.5", "7.5")});
    v.price(in);
    EXPECT_EQ(in.lines.at(0).price, Decimal());
    EXPECT_EQ(in.lines.at(0).amount, Decimal());
    EXPECT_EQ(in.lines.at(0).stockQuantity, dec("4"));

    // Even figures given from elsewhere are not stored.
    in.lines[0].price = dec("2.5");
    in.lines[0].amount = dec("7.5");
    const qint64 xtbh = v.saveNew(in);
    EXPECT_EQ(stored().at(0).sjdj, Decimal());
    EXPECT_EQ(stored().at(0).sjje, Decimal());
    EXPECT_EQ(stored().at(0).sjsl, dec("3"));

    Posting(set.db(), 1, Formats()).post(Posting::Family::Issue, QStringLiteral("1"), xtbh);
    EXPECT_EQ(stored().at(0).sjje, dec("7.5"));
    test::expectBooksBalance(set.db(), 1, Formats());
}

TEST_F(IssueTest, AnIssueOverStockIsSavedButNotPosted)
{
    seed.opening(QStringLiteral("1001"), dec("5"), dec("50"));
    IssueVouchers v = vouchers();
    IssueVoucher in = voucher({line(QStringLiteral("1001"), "8")});
    v.price(in);
    const qint64 xtbh = v.saveNew(in);
    EXPECT_EQ(stored().size(), 1);

    Posting posting(set.db(), 2, Formats());
    EXPECT_TRUE(refusalOf([&] {
                    posting.post(Posting::Family::Issue, QStringLiteral("1"), xtbh);
                }).text.endsWith(QStringLiteral("出库数量已经超过库存数量,请做出入库！")));
    EXPECT_FALSE(v.isPosted(xtbh));
    EXPECT_EQ(seed.kc(QStringLiteral("1001")).quantity, dec("5"));
    EXPECT_EQ(seed.kc(QStringLiteral("1001")).amount, dec("50"));
}

TEST_F(IssueTest, ALineInTheConversionUnitIsStoredInTheAccountingUnit)
{
    set.db().exec(
        QStringLiteral("UPDATE CLJBXXB SET HSDW = '吨', HSXS = 1000 WHERE CLBH = '1001'"));
    seed.opening(QStringLiteral("1001"), dec("5000"), dec("15000"));
    IssueVouchers v = vouchers();
    IssueLineModel model(v);
    model.setEditable(true);
    ASSERT_TRUE(model.setData(model.index(0, IssueLineModel::Code), QStringLiteral("1001")));
    EXPECT_EQ(model.line(0).price, dec("3"));
    ASSERT_TRUE(
        model.setData(model.index(0, IssueLineModel::ConversionUnit), QStringLiteral("吨")));
    EXPECT_FALSE(
        model.setData(model.index(0, IssueLineModel::ConversionUnit), QStringLiteral("箱")));
    EXPECT_EQ(model.index(0, IssueLineModel::Factor).data().toString(), QStringLiteral("1000"));
    EXPECT_EQ(model.line(0).price, dec("3000"));
    ASSERT_TRUE(model.setData(model.index(0, IssueLineModel::Quantity), QStringLiteral("2")));
    EXPECT_EQ(model.index(0, IssueLineModel::Amount).data().toString(), QStringLiteral("6000.00"));

    v.saveNew(voucher(model.lines()));
    ASSERT_EQ(stored().size(), 1);
    EXPECT_EQ(stored().at(0).sjsl, dec("2000"));
    EXPECT_EQ(stored().at(0).sjdj, dec("3"));
    EXPECT_EQ(stored().at(0).sjje, dec("6000"));
}

TEST_F(IssueTest, TheGridPricesPickedMaterialsAndKeepsTheTotal)
{
    seed.opening(QStringLiteral("1001"), dec("4"), dec("10"));
    set.addMaterial(QStringLiteral("1004"), QStringLiteral("模板"), QStringLiteral("1"), true,
                    dec("20"));
    seed.opening(QStringLiteral("1004"), dec("2"), dec("40"));
    IssueVouchers v = vouchers();
    IssueLineModel model(v);
    EXPECT_FALSE(model.setData(model.index(0, IssueLineModel::Code), QStringLiteral("1001")));
    model.setEditable(true);
    EXPECT_FALSE(model.setData(model.index(0, IssueLineModel::Quantity), QStringLiteral("1")));
    // Typed codes need a material in stock.
    EXPECT_FALSE(model.setData(model.index(0, IssueLineModel::Code), QStringLiteral("1002")));
    EXPECT_FALSE(model.setData(model.index(0, IssueLineModel::Code), QStringLiteral("9999")));
    ASSERT_TRUE(model.setData(model.index(0, IssueLineModel::Code), QStringLiteral("1001")));
    EXPECT_EQ(model.index(0, IssueLineModel::Price).data().toString(), QStringLiteral("2.50"));
    EXPECT_EQ(model.index(0, IssueLineModel::StockQuantity).data().toString(),
              QStringLiteral("4.00"));
    EXPECT_FALSE(model.setData(model.index(0, IssueLineModel::Quantity), QStringLiteral("1a")));
    EXPECT_FALSE(model.setData(model.index(0, IssueLineModel::Quantity), QStringLiteral("-1")));
    ASSERT_TRUE(model.setData(model.index(0, IssueLineModel::Quantity), QStringLiteral("3")));
    EXPECT_EQ(model.line(0).amount, dec("7.5"));
    // A typed price stands and prices the line.
    ASSERT_TRUE(model.setData(model.index(0, IssueLineModel::Price), QStringLiteral("2.4")));
    EXPECT_EQ(model.line(0).amount, dec("7.2"));

    // The picker's choice goes to the first empty row; a planned-price material keeps its
    // planned price.
    const int row = model.firstEmptyRow();
    EXPECT_EQ(row, 1);
    ASSERT_TRUE(model.setMaterial(row, *IssueMaterials(set.db()).find(QStringLiteral("1004"))));
    EXPECT_EQ(model.line(1).price, dec("20"));
    EXPECT_FALSE(model.flags(model.index(1, IssueLineModel::Price)).testFlag(Qt::ItemIsEditable));
    ASSERT_TRUE(model.setData(model.index(1, IssueLineModel::Quantity), QStringLiteral("1.5")));
    EXPECT_EQ(model.total(), dec("37.2"));

    model.removeLine(0);
    EXPECT_EQ(model.total(), dec("30"));
    model.removeLine(0);
    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_FALSE(model.line(0).hasMaterial());

    // Under first in first out no price is shown or typed.
    IssueVouchers fifo = vouchers(QStringLiteral("1"), 1);
    IssueLineModel fifoModel(fifo);
    fifoModel.setEditable(true);
    ASSERT_TRUE(
        fifoModel.setData(fifoModel.index(0, IssueLineModel::Code), QStringLiteral("1001")));
    ASSERT_TRUE(
        fifoModel.setData(fifoModel.index(0, IssueLineModel::Quantity), QStringLiteral("2")));
    EXPECT_FALSE(
        fifoModel.flags(fifoModel.index(0, IssueLineModel::Price)).testFlag(Qt::ItemIsEditable));
    EXPECT_TRUE(fifoModel.index(0, IssueLineModel::Amount).data().toString().isEmpty());
    EXPECT_EQ(fifoModel.total(), Decimal());
}

TEST_F(IssueTest, ThePickerListsStockAndFindsLeavesLiterally)
{
    set.addMaterial(QStringLiteral("1004"), QStringLiteral("50%_钢板"));
    seed.opening(QStringLiteral("1001"), dec("4"), dec("10"));
    seed.opening(QStringLiteral("1002"), dec("4"), dec("0")); // free goods: quantity only
    IssueMaterials materials(set.db());
    const QList<IssueMaterials::Row> inStock = materials.inStock();
    ASSERT_EQ(inStock.size(), 1);
    EXPECT_EQ(inStock.at(0).clbh, QStringLiteral("1001"));
    EXPECT_TRUE(inStock.at(0).mayBeIssued());

    EXPECT_EQ(materials.search(IssueMaterials::By::All).size(), 4);
    EXPECT_EQ(materials.search(IssueMaterials::By::Code, QStringLiteral("100")).size(), 4);
    const QList<IssueMaterials::Row> byName =
        materials.search(IssueMaterials::By::Name, QStringLiteral("50%_"));
    ASSERT_EQ(byName.size(), 1);
    EXPECT_FALSE(byName.at(0).mayBeIssued());
    EXPECT_TRUE(materials.search(IssueMaterials::By::Name, QStringLiteral("5_%")).isEmpty());
    EXPECT_EQ(materials.values(IssueMaterials::By::Code).size(), 4);
}

TEST_F(IssueTest, AnEditStoresExactlyTheGridAndKeepsLineIds)
{
    IssueVouchers v = vouchers();
    const qint64 xtbh =
        v.saveNew(voucher({line(QStringLiteral("1001"), "5"), line(QStringLiteral("1002"), "1")}));
    std::optional<IssueVoucher> loaded = v.load(xtbh);
    ASSERT_TRUE(loaded);
    ASSERT_EQ(loaded->lines.size(), 2);
    EXPECT_EQ(loaded->lldwmc, QStringLiteral("一号楼项目部"));
    const qint64 keptId = loaded->lines.at(1).id;

    loaded->lines.removeFirst();
    loaded->lines[0].quantity = dec("2");
    loaded->lines.append(line(QStringLiteral("1003"), "4"));
    loaded->sgbw = QStringLiteral("主体");
    loaded->czrq = QDate(2026, 3, 9);
    v.saveEdit(*loaded);

    QList<StoredLine> lines = stored();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines.at(0).id, keptId);
    EXPECT_EQ(lines.at(0).sjsl, dec("2"));
    EXPECT_EQ(lines.at(1).clbh, QStringLiteral("1003"));
    EXPECT_EQ(lines.at(1).xtbh, xtbh);
    for (const StoredLine &l : lines) {
        EXPECT_EQ(l.sgbw, QStringLiteral("主体"));
        EXPECT_EQ(l.czrq, QStringLiteral("2026-03-09"));
    }

    // A refused edit changes nothing.
    IssueVoucher refused = *v.load(xtbh);
    refused.lines.removeFirst();
    refused.czrq = QDate(2026, 2, 1);
    EXPECT_FALSE(refusalOf([&] { v.saveEdit(refused); }).text.isEmpty());
    EXPECT_EQ(stored().size(), 2);

    // Another kind's voucher is not this screen's to change.
    EXPECT_EQ(refusalOf([&] { vouchers(QStringLiteral("2")).saveEdit(*v.load(xtbh)); }).text,
              QStringLiteral("该单据不存在！"));

    // Posted: shown, never changed or removed.
    seed.post(QStringLiteral("LLD"), xtbh);
    EXPECT_TRUE(v.load(xtbh)->posted);
    EXPECT_EQ(refusalOf([&] { v.saveEdit(*v.load(xtbh)); }).text,
              QStringLiteral("该单据已经记账，不允许修改！"));
    EXPECT_EQ(refusalOf([&] { v.remove(xtbh); }).text,
              QStringLiteral("该单据已经记账，不允许修改！"));
    EXPECT_EQ(stored().size(), 2);
}

TEST_F(IssueTest, LinesWithReturnsKeepTheirMaterialAndQuantity)
{
    IssueVouchers v = vouchers();
    const qint64 xtbh =
        v.saveNew(voucher({line(QStringLiteral("1001"), "10"), line(QStringLiteral("1002"), "2")}));
    const qint64 returnedId = stored().at(0).id;
    seed.issueReturn(1, returnedId, QStringLiteral("1001"), dec("4"), {}, {});

    IssueVoucher edit = *v.load(xtbh);
    edit.lines.removeFirst();
    EXPECT_EQ(refusalOf([&] { v.saveEdit(edit); }).text,
              QStringLiteral("材料1001已做退库，不能删除！"));
    edit = *v.load(xtbh);
    edit.lines[0].clbh = QStringLiteral("1003");
    EXPECT_EQ(refusalOf([&] { v.saveEdit(edit); }).text,
              QStringLiteral("第1行已做退库，不能更换材料！"));
    edit = *v.load(xtbh);
    edit.lines[0].quantity = dec("3");
    EXPECT_EQ(refusalOf([&] { v.saveEdit(edit); }).text,
              QStringLiteral("第1行出库数量不能小于已退库数量！"));
    EXPECT_EQ(refusalOf([&] { v.remove(xtbh); }).text,
              QStringLiteral("该单据已做退库，不能删除！"));
    EXPECT_EQ(stored().at(0).sjsl, dec("10"));

    // Down to what was returned is allowed, and the line keeps the ID the return names.
    edit.lines[0].quantity = dec("4");
    edit.lines.removeLast();
    v.saveEdit(edit);
    ASSERT_EQ(stored().size(), 1);
    EXPECT_EQ(stored().at(0).id, returnedId);

    // Without returns a voucher may go altogether.
    const qint64 other = v.saveNew(voucher({line(QStringLiteral("1003"), "1")}));
    v.remove(other);
    EXPECT_EQ(stored().size(), 1);
}

TEST_F(IssueTest, QuotesAndChineseTextsTravelUnchanged)
{
    set.addUnit(QStringLiteral("O'5"), QStringLiteral("\"东\"区'项目"));
    IssueVouchers v = vouchers(QStringLiteral("2"));
    IssueLine l = line(QStringLiteral("1001"), "1");
    l.bz = QStringLiteral("备注'; DROP TABLE LLD; --");
    IssueVoucher in = voucher({l});
    in.lldwbh = QStringLiteral("O'5");
    in.sgbw = QStringLiteral("地下室'B区\"");
    in.dh = QStringLiteral("3#'楼");
    in.ysdjh = QStringLiteral("单号'1");
    const qint64 xtbh = v.saveNew(in);
    v.saveNew(in); // the same document number typed again is allowed

    const std::optional<IssueVoucher> out = v.load(xtbh);
    ASSERT_TRUE(out);
    EXPECT_EQ(out->lldwbh, in.lldwbh);
    EXPECT_EQ(out->lldwmc, QStringLiteral("\"东\"区'项目"));
    EXPECT_EQ(out->sgbw, in.sgbw);
    EXPECT_EQ(out->dh, in.dh);
    EXPECT_EQ(out->ysdjh, in.ysdjh);
    EXPECT_EQ(out->lines.at(0).bz, l.bz);
    EXPECT_EQ(out->lines.at(0).clmc, QStringLiteral("螺纹钢"));
    EXPECT_EQ(v.sites(), QStringList({in.sgbw}));
    EXPECT_EQ(v.buildings(), QStringList({in.dh}));

    IssueConditions c;
    c.lldwbh = in.lldwbh;
    c.sgbw = in.sgbw;
    c.dh = in.dh;
    c.from = QDate(2026, 3, 10);
    c.to = QDate(2026, 3, 10);
    EXPECT_EQ(v.find(c).size(), 2);
    EXPECT_TRUE(vouchers(QStringLiteral("1")).find(c).isEmpty());
    c.to = QDate(2026, 3, 9);
    EXPECT_TRUE(v.find(c).isEmpty());
}

TEST_F(IssueTest, TheFinderListsThisKindOfTheMonthWithoutDirectDeliveries)
{
    IssueVouchers requisitions = vouchers();
    const qint64 march = requisitions.saveNew(voucher({line(QStringLiteral("1001"), "1")}));
    Clock::setToday(QDate(2026, 4, 2));
    const qint64 april = requisitions.saveNew(voucher(
        {line(QStringLiteral("1001"), "1"), line(QStringLiteral("1002"), "1")}, QDate(2026, 4, 2)));
    vouchers(QStringLiteral("2"))
        .saveNew(voucher({line(QStringLiteral("1001"), "1")}, QDate(2026, 4, 2)));
    const qint64 direct =
        requisitions.saveNew(voucher({line(QStringLiteral("1001"), "1")}, QDate(2026, 4, 3)));
    set.db().exec(QStringLiteral("UPDATE LLD SET ZJZC = 1 WHERE XTBH = ?"), {direct});

    const QList<IssueListRow> rows = requisitions.currentMonth();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows.at(0).xtbh, april);
    EXPECT_EQ(rows.at(0).lldwmc, QStringLiteral("一号楼项目部"));
    EXPECT_EQ(rows.at(0).sgbw, QStringLiteral("基础"));
    EXPECT_FALSE(rows.at(0).posted);
    EXPECT_EQ(requisitions.finderStart(), QDate(2026, 2, 28));

    IssueConditions c;
    c.from = QDate(2026, 2, 28);
    c.to = QDate(2026, 4, 30);
    EXPECT_EQ(requisitions.find(c).size(), 2);
    c.clbh = QStringLiteral("1002");
    ASSERT_EQ(requisitions.find(c).size(), 1);
    EXPECT_EQ(requisitions.find(c).at(0).xtbh, april);
    Q_UNUSED(march);

    // A direct delivery is changed only with its stock-in half.
    EXPECT_EQ(refusalOf([&] { requisitions.remove(direct); }).text,
              QStringLiteral("直进直出单据不允许在此修改！"));
}

} // namespace
