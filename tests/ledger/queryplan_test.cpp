// The posting path must stay fast however long the books grow: no statement it runs may read a
// whole ledger table, walk a whole index or sort into a temporary tree. Checked on the plans
// SQLite chooses and on the counters of the statements as they actually ran.

#include "ledger/costengine.h"
#include "ledger/monthend.h"
#include "ledger/posting.h"
#include "store/clock.h"
#include "store/errors.h"
#include "store/formats.h"
#include "support/ledgerseed.h"
#include "support/queryplan.h"
#include "support/testaccountset.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace varnock {
namespace {

using test::dec;
using test::isData;
using test::Ran;
using test::StatementRecorder;
using Family = Posting::Family;

const QString A = QStringLiteral("1001");
const QString B = QStringLiteral("1002");
const QString Purchase = QStringLiteral("采购入库");
const QString PurchaseReturn = QStringLiteral("采购退货");
const QString Requisition = QStringLiteral("1");

// Plan lines that read a whole table or index, or sort: "SCAN RKD", "SCAN KC USING INDEX …",
// "USE TEMP B-TREE FOR ORDER BY". Scans of a subquery's own rows are fine.
QStringList badPlanLines(Database &db, const QString &sql)
{
    static const QRegularExpression scan(QStringLiteral("^SCAN (?!SUBQUERY|CONSTANT ROW|\\()"));
    QStringList bad;
    for (const QString &detail : test::queryPlan(db, sql)) {
        if (scan.match(detail).hasMatch() || detail.contains(QLatin1String("TEMP B-TREE")) ||
            detail.contains(QLatin1String("AUTOMATIC")))
            bad.append(detail);
    }
    return bad;
}

QString planOf(Database &db, const QString &sql)
{
    return test::queryPlan(db, sql).join(QLatin1Char('\n'));
}

class QueryPlanTest : public ::testing::TestWithParam<int>
{
protected:
    QueryPlanTest()
        : seed(set.db())
        , mode(GetParam())
        , recorder(set.db())
    {
        set.setMode(mode);
        set.addMaterial(A, QStringLiteral("钢筋"));
        set.addMaterial(B, QStringLiteral("铁丝"));
        set.addSupplier(QStringLiteral("G1"), QStringLiteral("第一建材"));
        set.addUnit(QStringLiteral("U1"), QStringLiteral("一工区"));
        Clock::setToday(QDate(2026, 1, 20));
    }
    ~QueryPlanTest() override { Clock::setToday(std::nullopt); }

    bool fifo() const { return mode == CostEngine::FirstInFirstOut; }
    Posting posting() { return Posting(set.db(), mode, formats); }

    // An issue line priced at entry under moving average; first in first out prices it at
    // posting.
    qint64 issueLine(qint64 xtbh, const QString &clbh, const char *quantity)
    {
        if (fifo())
            return seed.issue(xtbh, clbh, dec(quantity));
        const CostEngine::IssuePrice p =
            CostEngine(set.db(), mode, formats).priceIssueLine(clbh, dec(quantity));
        return seed.issue(xtbh, clbh, dec(quantity), p.unitPrice, p.amount);
    }

    void post(Family family, const QString &kind, qint64 xtbh)
    {
        try {
            recorder.run([&] { posting().post(family, kind, xtbh); });
        } catch (const Refusal &r) {
            ADD_FAILURE() << "voucher " << xtbh << " refused: " << r.text.toStdString();
        }
    }

    test::TestAccountSet set;
    test::LedgerSeed seed;
    int mode;
    Formats formats;
    StatementRecorder recorder;
};

TEST_P(QueryPlanTest, PostingReadsOnlyWhatItsVoucherTouches)
{
    // Opening layers, then receipts in several vouchers, so that the books hold more than one
    // layer of each kind and every walk of the allocation has somewhere to go.
    seed.opening(A, dec("10"), dec("100.00"));
    seed.opening(B, dec("4"), dec("48.00"));
    if (fifo())
        seed.opening(A, dec("6"), dec("66.00"));
    qint64 xtbh = 0;
    QList<qint64> receipts;
    for (int v = 1; v <= 4; ++v) {
        xtbh = v;
        receipts.append(seed.receipt(xtbh, A, dec("5"), dec("55.00")));
        seed.receipt(xtbh, B, dec("3"), dec("36.00"));
        post(Family::StockIn, Purchase, xtbh);
    }
    // The whole list, as the post-all button runs it.
    seed.receipt(5, A, dec("2"), dec("22.00"));
    recorder.run([&] { posting().postAll(Family::StockIn, Purchase); });

    // A return against a receipt layer.
    seed.stockReturn(1, receipts.first(), A, dec("1"), dec("11.00"));
    post(Family::StockInReturn, PurchaseReturn, 1);

    // Issues: the first one crosses from the opening layers into the receipts, the next ones
    // start at the newest piece and cross into the following layer.
    const qint64 first = issueLine(1, A, "12");
    issueLine(1, B, "5");
    post(Family::Issue, Requisition, 1);
    issueLine(2, A, "9");
    post(Family::Issue, Requisition, 2);
    const qint64 third = issueLine(3, A, "4");
    post(Family::Issue, Requisition, 3);

    // A reversed issue gives its pieces back behind the newest piece; an issue that runs past
    // the last layer ahead walks back to them.
    seed.reverseIssueLine(third, mode);
    issueLine(10, A, "9");
    post(Family::Issue, Requisition, 10);

    // An issue return: back into stock, and under first in first out a new receipt layer.
    seed.issueReturn(1, first, A, dec("2"), dec("10.00"), dec("20.00"));
    recorder.run([&] { posting().postAll(Family::IssueReturn, Requisition); });
    issueLine(11, A, "3");
    post(Family::Issue, Requisition, 11);

    test::expectBooksBalance(set.db(), mode, formats, true);

    int checked = 0;
    int walks = 0;
    for (const Ran &ran : recorder.statements()) {
        if (!isData(ran.sql))
            continue;
        ++checked;
        const QStringList bad = badPlanLines(set.db(), ran.sql);
        EXPECT_TRUE(bad.isEmpty())
            << ran.sql.toStdString() << "\n  " << bad.join(QStringLiteral("\n  ")).toStdString();
        // A walk over a material's layers from a given layer on starts there, in the index.
        static const QRegularExpression walk(
            QStringLiteral("CLBH = (\\?|:\\w+) AND (\\w+\\.)?ID > (\\?|:\\w+)"));
        if (walk.match(ran.sql).hasMatch()) {
            ++walks;
            EXPECT_TRUE(
                planOf(set.db(), ran.sql)
                    .contains(QRegularExpression(QStringLiteral("CLBH=\\? AND (ID|rowid)>\\?"))))
                << ran.sql.toStdString() << "\n  " << planOf(set.db(), ran.sql).toStdString();
        }
        EXPECT_EQ(ran.sorts, 0) << "sorted: " << ran.sql.toStdString();
        EXPECT_EQ(ran.autoIndexes, 0) << "built an index: " << ran.sql.toStdString();
        EXPECT_EQ(ran.fullScanSteps, 0) << "scanned: " << ran.sql.toStdString();
    }
    EXPECT_GT(checked, fifo() ? 25 : 15);
    EXPECT_EQ(walks, fifo() ? 2 : 0);
}

TEST_P(QueryPlanTest, AClosingReadsTheMovementsSinceThePreviousClosingOnly)
{
    seed.opening(A, dec("10"), dec("100.00"));
    MonthEnd(set.db(), mode, formats).close(QDate(2026, 1, 10));
    seed.receipt(1, A, dec("5"), dec("55.00"));
    post(Family::StockIn, Purchase, 1);
    issueLine(1, A, "12");
    post(Family::Issue, Requisition, 1);

    // No table of the books is read whole but the stock table, whose snapshot the closing is,
    // and the indexes of the unposted lines, which hold none at a closing; grouping the pairs
    // sorts them. The running totals are the previous closing's and this period's.
    static const QRegularExpression scan(
        QStringLiteral("^SCAN (RKD|THD|LLD|TKD|XJXCSJB|ZWCSH|PYK|XJXCYJKCB|YJKCB|YJSJB|CLJBXXB|"
                       "YJFSB|LJXHB)"
                       "\\b(?! USING (COVERING )?INDEX \\w+_UNPOSTED)"));
    StatementRecorder closing(set.db());
    closing.run([&] { MonthEnd(set.db(), mode, formats).close(QDate(2026, 1, 31)); });
    int checked = 0;
    for (const Ran &ran : closing.statements()) {
        if (!isData(ran.sql))
            continue;
        ++checked;
        for (const QString &detail : test::queryPlan(set.db(), ran.sql)) {
            EXPECT_FALSE(scan.match(detail).hasMatch())
                << ran.sql.toStdString() << "\n  " << detail.toStdString();
        }
        EXPECT_EQ(ran.autoIndexes, 0) << "built an index: " << ran.sql.toStdString();
    }
    EXPECT_GT(checked, 5);
    int totals = 0;
    for (const Ran &ran : closing.statements())
        totals += ran.sql.contains(QLatin1String("FROM LJXHB WHERE YJID")) ? 1 : 0;
    EXPECT_EQ(totals, 2); // the previous closing's read, this one's emptied
    test::expectBooksBalance(set.db(), mode, formats, true);
}

INSTANTIATE_TEST_SUITE_P(Modes, QueryPlanTest,
                         ::testing::Values(CostEngine::FirstInFirstOut, CostEngine::MovingAverage),
                         [](const ::testing::TestParamInfo<int> &param) {
                             return param.param == CostEngine::FirstInFirstOut
                                        ? std::string("FirstInFirstOut")
                                        : std::string("MovingAverage");
                         });

} // namespace
} // namespace varnock
