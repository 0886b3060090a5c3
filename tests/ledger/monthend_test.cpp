#include "ledger/monthend.h"

#include "ledger/costengine.h"
#include "ledger/posting.h"
#include "store/clock.h"
#include "store/errors.h"
#include "support/ledgerseed.h"
#include "support/testaccountset.h"

#include <QSqlQuery>

#include <gtest/gtest.h>

namespace varnock {
namespace {

using test::dec;
using Kind = MonthEnd::Step::Kind;

const QString A = QStringLiteral("1001");
const QString B = QStringLiteral("1002");
const QString Confirm = QStringLiteral("月结代表封存本月账目，对本月的账目只得查看不得进行修改。\n"
                                       "月结时间是根据系统时间来确定的。\n"
                                       "您确认要进行月结吗？");
const QString TooSoon = QStringLiteral("两次月结时间间隔没有超过28天，你确实要做月结吗？");

class MonthEndTest : public ::testing::TestWithParam<int>
{
protected:
    MonthEndTest()
        : seed(set.db())
        , mode(GetParam())
    {
        set.setMode(mode);
        set.addMaterial(A, QStringLiteral("钢筋"));
        set.addMaterial(B, QStringLiteral("铁丝"));
        set.addSupplier(QStringLiteral("G1"), QStringLiteral("第一建材"));
        set.addUnit(QStringLiteral("U1"), QStringLiteral("一工区"));
        // Vouchers are seeded on 2026-01-15 and posted a few days later.
        Clock::setToday(QDate(2026, 1, 20));
    }

    void TearDown() override
    {
        Clock::setToday(std::nullopt);
        test::expectBooksBalance(set.db(), mode, formats);
    }

    MonthEnd monthEnd() { return MonthEnd(set.db(), mode, formats); }
    Posting posting() { return Posting(set.db(), mode, formats); }

    // The texts of the steps, prefixed "?" for a question and "!" for a refusal.
    QStringList steps(const QDate &today)
    {
        QStringList out;
        for (const MonthEnd::Step &s : monthEnd().checks(today))
            out << (s.kind == Kind::Question ? QStringLiteral("?") : QStringLiteral("!")) + s.text;
        return out;
    }

    int rows(const char *table)
    {
        return set.db()
            .scalar(QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(table)))
            .toInt();
    }

    void expectClosingWritesNothing(const QDate &today, const QString &text)
    {
        const int closings = rows("YJSJB");
        const int stock = rows("YJKCB");
        const int layers = rows("XJXCYJKCB");
        try {
            monthEnd().close(today);
            ADD_FAILURE() << "closing not refused";
        } catch (const Refusal &r) {
            EXPECT_EQ(r.text, text);
        }
        EXPECT_EQ(rows("YJSJB"), closings);
        EXPECT_EQ(rows("YJKCB"), stock);
        EXPECT_EQ(rows("XJXCYJKCB"), layers);
    }

    test::TestAccountSet set;
    test::LedgerSeed seed;
    int mode;
    Formats formats;
};

TEST_P(MonthEndTest, QuestionsAndTheTwentyEightDayRule)
{
    seed.opening(A, dec("10"), dec("100.00"));
    EXPECT_EQ(steps(QDate(2026, 1, 31)), QStringList({QStringLiteral("?") + Confirm}));
    EXPECT_EQ(monthEnd().close(QDate(2026, 1, 31)), 1);

    // Same day: refused with its own message, before anything is asked.
    const QList<MonthEnd::Step> again = monthEnd().checks(QDate(2026, 1, 31));
    ASSERT_EQ(again.size(), 1);
    EXPECT_EQ(again[0].kind, Kind::Refusal);
    EXPECT_EQ(again[0].title, QStringLiteral("提示窗口！！！"));
    EXPECT_EQ(again[0].text, QStringLiteral("今天已经做过月结，不能再做！"));
    expectClosingWritesNothing(QDate(2026, 1, 31), QStringLiteral("今天已经做过月结，不能再做！"));

    // A clock set back before the latest closing cannot close.
    EXPECT_EQ(steps(QDate(2026, 1, 30)),
              QStringList({QStringLiteral("!月结时间应大于做出入库时间")}));

    // 28 days apart asks once more; 29 days does not.
    EXPECT_EQ(steps(QDate(2026, 2, 28)),
              QStringList({QStringLiteral("?") + Confirm, QStringLiteral("?") + TooSoon}));
    EXPECT_EQ(steps(QDate(2026, 3, 1)), QStringList({QStringLiteral("?") + Confirm}));
    EXPECT_EQ(steps(QDate(2026, 2, 1)),
              QStringList({QStringLiteral("?") + Confirm, QStringLiteral("?") + TooSoon}));

    EXPECT_EQ(monthEnd().close(QDate(2026, 3, 1)), 2);
    EXPECT_EQ(set.db().scalar(QStringLiteral("SELECT YJSJ FROM YJSJB WHERE YJID = 2")).toString(),
              QStringLiteral("2026-03-01"));
}

TEST_P(MonthEndTest, ActivityOnOrAfterTheClosingDayRefuses)
{
    seed.receipt(1, A, dec("5"), dec("50.00"));
    posting().post(Posting::Family::StockIn, QStringLiteral("采购入库"), 1);
    set.db().exec(QStringLiteral("UPDATE RKD SET CZRQ = '2026-02-10'"));
    for (const QDate &day : {QDate(2026, 2, 10), QDate(2026, 2, 9)}) {
        const QList<MonthEnd::Step> s = monthEnd().checks(day);
        ASSERT_EQ(s.size(), 1);
        EXPECT_EQ(s[0].kind, Kind::Refusal);
        EXPECT_EQ(s[0].title, QStringLiteral("警告"));
        EXPECT_EQ(s[0].text, QStringLiteral("月结时间应大于做出入库时间"));
        EXPECT_EQ(s[0].icon, Refusal::Icon::Critical);
        expectClosingWritesNothing(day, QStringLiteral("月结时间应大于做出入库时间"));
    }
    // A count row counts as activity too.
    set.db().exec(QStringLiteral("INSERT INTO PYK (CLBH, RQ, PDSL, PDJE, PDDJ) "
                                 "VALUES (?, '2026-02-12', 0, 0, 0)"),
                  {A});
    EXPECT_EQ(monthEnd().checks(QDate(2026, 2, 11)).size(), 1);
    EXPECT_EQ(steps(QDate(2026, 2, 13)), QStringList({QStringLiteral("?") + Confirm}));
    // So do returns either way and amount adjustments: each is in the stock a closing
    // freezes, and a report reading on from the closing would count it a second time.
    const std::pair<const char *, QDate> later[] = {
        {"INSERT INTO THD (XTBH, CLBH, CZRQ, JZBZ) VALUES (1, ?, '2026-02-14', 1)",
         QDate(2026, 2, 14)},
        {"INSERT INTO TKD (XTBH, CLBH, CZRQ, JZBZ) VALUES (1, ?, '2026-02-15', 1)",
         QDate(2026, 2, 15)},
        {"INSERT INTO CLKVMT (CLBH, CZRQ, JE) VALUES (?, '2026-02-16', 0)", QDate(2026, 2, 16)}};
    for (const auto &[sql, dated] : later) {
        set.db().exec(QString::fromLatin1(sql), {A});
        EXPECT_EQ(steps(dated), QStringList({QStringLiteral("!月结时间应大于做出入库时间")}));
        EXPECT_EQ(steps(dated.addDays(1)), QStringList({QStringLiteral("?") + Confirm}));
    }
}

TEST_P(MonthEndTest, UnpostedLinesRefuseInTheirOrder)
{
    seed.opening(A, dec("10"), dec("100.00"));
    const qint64 r = seed.receipt(1, A, dec("5"), dec("50.00"));
    seed.stockReturn(1, r, A, dec("1"), dec("10.00"));
    const qint64 l = seed.issue(1, A, dec("1"), dec("10.00"), dec("10.00"));
    seed.issueReturn(1, l, A, dec("1"), dec("10.00"), dec("10.00"));
    const QDate day(2026, 2, 1);
    const QStringList messages = {QStringLiteral("入库数据还有未登帐数据，不能月结！"),
                                  QStringLiteral("入库退货数据还有未登帐数据，不能月结！"),
                                  QStringLiteral("出库数据还有未登帐数据，不能月结！"),
                                  QStringLiteral("出库退货数据还有未登帐数据，不能月结！")};
    const char *tables[] = {"RKD", "THD", "LLD", "TKD"};
    for (int i = 0; i < 4; ++i) {
        // Asked first, refused after the questions.
        EXPECT_EQ(steps(day),
                  QStringList({QStringLiteral("?") + Confirm, QStringLiteral("!") + messages[i]}));
        expectClosingWritesNothing(day, messages[i]);
        set.db().exec(QStringLiteral("DELETE FROM %1").arg(QLatin1String(tables[i])));
    }
    EXPECT_EQ(monthEnd().close(day), 1);
}

TEST_P(MonthEndTest, ClosingFreezesStockAndUnderFifoItsLayers)
{
    seed.opening(A, dec("10"), dec("100.00"));
    seed.receipt(1, A, dec("5"), dec("60.00"));
    seed.receipt(1, B, dec("2"), dec("7.00"));
    posting().post(Posting::Family::StockIn, QStringLiteral("采购入库"), 1);
    const bool fifo = mode == CostEngine::FirstInFirstOut;
    const qint64 line = fifo ? seed.issue(1, A, dec("12"))
                             : seed.issue(1, A, dec("12"), dec("10.67"), dec("128.04"));
    posting().post(Posting::Family::Issue, QStringLiteral("1"), 1);
    seed.issueReturn(1, line, A, dec("1"), dec("10.00"), dec("10.00"));
    posting().post(Posting::Family::IssueReturn, QStringLiteral("1"), 1);

    QList<int> done;
    int totalSeen = 0;
    const int yjid = monthEnd().close(QDate(2026, 1, 31), [&](int d, int total, const QString &) {
        done.append(d);
        totalSeen = total;
    });
    EXPECT_EQ(yjid, 1);
    ASSERT_FALSE(done.isEmpty());
    EXPECT_EQ(done.last(), totalSeen);
    EXPECT_TRUE(std::is_sorted(done.begin(), done.end()));

    // YJKCB is KC at the closing, row for row.
    EXPECT_EQ(
        set.db()
            .scalar(QStringLiteral("SELECT COUNT(*) FROM KC K JOIN YJKCB Y ON Y.CLBH = K.CLBH "
                                   "AND Y.JCSL = K.KCSL AND Y.JCJE = K.KCJE WHERE Y.YJID = 1"))
            .toInt(),
        2);
    EXPECT_EQ(rows("YJKCB"), 2);

    QStringList layers;
    QSqlQuery q = set.db().exec(QStringLiteral("SELECT CLBH, JCDJ, JCSL, JCJE FROM XJXCYJKCB "
                                               "WHERE YJID = 1 ORDER BY CLBH, JCDJ"));
    while (q.next()) {
        layers << QStringLiteral("%1 %2 %3 %4")
                      .arg(q.value(0).toString(), Decimal::fromVariant(q.value(1)).toString(),
                           Decimal::fromVariant(q.value(2)).toString(),
                           Decimal::fromVariant(q.value(3)).toString());
    }
    if (fifo) {
        // Opening layer at 10 used up and one piece back from the return; 3 left at 12.
        EXPECT_EQ(layers,
                  QStringList({QStringLiteral("1001 10 1 10"), QStringLiteral("1001 12 3 36"),
                               QStringLiteral("1002 3.5 2 7")}));
        EXPECT_EQ(seed.kc(A).quantity, dec("4"));
        EXPECT_EQ(seed.kc(A).amount, dec("46.00"));
    } else {
        EXPECT_TRUE(layers.isEmpty());
    }
    EXPECT_EQ(monthEnd().finished().text, QStringLiteral("月结结束！！！"));
}

INSTANTIATE_TEST_SUITE_P(Modes, MonthEndTest,
                         ::testing::Values(CostEngine::FirstInFirstOut, CostEngine::MovingAverage),
                         [](const ::testing::TestParamInfo<int> &param) {
                             return param.param == CostEngine::FirstInFirstOut
                                        ? std::string("FirstInFirstOut")
                                        : std::string("MovingAverage");
                         });

} // namespace
} // namespace varnock
