// The movement sums each closing stores: the stock balances read closed periods from them and
// must give, cent for cent, what reading the lines gives; older files without them read right
// and get them when next opened for business; the checker sees a sum that was tampered with.

#include "ledger/closingsums.h"

#include "cli/demogenerator.h"
#include "ledger/costengine.h"
#include "ledger/directdeliveries.h"
#include "ledger/invariantchecker.h"
#include "ledger/issuetotals.h"
#include "ledger/monthend.h"
#include "ledger/reversal.h"
#include "ledger/stockcount.h"
#include "reports/statisticmovements.h"
#include "reports/statistics.h"
#include "reports/stockbalances.h"
#include "reports/stockreport.h"
#include "shell/accountsets.h"
#include "shell/accountsetsession.h"
#include "shell/datafolder.h"
#include "shell/masterdatabase.h"
#include "store/clock.h"
#include "store/schema.h"
#include "support/ledgerseed.h"
#include "support/postedbooks.h"
#include "support/queryplan.h"
#include "vouchers/directvouchers.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

namespace varnock {
namespace {

using test::dec;
using Rows = std::map<StockBalances::Key, StockFigures>;

const QDate Today(2026, 6, 17);

std::string text(const Figure &f)
{
    return (f.quantity.toString() + QStringLiteral("/") + f.amount.toString()).toStdString();
}

// Every figure of every row, one line each: equal texts are equal rows.
std::string describe(const Rows &rows)
{
    std::ostringstream out;
    for (const auto &[key, f] : rows) {
        out << key.first.toStdString() << ' ' << (key.second ? *key.second : -1) << ": "
            << text(f.opening) << ' ' << text(f.receipts) << ' ' << text(f.units[0]) << ' '
            << text(f.units[1]) << ' ' << text(f.units[2]) << ' ' << text(f.issues) << ' '
            << text(f.transfers) << ' ' << text(f.counts) << ' '
            << f.raised.toString().toStdString() << ' ' << f.lowered.toString().toStdString()
            << '\n';
    }
    return out.str();
}

// Generated books of several closed months, then a month with what the generator leaves out
// (issue returns, count differences both ways, amount adjustments both ways, a reversal, a
// direct delivery) closed as well, a closing with nothing in its period, and an open period with
// more of it.
class ClosingSumsTest : public ::testing::TestWithParam<int>
{
protected:
    ClosingSumsTest()
        : folder(dir.path())
    {
        cli::DemoGenerator::Options o;
        o.materials = 30;
        o.months = 4;
        o.stockInLines = 200;
        o.issueLines = 240;
        o.units = 4;
        o.mode = GetParam();
        o.batchSize = 50;
        master = MasterDatabase::ensure(folder);
        NewAccountSet r;
        r.number = 1;
        r.name = QStringLiteral("月结发生账套");
        r.password = QStringLiteral("p");
        const QDate first = cli::DemoGenerator::openingClosing(Today, o.months);
        r.date = QDate(first.year(), first.month(), 1);
        r.mode = o.mode;
        AccountSets(*master, folder).create(r);
        open();
        cli::DemoGenerator(db(), session->formats(), o)
            .run(Today, [this](const QString &, const std::function<void()> &work) {
                Transaction tx(db());
                work();
                tx.commit();
            });

        // A material carried at a planned price: every closed period's history of it, read
        // from the sums or from the lines, is valued at plan.
        db().exec(QStringLiteral("UPDATE CLJBXXB SET JJFS = 1, JHDJ = 33000 WHERE CLBH = "
                                 "(SELECT MIN(CLBH) FROM KC WHERE KCSL > 0)"));
        addTheRest("2026-06-18");
        MonthEnd(db(), GetParam(), session->formats()).close(QDate(2026, 6, 25));
        MonthEnd(db(), GetParam(), session->formats()).close(QDate(2026, 7, 31));
        addTheRest("2026-08-03");
        Clock::setToday(QDate(2026, 8, 10));
    }
    ~ClosingSumsTest() override { Clock::setToday(std::nullopt); }

    void open()
    {
        session.reset();
        session = std::make_unique<AccountSetSession>(folder, *master, 1);
    }
    Database &db() { return session->database(); }
    int mode() const { return GetParam(); }

    QString code(const char *sql) { return db().scalar(QLatin1String(sql)).toString(); }

    // An issue return, count differences both ways, adjustments both ways, a direct delivery
    // (one of its materials at a planned price) and a reversed issue, dated from `day` on.
    void addTheRest(const char *day)
    {
        const QDate from = QDate::fromString(QLatin1String(day), Qt::ISODate);
        Clock::setToday(from);
        const qint64 last = db().scalar(QStringLiteral("SELECT MAX(M) FROM (SELECT MAX(XTBH) AS M "
                                                       "FROM LLD UNION ALL SELECT MAX(XTBH) "
                                                       "FROM TKD)"))
                                .toLongLong();
        test::PostedBooks books(db(), mode(), last);
        const qint64 issued =
            db().scalar(QStringLiteral("SELECT MAX(ID) FROM LLD WHERE ZL = '1' "
                                       "AND JZBZ <> 0 AND CZBZ = 0 AND SJSL >= 2"))
                .toLongLong();
        books.takeBack(day, issued, "1");
        const QString clbh = code("SELECT CLBH FROM CLJBXXB WHERE SFMJ <> 0 ORDER BY CLBH DESC");
        const qint64 received = books.receive(day, clbh, "5", "52.50");
        books.giveBack(day, received, clbh, "1", "10.50");

        const QString plenty = code("SELECT CLBH FROM KC WHERE KCSL > 5 ORDER BY KCSL DESC");
        const QString some = code("SELECT CLBH FROM KC WHERE KCSL > 5 ORDER BY CLBH");
        StockCount count(db(), mode(), session->formats());
        QList<StockCount::Counted> counted;
        for (const StockCount::Row &r : count.rows()) {
            if (r.clbh == plenty)
                counted.append({r.clbh, r.kcsl - dec("2"), {}});
            else if (r.clbh == some)
                counted.append({r.clbh, r.kcsl + dec("3"), dec("4.25")});
        }
        count.save(counted, from);

        test::LedgerSeed seed(db());
        seed.adjustment(some, dec("12.34"));
        seed.adjustment(plenty, dec("-5.67"));
        db().exec(QStringLiteral("UPDATE CLKVMT SET CZRQ = ? WHERE CZRQ = '2026-01-15'"),
                  {QString::fromLatin1(day)});

        const qint64 reversed =
            db().scalar(QStringLiteral("SELECT MAX(ID) FROM LLD WHERE ZL = '2' AND JZBZ <> 0 "
                                       "AND CZBZ = 0 AND THBZ = 0"))
                .toLongLong();
        Reversal(db(), mode(), session->formats()).reverseIssueLine(reversed, from.addDays(1));

        DirectVoucher direct;
        direct.czrq = from.addDays(1);
        direct.gysbh = code("SELECT MIN(BH) FROM GYS");
        direct.lldwbh = code("SELECT MAX(BH) FROM LLDW");
        direct.ysdjh = QStringLiteral("直-%1").arg(QLatin1String(day));
        direct.issueYsdjh = direct.ysdjh;
        const QString planned = code("SELECT MIN(CLBH) FROM CLJBXXB WHERE JJFS <> 0");
        for (const auto &[material, quantity, amount] :
             {std::tuple{some, "7", "80.15"}, std::tuple{planned, "3", "9.90"}}) {
            StockInLine line;
            line.clbh = material;
            line.quantity = dec(quantity);
            line.amount = dec(amount);
            line.price = session->formats().roundAmount(line.amount / line.quantity);
            direct.lines.append(line);
        }
        DirectDeliveries(db(), mode(), session->formats())
            .post(DirectVouchers(db(), mode(), session->formats()).saveNew(direct));
    }

    QList<UnitColumn> units()
    {
        return StockReport::unitColumns(db(),
                                        {code("SELECT MIN(BH) FROM LLDW"), UnitColumn::TransferCode,
                                         code("SELECT MAX(BH) FROM LLDW")});
    }

    // The same period read from the lines alone: the closings unmarked for a moment.
    Rows scanned(const QDate &from, const QDate &to, const QString &clbh = {})
    {
        Transaction tx(db());
        db().exec(QStringLiteral("UPDATE YJSJB SET FSBZ = 0"));
        return StockBalances(db(), mode()).period(from, to, units(), clbh);
    }

    QList<QDate> closingDays()
    {
        QList<QDate> days;
        Query q = db().query(QStringLiteral("SELECT YJSJ FROM YJSJB ORDER BY YJID"));
        while (q.next())
            days << QDate::fromString(q.value(0).toString(), Qt::ISODate);
        return days;
    }

    QStringList storedSums()
    {
        QStringList rows;
        Query q = db().query(QStringLiteral("SELECT YJID, CLBH, FSDJ, LX, ZL, LLDWBH, FSSL, FSJE "
                                            "FROM YJFSB"));
        while (q.next()) {
            QStringList cells;
            for (int i = 0; i < 8; ++i)
                cells << q.value(i).toString();
            rows << cells.join(QLatin1Char('|'));
        }
        rows.sort();
        return rows;
    }

    QList<InvariantBreach> breaches(InvariantBreach::Kind kind)
    {
        QList<InvariantBreach> found;
        for (const InvariantBreach &b : InvariantChecker::check(db(), mode(), session->formats())) {
            if (b.kind == kind)
                found << b;
        }
        return found;
    }
    QList<InvariantBreach> sumBreaches() { return breaches(InvariantBreach::Kind::Sums); }

    // The consumption of the periods from each closing on (to date: up to a closing's day,
    // into a closed period, into the open one), every cell.
    QStringList consumptions()
    {
        QStringList all;
        const QList<QDate> days = closingDays();
        for (int i = 0; i < days.size(); ++i) {
            for (const QDate &to : {days[i].addDays(4), days[i].addDays(20), Today.addDays(60)}) {
                const ReportTable t = Statistics(db(), mode()).consumption(days[i].addDays(1), to);
                for (int r = 0; r < t.rowCount(); ++r) {
                    for (int c = 0; c < t.columnCount(); ++c)
                        all << t.displayText(r, c, session->formats());
                }
            }
        }
        return all;
    }

    QTemporaryDir dir;
    DataFolder folder;
    std::unique_ptr<Database> master;
    std::unique_ptr<AccountSetSession> session;
};

TEST_P(ClosingSumsTest, ClosedPeriodsReadFromTheSumsEqualTheLines)
{
    const QList<QDate> days = closingDays();
    ASSERT_GE(days.size(), 5);
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT COUNT(*) FROM YJSJB WHERE FSBZ = 0")).toInt(), 0);
    // The closing after an empty period is marked and holds nothing.
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT COUNT(*) FROM YJFSB WHERE YJID = "
                                         "(SELECT MAX(YJID) FROM YJSJB)"))
                  .toInt(),
              0);
    for (int kind = 1; kind <= 7; ++kind) {
        EXPECT_GT(
            db().scalar(QStringLiteral("SELECT COUNT(*) FROM YJFSB WHERE LX = ?"), {kind}).toInt(),
            0)
            << "kind " << kind;
    }

    QList<std::pair<QDate, QDate>> ranges;
    for (int i = 0; i < days.size(); ++i) {
        for (int j = i + 1; j < days.size(); ++j) {
            ranges.append({days[i].addDays(1), days[j]});  // whole closed periods
            ranges.append({days[i], days[j].addDays(-1)}); // from and to a closing day
            ranges.append({days[i].addDays(9), days[j].addDays(3)});
        }
        ranges.append({days[i].addDays(1), Today.addDays(60)}); // into the open period
    }
    ranges.append({days.first().addDays(-20), days[1]}); // before the first closing
    ranges.append({QDate(2000, 1, 1), Today.addDays(60)});
    ranges.append({days.last().addDays(1), days.last().addDays(1)});
    ranges.append({days[2], days[2]});

    const StockBalances balances(db(), mode());
    int compared = 0;
    for (const auto &[from, to] : ranges) {
        const Rows fromSums = balances.period(from, to, units());
        const Rows fromLines = scanned(from, to);
        EXPECT_EQ(describe(fromSums), describe(fromLines))
            << from.toString(Qt::ISODate).toStdString() << " to "
            << to.toString(Qt::ISODate).toStdString();
        compared += int(fromLines.size());
    }
    EXPECT_GT(compared, 1000);

    // One material, a planned-price one among them.
    const QStringList materials = {code("SELECT MIN(CLBH) FROM YJFSB WHERE CLBH IN "
                                        "(SELECT CLBH FROM CLJBXXB WHERE JJFS <> 0)"),
                                   code("SELECT CLBH FROM YJFSB WHERE LX = 4")};
    for (const QString &clbh : materials) {
        ASSERT_FALSE(clbh.isEmpty());
        const QDate from = days[1].addDays(1);
        const Rows one = balances.period(from, Today.addDays(60), units(), clbh);
        EXPECT_FALSE(one.empty()) << clbh.toStdString();
        EXPECT_EQ(describe(one), describe(scanned(from, Today.addDays(60), clbh)));
    }

    // The reports themselves, over three closed months and the open one.
    StockReport report(db(), mode());
    StockReportRequest request{days[1].addDays(1), Today.addDays(60), units(), {}, {}};
    const auto cells = [&](const ReportTable &t) {
        QStringList all;
        for (int r = 0; r < t.rowCount(); ++r) {
            for (int c = 0; c < t.columnCount(); ++c)
                all << t.displayText(r, c, session->formats());
        }
        return all;
    };
    const QStringList detail = cells(report.detail(request));
    const QStringList summary = cells(report.summary(request));
    Transaction tx(db());
    db().exec(QStringLiteral("UPDATE YJSJB SET FSBZ = 0"));
    EXPECT_EQ(detail, cells(report.detail(request)));
    EXPECT_EQ(summary, cells(report.summary(request)));
}

TEST_P(ClosingSumsTest, AnOlderFileReadsRightAndGetsItsSumsWhenOpenedForBusiness)
{
    const QStringList written = storedSums();
    const QDate from = closingDays().at(1).addDays(1);
    const QDate to = Today.addDays(60);
    const std::string expected = describe(StockBalances(db(), mode()).period(from, to, units()));
    const QList<UnitColumn> chosen = units();

    // Back to the file as the version before the sums left it.
    db().exec(QStringLiteral("DROP TABLE YJFSB"));
    db().exec(QStringLiteral("ALTER TABLE YJSJB DROP COLUMN FSBZ"));
    db().exec(QStringLiteral("PRAGMA user_version = 9"));
    session.reset();

    {
        Database old(folder.accountSetDatabasePath(1), Database::Access::ReadOnly);
        Schema::upgrade(old);
        EXPECT_FALSE(ClosingSums::kept(old));
        EXPECT_EQ(describe(StockBalances(old, mode()).period(from, to, chosen)), expected);
        EXPECT_TRUE(ClosingSums(old, mode()).latestDifferences().isEmpty());
    }

    open();
    EXPECT_EQ(db().userVersion(), Schema::Version);
    EXPECT_EQ(storedSums(), written);
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT COUNT(*) FROM YJSJB WHERE FSBZ = 0")).toInt(), 0);
    EXPECT_EQ(describe(StockBalances(db(), mode()).period(from, to, units())), expected);
    EXPECT_EQ(ClosingSums(db(), mode()).fillMissing(), 0);
}

TEST_P(ClosingSumsTest, TheCheckerAndTheReportsSeeATamperedSum)
{
    EXPECT_TRUE(sumBreaches().isEmpty());
    const int latest = db().scalar(QStringLiteral("SELECT MAX(YJID) FROM YJSJB")).toInt();
    // The latest closing's period was empty: a row put there is caught.
    db().exec(QStringLiteral("INSERT INTO YJFSB (YJID, CLBH, FSDJ, LX, ZL, LLDWBH, FSSL, FSJE, "
                             "XH) SELECT ?, CLBH, FSDJ, LX, ZL, LLDWBH, FSSL, FSJE, XH FROM YJFSB "
                             "WHERE YJID = ? AND LX = 3 LIMIT 1"),
              {latest, latest - 1});
    const QList<InvariantBreach> added = sumBreaches();
    ASSERT_EQ(added.size(), 1);
    EXPECT_TRUE(added.first().what.contains(QLatin1String("YJFSB")))
        << added.first().what.toStdString();
    db().exec(QStringLiteral("DELETE FROM YJFSB WHERE YJID = ?"), {latest});
    EXPECT_TRUE(sumBreaches().isEmpty());

    // The closing before it: one quantity off by one, then one row gone.
    const QDate from = closingDays().at(closingDays().size() - 3).addDays(1);
    const QDate to = closingDays().last();
    const std::string right = describe(StockBalances(db(), mode()).period(from, to, units()));
    db().exec(QStringLiteral("DELETE FROM YJSJB WHERE YJID = ?"), {latest});
    db().exec(QStringLiteral("UPDATE YJFSB SET FSSL = FSSL + 10000 WHERE YJID = ? AND "
                             "(CLBH, XH) = (SELECT CLBH, XH FROM YJFSB WHERE YJID = ? AND LX = 1 "
                             "ORDER BY CLBH, XH LIMIT 1)"),
              {latest - 1, latest - 1});
    EXPECT_EQ(sumBreaches().size(), 1);
    EXPECT_NE(describe(StockBalances(db(), mode()).period(from, to, units())), right);
    db().exec(QStringLiteral("DELETE FROM YJFSB WHERE YJID = ? AND (CLBH, XH) = (SELECT CLBH, "
                             "XH FROM YJFSB WHERE YJID = ? ORDER BY CLBH DESC, XH DESC LIMIT 1)"),
              {latest - 1, latest - 1});
    EXPECT_EQ(sumBreaches().size(), 2);
}

TEST_P(ClosingSumsTest, TheStatisticsReadFromTheSumsEqualTheLines)
{
    const QList<QDate> days = closingDays();
    ASSERT_GE(days.size(), 5);
    // Direct deliveries, which the sums leave out, in a closed period and in the open one.
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT COUNT(DISTINCT CZRQ) FROM LLD WHERE ZJZC <> 0 "
                                         "AND JZBZ <> 0"))
                  .toInt(),
              2);
    const QStringList units = {code("SELECT MIN(BH) FROM LLDW"), Statistics::AllEntries,
                               code("SELECT MAX(BH) FROM LLDW")};
    const auto cells = [&](const ReportTable &t) {
        QStringList all{t.name()};
        for (int r = 0; r < t.rowCount(); ++r) {
            for (int c = 0; c < t.columnCount(); ++c)
                all << t.displayText(r, c, session->formats());
        }
        return all;
    };
    const auto statistics = [&](const QDate &from, const QDate &to) {
        Statistics s(db(), mode());
        QStringList all;
        for (const Movement m : {Movement::Receipts, Movement::Issues, Movement::TransfersOut,
                                 Movement::TransfersIn}) {
            for (const StatisticLevel level : {StatisticLevel::Materials, StatisticLevel::Tops})
                all << cells(s.movementTable(m, {from, to, level}));
        }
        all << cells(
            s.byParty(StatisticParty::Units, {from, to, StatisticLevel::Materials}, units));
        all << cells(s.consumption(from, to));
        return all;
    };
    const auto fromLines = [&](const QDate &from, const QDate &to) {
        Transaction tx(db());
        db().exec(QStringLiteral("UPDATE YJSJB SET FSBZ = 0, LJBZ = 0"));
        return statistics(from, to);
    };

    QList<std::pair<QDate, QDate>> ranges;
    for (int i = 0; i + 1 < days.size(); ++i) {
        ranges.append({days[i].addDays(1), days[i + 1]}); // a closed month
        ranges.append({days[i].addDays(1), days.last()}); // closed months on end
        ranges.append({days[i].addDays(5), days[i + 1].addDays(4)});
    }
    ranges.append({days.last().addDays(1), Today.addDays(60)}); // the open period
    ranges.append({days.first().addDays(-20), Today.addDays(60)});
    int rows = 0;
    for (const auto &[from, to] : ranges) {
        const QStringList summed = statistics(from, to);
        EXPECT_EQ(summed, fromLines(from, to)) << from.toString(Qt::ISODate).toStdString() << " to "
                                               << to.toString(Qt::ISODate).toStdString();
        rows += int(summed.size());
    }
    EXPECT_GT(rows, 5000);

    // The closed months were read from their sums, the months between two closings as well;
    // the issues before a period from one closing's running totals.
    test::StatementRecorder recorder(db());
    recorder.run([&] {
        statistics(days[1].addDays(1), days.last());
        Statistics(db(), mode()).quarterly(days[1], days.last());
    });
    int summedReads = 0;
    int totalsReads = 0;
    for (const test::Ran &ran : recorder.statements()) {
        summedReads += ran.sql.contains(QLatin1String("FROM YJFSB")) ? 1 : 0;
        totalsReads += ran.sql.contains(QLatin1String("FROM LJXHB")) ? 1 : 0;
    }
    EXPECT_GT(summedReads, 0);
    EXPECT_EQ(totalsReads, 1);
    const ReportTable quarter = Statistics(db(), mode()).quarterly(days[1], days.last());
    Transaction tx(db());
    db().exec(QStringLiteral("UPDATE YJSJB SET FSBZ = 0"));
    EXPECT_EQ(cells(quarter), cells(Statistics(db(), mode()).quarterly(days[1], days.last())));
}

TEST_P(ClosingSumsTest, EachClosingKeepsEveryIssueUpToItsDay)
{
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT COUNT(*) FROM YJSJB WHERE LJBZ = 0")).toInt(), 0);
    // Each closing's running totals are what the lines alone give up to its day, the direct
    // deliveries, the returns, the reversal and the planned-price material's booked amounts
    // among them; the closing after an empty period keeps the same totals again.
    const StatisticMovements movements(db(), mode());
    const auto shown = [](const std::map<QString, Figure> &rows) {
        QStringList out;
        for (const auto &[clbh, f] : rows)
            out << clbh + QLatin1Char(' ') + QString::fromStdString(text(f));
        return out;
    };
    Query q = db().query(QStringLiteral("SELECT YJID, YJSJ FROM YJSJB ORDER BY YJID"));
    QList<QStringList> all;
    while (q.next()) {
        std::map<QString, Figure> kept;
        for (const auto &[clbh, f] : IssueTotals::of(db(), q.value(0).toInt()))
            kept.emplace(clbh, Figure{f.first, f.second});
        const QDate day = QDate::fromString(q.value(1).toString(), Qt::ISODate);
        all << shown(movements.issuesToDate(day, true));
        EXPECT_EQ(shown(kept), all.last()) << day.toString(Qt::ISODate).toStdString();
    }
    ASSERT_GE(all.size(), 5);
    EXPECT_FALSE(all.at(all.size() - 2).isEmpty());
    EXPECT_EQ(all.last(), all.at(all.size() - 2));
    EXPECT_TRUE(breaches(InvariantBreach::Kind::Totals).isEmpty());
}

TEST_P(ClosingSumsTest, ClosingsWithoutRunningTotalsReadAsBefore)
{
    const QStringList expected = consumptions();
    ASSERT_GT(expected.size(), 500);
    Transaction tx(db());
    // A closing in the middle made before the totals were kept: the to-date column starts from
    // the closing before it.
    db().exec(QStringLiteral("UPDATE YJSJB SET LJBZ = 0 WHERE YJID = 3"));
    db().exec(QStringLiteral("DELETE FROM LJXHB WHERE YJID = 3"));
    EXPECT_EQ(consumptions(), expected);
    // None kept at all: from the closings' sums.
    db().exec(QStringLiteral("UPDATE YJSJB SET LJBZ = 0"));
    db().exec(QStringLiteral("DELETE FROM LJXHB"));
    EXPECT_EQ(consumptions(), expected);
    EXPECT_TRUE(breaches(InvariantBreach::Kind::Totals).isEmpty());

    // The next closing reads every issue up to its day once, the one after it builds on it.
    const int august = MonthEnd(db(), mode(), session->formats()).close(QDate(2026, 8, 31));
    EXPECT_TRUE(breaches(InvariantBreach::Kind::Totals).isEmpty());
    test::PostedBooks books(db(), mode(), 900000);
    const QByteArray unit = code("SELECT MIN(BH) FROM LLDW").toUtf8();
    books.issue("2026-09-03", code("SELECT CLBH FROM KC WHERE KCSL > 5 ORDER BY CLBH"), "2",
                unit.constData());
    const int september = MonthEnd(db(), mode(), session->formats()).close(QDate(2026, 9, 30));
    EXPECT_TRUE(breaches(InvariantBreach::Kind::Totals).isEmpty());
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT COUNT(*) FROM YJSJB WHERE LJBZ <> 0")).toInt(), 2);
    EXPECT_FALSE(IssueTotals::of(db(), august).empty());
    EXPECT_NE(IssueTotals::of(db(), august), IssueTotals::of(db(), september));
}

TEST_P(ClosingSumsTest, AFileOfTheVersionBeforeTheTotalsReadsRight)
{
    const QDate day = closingDays().at(2);
    const auto toDate = [&](Database &d) {
        std::ostringstream out;
        for (const auto &[key, f] : StatisticMovements(d, mode()).perMaterial(
                 Movement::Issues, QDate(), day.addDays(9), false))
            out << key.first.toStdString() << ' ' << text(f) << '\n';
        return out.str();
    };
    const std::string expected = toDate(db());
    const QStringList consumed = consumptions();

    db().exec(QStringLiteral("DROP TABLE LJXHB"));
    db().exec(QStringLiteral("ALTER TABLE YJSJB DROP COLUMN LJBZ"));
    db().exec(QStringLiteral("PRAGMA user_version = 12"));
    session.reset();
    {
        Database old(folder.accountSetDatabasePath(1), Database::Access::ReadOnly);
        Schema::upgrade(old);
        EXPECT_FALSE(IssueTotals::kept(old));
        EXPECT_EQ(toDate(old), expected);
        EXPECT_TRUE(IssueTotals(old, mode()).latestDifferences().isEmpty());
    }
    open();
    EXPECT_TRUE(IssueTotals::kept(db()));
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT COUNT(*) FROM LJXHB")).toInt(), 0);
    EXPECT_EQ(toDate(db()), expected);
    EXPECT_EQ(consumptions(), consumed);
}

TEST_P(ClosingSumsTest, TheCheckerSeesATamperedRunningTotal)
{
    EXPECT_TRUE(breaches(InvariantBreach::Kind::Totals).isEmpty());
    const int latest = db().scalar(QStringLiteral("SELECT MAX(YJID) FROM YJSJB")).toInt();
    const QString first = code("SELECT MIN(CLBH) FROM LJXHB");
    Transaction tx(db());
    db().exec(QStringLiteral("UPDATE LJXHB SET LJSL = LJSL + 10000 WHERE YJID = ? AND CLBH = ?"),
              {latest, first});
    QList<InvariantBreach> found = breaches(InvariantBreach::Kind::Totals);
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(found.first().clbh, first);
    EXPECT_TRUE(found.first().what.contains(QLatin1String("LJXHB")))
        << found.first().what.toStdString();

    // A material gone from the totals, one that never was issued put in.
    db().exec(QStringLiteral("DELETE FROM LJXHB WHERE YJID = ? AND CLBH = "
                             "(SELECT MAX(CLBH) FROM LJXHB WHERE YJID = ?)"),
              {latest, latest});
    db().exec(QStringLiteral("INSERT INTO LJXHB (YJID, CLBH, LJSL, LJJE) VALUES (?, '999', 0, 1)"),
              {latest});
    EXPECT_EQ(breaches(InvariantBreach::Kind::Totals).size(), 3);
}

INSTANTIATE_TEST_SUITE_P(Modes, ClosingSumsTest,
                         ::testing::Values(CostEngine::FirstInFirstOut, CostEngine::MovingAverage),
                         [](const ::testing::TestParamInfo<int> &param) {
                             return param.param == CostEngine::FirstInFirstOut
                                        ? std::string("FirstInFirstOut")
                                        : std::string("MovingAverage");
                         });

} // namespace
} // namespace varnock
