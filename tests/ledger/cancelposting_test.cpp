#include "ledger/cancelposting.h"

#include "ledger/bookswipe.h"
#include "ledger/costengine.h"
#include "ledger/monthend.h"
#include "ledger/posting.h"
#include "shell/backups.h"
#include "shell/operators.h"
#include "store/clock.h"
#include "store/errors.h"
#include "support/ledgerseed.h"
#include "support/testaccountset.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>

#include <gtest/gtest.h>

namespace varnock {
namespace {

using test::dec;
using Family = Posting::Family;

const QString A = QStringLiteral("1001");
const QString B = QStringLiteral("1002");
const QString Purchase = QStringLiteral("采购入库");

// Moving-average books: January's business closed on 2026-01-31, then February's posted.
class CancelPostingTest : public ::testing::Test
{
protected:
    CancelPostingTest()
        : seed(set.db())
    {
        set.setMode(CostEngine::MovingAverage);
        set.addMaterial(A, QStringLiteral("钢筋"));
        set.addMaterial(B, QStringLiteral("铁丝"));
        set.addSupplier(QStringLiteral("G1"), QStringLiteral("第一建材"));
        set.addUnit(QStringLiteral("U1"), QStringLiteral("一工区"));
        seed.opening(A, dec("10"), dec("100"));
        seed.opening(B, dec("4"), dec("10"));
        Clock::setToday(QDate(2026, 2, 10));
    }

    void TearDown() override
    {
        Clock::setToday(std::nullopt);
        test::expectBooksBalance(set.db(), CostEngine::MovingAverage, formats);
    }

    Posting posting() { return Posting(set.db(), CostEngine::MovingAverage, formats); }

    void receive(qint64 xtbh, const QString &clbh, const char *q, const char *a, const char *date)
    {
        const qint64 id = seed.receipt(xtbh, clbh, dec(q), dec(a));
        set.db().exec(QStringLiteral("UPDATE RKD SET CZRQ = ? WHERE ID = ?"),
                      {QString::fromLatin1(date), id});
        posting().post(Family::StockIn, Purchase, xtbh);
    }

    void issue(qint64 xtbh, const QString &clbh, const char *q, const char *date)
    {
        const CostEngine::IssuePrice price =
            CostEngine(set.db(), CostEngine::MovingAverage, formats).priceIssueLine(clbh, dec(q));
        const qint64 id = seed.issue(xtbh, clbh, dec(q), price.unitPrice, price.amount);
        set.db().exec(QStringLiteral("UPDATE LLD SET CZRQ = ? WHERE ID = ?"),
                      {QString::fromLatin1(date), id});
        posting().post(Family::Issue, QStringLiteral("1"), xtbh);
    }

    // A count difference booked on `date`, as the stock count books it.
    void count(const QString &clbh, const char *q, const char *a, const char *date)
    {
        set.db().exec(QStringLiteral("INSERT INTO PYK (CLBH, RQ, PDSL, PDJE) VALUES (?, ?, ?, ?)"),
                      {clbh, QString::fromLatin1(date), dec(q).toVariant(), dec(a).toVariant()});
        set.db().exec(QStringLiteral("UPDATE KC SET KCSL = KCSL + ?, KCJE = KCJE + ? "
                                     "WHERE CLBH = ?"),
                      {dec(q).toVariant(), dec(a).toVariant(), clbh});
    }

    void adjust(const QString &clbh, const char *amount, const char *date)
    {
        set.db().exec(
            QStringLiteral("INSERT INTO CLKVMT (CLBH, CZRQ, JE, BZ) VALUES (?, ?, ?, '')"),
            {clbh, QString::fromLatin1(date), dec(amount).toVariant()});
        set.db().exec(QStringLiteral("UPDATE KC SET KCJE = KCJE + ? WHERE CLBH = ?"),
                      {dec(amount).toVariant(), clbh});
    }

    int number(const QString &sql) { return set.db().scalar(sql).toInt(); }

    test::TestAccountSet set;
    test::LedgerSeed seed;
    Formats formats;
};

TEST_F(CancelPostingTest, ReturnsTheBooksToTheLatestClosing)
{
    receive(1, A, "5", "60", "2026-01-10");
    count(B, "-1", "-2.5", "2026-01-20");
    adjust(A, "-10", "2026-01-25");
    MonthEnd(set.db(), CostEngine::MovingAverage, formats).close(QDate(2026, 1, 31));
    set.db().exec(QStringLiteral("INSERT INTO CLJH (CLBH, CZRQ, SL) VALUES (?, '2026-02-01', ?)"),
                  {A, dec("30").toVariant()});

    receive(2, A, "10", "150", "2026-02-03");
    receive(3, B, "2", "6", "2026-02-03");
    issue(4, A, "6", "2026-02-04");
    count(A, "1", "12", "2026-02-05");
    adjust(B, "3", "2026-02-06");

    CancelPosting cancel(set.db(), CostEngine::MovingAverage);
    ASSERT_EQ(cancel.steps().size(), 1);
    EXPECT_EQ(cancel.steps().first().text,
              QStringLiteral("账务将恢复到月初状态！您确定要进行吗？"));
    EXPECT_EQ(cancel.cancel(), 1);

    // KC is the closing's stock, plus the adjustment made since.
    QSqlQuery q = set.db().exec(QStringLiteral("SELECT K.CLBH, K.KCSL - Y.JCSL, K.KCJE - Y.JCJE "
                                               "FROM KC K JOIN YJKCB Y ON Y.CLBH = K.CLBH "
                                               "AND Y.YJID = 1 ORDER BY K.CLBH"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(Decimal::fromVariant(q.value(1)), Decimal());
    EXPECT_EQ(Decimal::fromVariant(q.value(2)), Decimal());
    ASSERT_TRUE(q.next());
    EXPECT_EQ(Decimal::fromVariant(q.value(1)), Decimal());
    EXPECT_EQ(Decimal::fromVariant(q.value(2)), dec("3"));
    q.finish();
    EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM KC")), 2);

    for (const char *table : {"RKD", "LLD"}) {
        EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE JZBZ <> 0 AND CZRQ >= "
                                        "'2026-01-31'")
                             .arg(QLatin1String(table))),
                  0);
    }
    EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM RKD WHERE JZBZ <> 0")), 1);
    // The closed month's count stays, the open month's goes; plans stay.
    EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM PYK")), 1);
    EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM CLJH")), 1);
    test::expectBooksBalance(set.db(), CostEngine::MovingAverage, formats);

    // The month's vouchers post again.
    for (qint64 xtbh : {2, 3})
        posting().post(Family::StockIn, Purchase, xtbh);
    posting().post(Family::Issue, QStringLiteral("1"), 4);
}

TEST_F(CancelPostingTest, TheClosedPeriodsSumsStayAsTheClosingWroteThem)
{
    const auto sums = [this] {
        QStringList rows;
        QSqlQuery q = set.db().exec(QStringLiteral("SELECT YJID, CLBH, LX, ZL, LLDWBH, FSSL, FSJE "
                                                   "FROM YJFSB ORDER BY YJID, CLBH, LX"));
        while (q.next()) {
            QStringList cells;
            for (int i = 0; i < 7; ++i)
                cells << q.value(i).toString();
            rows << cells.join(QLatin1Char('|'));
        }
        return rows;
    };
    receive(1, A, "5", "60", "2026-01-10");
    issue(2, A, "2", "2026-01-12");
    count(B, "-1", "-2.5", "2026-01-20");
    adjust(A, "-10", "2026-01-25");
    MonthEnd(set.db(), CostEngine::MovingAverage, formats).close(QDate(2026, 1, 31));
    const QStringList written = sums();
    EXPECT_EQ(written.size(), 4);
    // The running total of the issues as well.
    const auto totals = [this] {
        return set.db()
            .scalar(QStringLiteral("SELECT GROUP_CONCAT(CLBH || '|' || LJSL || '|' || LJJE) "
                                   "FROM LJXHB"))
            .toString();
    };
    const QString issued = totals();
    EXPECT_EQ(
        issued,
        QStringLiteral("%1|20000|%2").arg(A).arg(number(QStringLiteral("SELECT SJJE FROM LLD"))));

    receive(3, A, "10", "150", "2026-02-03");
    issue(4, A, "6", "2026-02-04");
    CancelPosting(set.db(), CostEngine::MovingAverage).cancel();
    EXPECT_EQ(sums(), written);
    EXPECT_EQ(totals(), issued);
    posting().post(Family::StockIn, Purchase, 3);
    posting().post(Family::Issue, QStringLiteral("1"), 4);
    EXPECT_EQ(sums(), written);
    EXPECT_EQ(totals(), issued);
}

TEST_F(CancelPostingTest, RefusedWithoutClosingAndUnderFirstInFirstOut)
{
    const auto refusal = [](const QList<OperationStep> &steps) {
        return steps.size() == 1 && steps.first().isRefusal() ? steps.first().text : QString();
    };
    EXPECT_EQ(refusal(CancelPosting(set.db(), CostEngine::MovingAverage).steps()),
              QStringLiteral("尚未做过月结，不能取消记账！"));
    MonthEnd(set.db(), CostEngine::MovingAverage, formats).close(QDate(2026, 1, 31));
    EXPECT_EQ(refusal(CancelPosting(set.db(), CostEngine::FirstInFirstOut).steps()),
              QStringLiteral("先进先出核算方式不能取消记账！"));
    EXPECT_THROW(CancelPosting(set.db(), CostEngine::FirstInFirstOut).cancel(), Refusal);
    EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM KC")), 2);
}

TEST_F(CancelPostingTest, ClosingsListTheirPeriods)
{
    MonthEnd(set.db(), CostEngine::MovingAverage, formats).close(QDate(2026, 1, 31));
    MonthEnd(set.db(), CostEngine::MovingAverage, formats).close(QDate(2026, 2, 28));
    const PostingGrid grid = CancelPosting(set.db(), CostEngine::MovingAverage).closings();
    EXPECT_EQ(grid.keys, (QList<qint64>{1, 2}));
    EXPECT_EQ(grid.rows.at(0),
              (QStringList{QStringLiteral("1"), QString(), QStringLiteral("2026-01-31")}));
    EXPECT_EQ(grid.rows.at(1), (QStringList{QStringLiteral("2"), QStringLiteral("2026-02-01"),
                                            QStringLiteral("2026-02-28")}));
}

class BooksWipeTest : public CancelPostingTest
{
protected:
    BooksWipeTest()
    {
        Operators(set.db()).add(1, QStringLiteral("管理员"), QString(), QStringLiteral("secret"),
                                Permissions::all());
        receive(1, A, "5", "60", "2026-01-10");
        MonthEnd(set.db(), CostEngine::MovingAverage, formats).close(QDate(2026, 1, 31));
        issue(2, A, "3", "2026-02-04");
        adjust(A, "-1", "2026-02-05");
        set.db().exec(QStringLiteral("INSERT INTO CZRZ (CZY, RQ, CZXX) VALUES ('1', "
                                     "'2026-02-05', '入库单登账')"));
    }

    QString snapshotPath() const
    {
        return QDir(set.folder()).filePath(QStringLiteral("BackUp/copy.db"));
    }
};

TEST_F(BooksWipeTest, WrongPasswordWipesNothing)
{
    try {
        BooksWipe(set.db()).wipe(1, QStringLiteral("wrong"), snapshotPath());
        ADD_FAILURE() << "wrong password accepted";
    } catch (const Refusal &r) {
        EXPECT_EQ(r.text, QStringLiteral("密码错误！，不允许销账！！！"));
    }
    EXPECT_FALSE(QFileInfo::exists(snapshotPath()));
    EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM RKD")), 1);
}

TEST_F(BooksWipeTest, TheClosingsGoWithTheirRunningTotals)
{
    MonthEnd(set.db(), CostEngine::MovingAverage, formats).close(QDate(2026, 2, 28));
    EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM LJXHB WHERE YJID = 2")), 1);
    BooksWipe(set.db()).wipe(1, QStringLiteral("secret"), snapshotPath());
    EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM YJSJB")), 0);
    EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM LJXHB")), 0);
}

TEST_F(BooksWipeTest, SnapshotHoldsTheBooksThatAreWiped)
{
    BooksWipe(set.db()).wipe(1, QStringLiteral(" secret "), snapshotPath());

    for (const QString &table : BooksWipe::tables())
        EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)), 0)
            << table.toStdString();
    EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM CLJBXXB")), 2);
    EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM GYS")), 1);
    EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM LLDW")), 1);
    EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM CZY")), 1);
    EXPECT_FALSE(QFileInfo::exists(snapshotPath() + QStringLiteral(".part")));

    Database copy(snapshotPath(), Database::Access::ReadOnly);
    EXPECT_EQ(copy.scalar(QStringLiteral("SELECT COUNT(*) FROM RKD")).toInt(), 1);
    EXPECT_EQ(copy.scalar(QStringLiteral("SELECT COUNT(*) FROM LLD")).toInt(), 1);
    EXPECT_EQ(copy.scalar(QStringLiteral("SELECT COUNT(*) FROM YJSJB")).toInt(), 1);
    EXPECT_EQ(copy.scalar(QStringLiteral("SELECT COUNT(*) FROM YJFSB")).toInt(), 1);
    EXPECT_EQ(copy.scalar(QStringLiteral("SELECT COUNT(*) FROM CZRZ")).toInt(), 1);
    EXPECT_EQ(Decimal::fromVariant(
                  copy.scalar(QStringLiteral("SELECT KCSL FROM KC WHERE CLBH = ?"), {A})),
              dec("12"));
    test::expectBooksBalance(copy, CostEngine::MovingAverage, formats);
}

} // namespace
} // namespace varnock
