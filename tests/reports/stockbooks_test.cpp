// The stock reports on generated books of several closed months, in both costing methods:
// every row adds up, the opening taken from a closing equals the whole history, and the
// closing agrees with the stock table.

#include "cli/demogenerator.h"
#include "ledger/costengine.h"
#include "ledger/reversal.h"
#include "reports/stockbalances.h"
#include "reports/stockreport.h"
#include "shell/accountsets.h"
#include "shell/accountsetsession.h"
#include "shell/datafolder.h"
#include "shell/masterdatabase.h"
#include "store/clock.h"
#include "support/ledgerseed.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

namespace varnock {
namespace {

using test::dec;

const QDate Today(2026, 6, 17);

// The costing method, and how many materials the lines fall on: many, or a few that receive
// far more than they issue, so that each keeps many layers at prices that come in no order.
struct Books
{
    int mode;
    qint64 materials = 40;
    qint64 stockInLines = 260;
    qint64 issueLines = 300;

    friend void PrintTo(const Books &b, std::ostream *os)
    {
        *os << "mode " << b.mode << ", " << b.materials << " materials, " << b.stockInLines
            << " receipts, " << b.issueLines << " issues";
    }
};

class GeneratedBooks : public ::testing::TestWithParam<Books>
{
protected:
    GeneratedBooks()
        : folder(dir.path())
    {
        cli::DemoGenerator::Options o;
        o.materials = GetParam().materials;
        o.months = 4;
        o.stockInLines = GetParam().stockInLines;
        o.issueLines = GetParam().issueLines;
        o.units = 5;
        o.mode = mode();
        o.batchSize = 50;
        master = MasterDatabase::ensure(folder);
        NewAccountSet r;
        r.number = 1;
        r.name = QStringLiteral("报表账套");
        r.password = QStringLiteral("p");
        const QDate first = cli::DemoGenerator::openingClosing(Today, o.months);
        r.date = QDate(first.year(), first.month(), 1);
        r.mode = o.mode;
        AccountSets(*master, folder).create(r);
        session = std::make_unique<AccountSetSession>(folder, *master, 1);
        cli::DemoGenerator(db(), session->formats(), o)
            .run(Today, [this](const QString &, const std::function<void()> &work) {
                Transaction tx(db());
                work();
                tx.commit();
            });

        // What the generator leaves out, in the open month: a reversed issue and amount
        // adjustments both ways.
        Clock::setToday(Today);
        const qint64 line = db().scalar(QStringLiteral("SELECT MAX(ID) FROM LLD WHERE ZL = '1' "
                                                       "AND CZRQ > '2026-06-01'"))
                                .toLongLong();
        Reversal(db(), mode(), session->formats()).reverseIssueLine(line, Today);
        test::LedgerSeed seed(db());
        const QString clbh =
            db().scalar(QStringLiteral("SELECT CLBH FROM KC WHERE KCSL > 0 ORDER BY CLBH"))
                .toString();
        seed.adjustment(clbh, dec("12.34"));
        seed.adjustment(clbh, dec("-5.67"));
        db().exec(QStringLiteral("UPDATE CLKVMT SET CZRQ = '2026-06-03'"));
    }
    ~GeneratedBooks() override { Clock::setToday(std::nullopt); }

    Database &db() { return session->database(); }
    int mode() const { return GetParam().mode; }

    QTemporaryDir dir;
    DataFolder folder;
    std::unique_ptr<Database> master;
    std::unique_ptr<AccountSetSession> session;
};

Figure figureOf(const ReportTable &t, int row, const char *quantity, const char *amount)
{
    const int q = t.columnOf(QLatin1String(quantity));
    const int a = t.columnOf(QLatin1String(amount));
    return {q < 0 ? Decimal() : t.figureAt(row, q), t.figureAt(row, a)};
}

// Opening + receipts − issues − transfers + adjustments = closing, on every row shown (the
// generated books hold no count differences; the transfers are the first unit column).
void expectRowsBalance(const ReportTable &t)
{
    for (int r = 0; r < t.rowCount(); ++r) {
        Figure f = figureOf(t, r, "SYSL", "SYJE") + figureOf(t, r, "RKSL", "RKJE") -
                   figureOf(t, r, "LLSL", "LLJE") - figureOf(t, r, "LLSL1", "LLJE1");
        f.amount += figureOf(t, r, "", "YJE").amount + figureOf(t, r, "", "KJE").amount;
        const Figure closing = figureOf(t, r, "BYSL", "BYJE");
        EXPECT_EQ(f.quantity, closing.quantity) << t.name().toStdString() << " row " << r;
        EXPECT_EQ(f.amount, closing.amount) << t.name().toStdString() << " row " << r;
    }
}

TEST_P(GeneratedBooks, TheOpeningFromAClosingEqualsTheWholeHistory)
{
    if (GetParam().materials < 10) {
        // Materials of many layers at prices in no order: their rows are searched for as well
        // as walked to.
        EXPECT_GT(db().scalar(QStringLiteral("SELECT MAX(N) FROM (SELECT COUNT(*) AS N FROM "
                                             "XJXCYJKCB GROUP BY YJID, CLBH)"))
                      .toInt(),
                  20);
    }
    const StockBalances balances(db(), mode());
    int compared = 0;
    QList<QDate> days;
    for (QDate d(2026, 1, 25); d <= Today.addDays(1); d = d.addDays(4))
        days << d;
    Query closings = db().query(QStringLiteral("SELECT YJSJ FROM YJSJB"));
    while (closings.next()) {
        const QDate d = QDate::fromString(closings.value(0).toString(), Qt::ISODate);
        days << d << d.addDays(1) << d.addDays(2);
    }
    closings.finish();
    for (const QDate &day : std::as_const(days)) {
        const auto fromClosing = balances.before(day);
        const auto fromHistory = balances.before(day, {}, StockBalances::Opening::FromHistory);
        EXPECT_TRUE(fromClosing == fromHistory) << day.toString().toStdString();
        compared += int(fromHistory.size());
    }
    EXPECT_GT(compared, 500);
}

TEST_P(GeneratedBooks, EveryRowBalancesAndTheEndAgreesWithTheStock)
{
    const QStringList units =
        QStringList{UnitColumn::TransferCode} +
        QStringList{db().scalar(QStringLiteral("SELECT MIN(BH) FROM LLDW")).toString(),
                    db().scalar(QStringLiteral("SELECT MAX(BH) FROM LLDW")).toString()};
    StockReport report(db(), mode());
    StockReportRequest request{{}, {}, StockReport::unitColumns(db(), units), {}, {}};
    int rows = 0;
    for (QDate month(2026, 2, 1); month <= Today; month = month.addMonths(1)) {
        request.from = month;
        request.to = month.addMonths(1).addDays(-1);
        const ReportTable detail = report.detail(request);
        const ReportTable summary = report.summary(request);
        expectRowsBalance(detail);
        expectRowsBalance(summary);
        rows += detail.rowCount();
    }
    EXPECT_GT(rows, 100);

    // Half a month into the middle of another, then everything up to today.
    request.from = QDate(2026, 3, 16);
    request.to = Today;
    const ReportTable detail = report.detail(request);
    expectRowsBalance(detail);
    QMap<QString, Figure> closing;
    for (int r = 0; r < detail.rowCount(); ++r) {
        if (detail.style(r) == ReportTable::RowStyle::Detail)
            closing[detail.displayText(r, 0, session->formats())] +=
                figureOf(detail, r, "BYSL", "BYJE");
    }
    const bool fifo = mode() == CostEngine::FirstInFirstOut;
    const QHash<QString, Decimal> planned = StockBalances(db(), mode()).plannedPrices();
    Query kc = db().query(QStringLiteral("SELECT CLBH, KCSL, KCJE FROM KC"));
    while (kc.next()) {
        const QString clbh = kc.value(0).toString();
        const Figure stock{Decimal::fromVariant(kc.value(1)), Decimal::fromVariant(kc.value(2))};
        EXPECT_EQ(closing.value(clbh).quantity, stock.quantity) << clbh.toStdString();
        // Under first in first out an issue line leaves the stock at its rounded cost, the
        // report at its pieces' exact cost.
        if (!fifo && !planned.contains(clbh))
            EXPECT_EQ(closing.value(clbh).amount, stock.amount) << clbh.toStdString();
        else
            EXPECT_LE((closing.value(clbh).amount - stock.amount).abs(), dec("0.05"))
                << clbh.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, GeneratedBooks,
                         ::testing::Values(Books{CostEngine::FirstInFirstOut},
                                           Books{CostEngine::MovingAverage},
                                           Books{CostEngine::FirstInFirstOut, 3, 400, 40}),
                         [](const ::testing::TestParamInfo<Books> &param) {
                             return std::string(param.param.mode == CostEngine::FirstInFirstOut
                                                    ? "FirstInFirstOut"
                                                    : "MovingAverage") +
                                    (param.param.materials < 10 ? "FewMaterials" : "");
                         });

} // namespace
} // namespace varnock
