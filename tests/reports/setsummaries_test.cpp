#include "reports/setsummaries.h"

#include "ledger/costengine.h"
#include "reports/stockreport.h"
#include "shell/datafolder.h"
#include "store/clock.h"
#include "store/errors.h"
#include "support/ledgerseed.h"
#include "support/postedbooks.h"
#include "support/testaccountset.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace varnock {
namespace {

using test::dec;
using Level = LedgerReports::Level;

const QString A = QStringLiteral("1001001"); // 螺纹钢
const QString P = QStringLiteral("1001002"); // 盘条, at the planned price 3.30
const QString C = QStringLiteral("10001001");
const ReportPeriod March{QDate(2026, 3, 1), QDate(2026, 3, 31)};

// One site's books: the same catalogue in every site, its own suppliers.
struct Site
{
    Site(int mode, const QString &supplier)
        : seed(set.db())
        , books(set.db(), mode)
    {
        set.setMode(mode);
        set.addCategory(QStringLiteral("1"), QStringLiteral("钢材"));
        set.addCategory(QStringLiteral("1001"), QStringLiteral("钢筋"), QStringLiteral("1"));
        set.addMaterial(A, QStringLiteral("螺纹钢"), QStringLiteral("1001"));
        set.addMaterial(P, QStringLiteral("盘条"), QStringLiteral("1001"), true, dec("3.30"));
        set.addCategory(QStringLiteral("10"), QStringLiteral("水泥"));
        set.addCategory(QStringLiteral("10001"), QStringLiteral("散装水泥"), QStringLiteral("10"));
        set.addMaterial(C, QStringLiteral("P.O42.5"), QStringLiteral("10001"));
        set.addSupplier(supplier, QStringLiteral("第一建材"));
        set.db().exec(QStringLiteral("UPDATE GYS SET ZGCP = '钢材', CSQK = ? WHERE BH = ?"),
                      {dec("100").toVariant(), supplier});
        set.addUnit(QStringLiteral("U1"), QStringLiteral("一工区"));
    }

    // A purchase with `paid` paid on receipt.
    void receive(const char *date, const QString &supplier, const QString &clbh, const char *q,
                 const char *amount, const char *paid = "0")
    {
        const qint64 id = books.receive(date, clbh, q, amount, supplier);
        set.db().exec(QStringLiteral("UPDATE RKD SET YFJE = ? WHERE ID = ?"),
                      {dec(paid).toVariant(), id});
    }
    void pay(const QString &supplier, const char *date, const char *amount)
    {
        set.db().exec(QStringLiteral("INSERT INTO FQFSAVE (GYSBH, JE, RQ) VALUES (?, ?, ?)"),
                      {supplier, dec(amount).toVariant(), QString::fromLatin1(date)});
    }

    test::TestAccountSet set;
    test::LedgerSeed seed;
    test::PostedBooks books;
};

// Two sites kept as sets 7 and 8 of a data folder, summed from a third set that is open.
class SetSummariesTest : public ::testing::TestWithParam<int>
{
protected:
    SetSummariesTest()
        : folder(dir.path())
        , seven(GetParam(), QStringLiteral("G1"))
        , eight(GetParam(), QStringLiteral("S9"))
    {
        seven.seed.opening(A, dec("10"), dec("50.00"));
        seven.seed.opening(C, dec("20"), dec("40.00"));
        seven.books.close("2026-01-31");
        seven.set.addSupplier(QStringLiteral("G2"), QStringLiteral("第二建材"));
        seven.receive("2026-03-02", QStringLiteral("G1"), A, "5", "32.00", "2.00");
        seven.receive("2026-03-03", QStringLiteral("G2"), P, "10", "36.00");
        seven.books.issue("2026-03-04", A, "4", "U1");
        seven.books.issue("2026-03-05", C, "5", "U1", "2");
        seven.pay(QStringLiteral("G1"), "2026-03-10", "10.00");

        eight.seed.opening(A, dec("6"), dec("30.00"));
        eight.books.close("2026-01-31");
        eight.receive("2026-02-10", QStringLiteral("S9"), A, "2", "14.00");
        eight.books.close("2026-02-28");
        eight.receive("2026-03-12", QStringLiteral("S9"), A, "1", "7.50");
        eight.books.issue("2026-03-13", A, "3", "U1");

        copy(seven, 7);
        copy(eight, 8);
    }
    ~SetSummariesTest() override { Clock::setToday(std::nullopt); }

    void copy(Site &site, qint64 number)
    {
        ASSERT_TRUE(QDir().mkpath(folder.accountSetFolder(number)));
        site.set.db().exec(QStringLiteral("VACUUM INTO ?"),
                           {folder.accountSetDatabasePath(number)});
    }

    SetSummaries summaries() { return SetSummaries(open.db(), folder); }

    static QStringList texts(const ReportTable &t, int row, int from = 0, int count = -1)
    {
        QStringList cells;
        const int last = count < 0 ? t.columnCount() : from + count;
        for (int c = from; c < last; ++c)
            cells << t.displayText(row, c, Formats());
        return cells;
    }
    Decimal at(const ReportTable &t, int row, const char *field)
    {
        return t.figureAt(row, t.columnOf(QLatin1String(field)));
    }
    int rowNamed(const ReportTable &t, const QString &name, const char *field = "GYSMC")
    {
        for (int r = 0; r < t.rowCount(); ++r) {
            if (t.displayText(r, t.columnOf(QLatin1String(field)), Formats()) == name)
                return r;
        }
        return -1;
    }

    const SetSummaries::Set Seven{7, QStringLiteral("七号工地")};
    const SetSummaries::Set Eight{8, QStringLiteral("八号工地")};

    QTemporaryDir dir;
    DataFolder folder;
    Site seven;
    Site eight;
    test::TestAccountSet open;
};

TEST_P(SetSummariesTest, OneSetGivesItsOwnReport)
{
    // Arrears: the same rows, the total first.
    const ReportTable ownArrears = LedgerReports::arrears(seven.set.db(), March);
    const SetSummaries::Result arrears = summaries().arrears({Seven}, March);
    EXPECT_TRUE(arrears.unreadable.isEmpty());
    ASSERT_EQ(arrears.table.rowCount(), ownArrears.rowCount());
    ASSERT_EQ(arrears.table.rowCount(), 3);
    for (int r = 0; r < ownArrears.rowCount(); ++r)
        EXPECT_EQ(texts(arrears.table, r), texts(ownArrears, r)) << r;
    // SYJE 100, BYQK 32, BYHK 10 + 2, BYJE 120.
    EXPECT_EQ(at(arrears.table, 1, "BYJE"), dec("120.00"));
    EXPECT_EQ(open.db().scalar(QStringLiteral("SELECT COUNT(*) FROM GYSQK_TEMP")).toInt(), 3);

    // Summary: the set's own rows under its name, transfers in a column of their own.
    const StockReportRequest request{March.from, March.to, {UnitColumn::transfers()}, {}, {}};
    const ReportTable ownSummary = StockReport(seven.set.db(), GetParam()).summary(request);
    const ReportTable summary = summaries().summary({Seven}, March).table;
    ASSERT_EQ(summary.rowCount(), ownSummary.rowCount() + 1);
    for (int r = 0; r < ownSummary.rowCount(); ++r) {
        EXPECT_EQ(summary.displayText(r, 0, Formats()), QStringLiteral("七号工地"));
        for (int c = 1; c < summary.columnCount(); ++c) {
            const QString field = summary.columns().at(c).field;
            EXPECT_EQ(summary.displayText(r, c, Formats()),
                      ownSummary.displayText(r, ownSummary.columnOf(field), Formats()))
                << field.toStdString() << " of row " << r;
        }
    }
    EXPECT_EQ(summary.columnOf(QStringLiteral("LLSL2")), -1);
    const int total = summary.rowCount() - 1;
    EXPECT_EQ(summary.displayText(total, 2, Formats()), QStringLiteral("全部账套 总计"));
    // 50 + 40 opening, 32 and 10 × 3.30 (at plan) received, 4 of A and 5 of C gone.
    const Decimal closing = at(summary, total, "BYJE");
    EXPECT_EQ(at(summary, total, "SYJE"), dec("90.00"));
    EXPECT_EQ(at(summary, total, "RKJE"), dec("65.00"));
    EXPECT_EQ(closing, dec("155.00") - at(summary, total, "LLJE") - at(summary, total, "LLJE1"));
    EXPECT_EQ(at(summary, total, "LLJE1"), dec("10.00"));

    // The count at each level: the set's own rows, each material under the set's name.
    for (Level level : {Level::First, Level::Second, Level::Every}) {
        const ReportTable own = LedgerReports::stockList(seven.set.db(), level);
        const ReportTable count = summaries().count({Seven}, level).table;
        ASSERT_EQ(count.rowCount(), own.rowCount()) << int(level);
        for (int r = 0; r < own.rowCount(); ++r) {
            EXPECT_EQ(texts(count, r, 0, own.columnCount()), texts(own, r)) << r;
            const bool material = count.style(r) == ReportTable::RowStyle::Detail;
            EXPECT_EQ(count.displayText(r, count.columnOf(QStringLiteral("ZT")), Formats()),
                      material ? QStringLiteral("七号工地") : QString());
        }
        EXPECT_EQ(open.db().scalar(QStringLiteral("SELECT COUNT(*) FROM KCPD_TEMP")).toInt(),
                  own.rowCount());
    }
}

TEST_P(SetSummariesTest, TwoSetsSumIntoOneLine)
{
    const ReportTable own7 = LedgerReports::arrears(seven.set.db(), March);
    const ReportTable own8 = LedgerReports::arrears(eight.set.db(), March);
    const ReportTable both = summaries().arrears({Seven, Eight}, March).table;
    // 总计, 第一建材 of both sets under different codes, 第二建材.
    ASSERT_EQ(both.rowCount(), 3);
    EXPECT_EQ(both.displayText(0, 0, Formats()), QStringLiteral("总计"));
    const int first = rowNamed(both, QStringLiteral("第一建材"));
    ASSERT_EQ(first, 1);
    EXPECT_EQ(both.displayText(first, 1, Formats()), QStringLiteral("钢材"));
    for (const char *field : {"SYJE", "BYQK", "BYHK", "BYJE", "HZ"}) {
        EXPECT_EQ(at(both, first, field),
                  at(own7, rowNamed(own7, QStringLiteral("第一建材")), field) +
                      at(own8, rowNamed(own8, QStringLiteral("第一建材")), field))
            << field;
        EXPECT_EQ(at(both, 0, field), at(own7, 0, field) + at(own8, 0, field)) << field;
    }

    // The count: 螺纹钢 of both sets is one line, the sets' totals add up.
    const ReportTable count = summaries().count({Seven, Eight}, Level::Every).table;
    const int rebar = rowNamed(count, QStringLiteral("螺纹钢"), "CLMC");
    ASSERT_GE(rebar, 0);
    EXPECT_EQ(at(count, rebar, "KCSL"), seven.seed.kc(A).quantity + eight.seed.kc(A).quantity);
    EXPECT_EQ(count.displayText(rebar, count.columnOf(QStringLiteral("ZT")), Formats()),
              QStringLiteral("七号工地、八号工地"));
    const int grand = count.rowCount() - 1;
    const ReportTable count7 = LedgerReports::stockList(seven.set.db(), Level::Every);
    const ReportTable count8 = LedgerReports::stockList(eight.set.db(), Level::Every);
    EXPECT_EQ(at(count, grand, "KCJE"), at(count7, count7.rowCount() - 1, "KCJE") +
                                            at(count8, count8.rowCount() - 1, "KCJE"));
    const auto steel = [this](const ReportTable &t) {
        return at(t, rowNamed(t, QStringLiteral("钢材 合计"), "CLMC"), "KCJE");
    };
    EXPECT_EQ(steel(summaries().count({Seven, Eight}, Level::First).table),
              steel(LedgerReports::stockList(seven.set.db(), Level::First)) +
                  steel(LedgerReports::stockList(eight.set.db(), Level::First)));

    // The summary: the rows of each set under its name, then the total of both.
    const ReportTable summary = summaries().summary({Seven, Eight}, March).table;
    const int last = summary.rowCount() - 1;
    EXPECT_EQ(summary.displayText(0, 0, Formats()), QStringLiteral("七号工地"));
    EXPECT_EQ(summary.displayText(last - 1, 0, Formats()), QStringLiteral("八号工地"));
    EXPECT_EQ(at(summary, last, "BYJE"), at(count, grand, "KCJE"));
}

TEST_P(SetSummariesTest, ReceiptsAndIssuesOfEachSetStandUnderItsName)
{
    const auto total = [](const ReportTable &t, const char *field) {
        return t.figureAt(t.rowCount() - 1, t.columnOf(QLatin1String(field)));
    };
    for (Movement movement : {Movement::Receipts, Movement::Issues}) {
        for (StatisticLevel level :
             {StatisticLevel::Tops, StatisticLevel::Parents, StatisticLevel::Materials}) {
            const ReportTable own = Statistics(seven.set.db(), GetParam())
                                        .movementTable(movement, {March.from, March.to, level});
            const ReportTable across =
                summaries()
                    .movements({Seven}, movement, March, level, QStringLiteral("汇总"))
                    .table;
            ASSERT_EQ(across.rowCount(), own.rowCount() + 1) << int(level);
            for (int r = 0; r < own.rowCount(); ++r) {
                EXPECT_EQ(across.displayText(r, 0, Formats()), QStringLiteral("七号工地"));
                for (const auto &[mine, theirs] : {std::pair{"CLBH", "CLBH"},
                                                   {"CLMC", "CLMC"},
                                                   {"KCSL", "SJSL"},
                                                   {"KCJE", "SJJE"}}) {
                    EXPECT_EQ(
                        across.displayText(r, across.columnOf(QLatin1String(mine)), Formats()),
                        own.displayText(r, own.columnOf(QLatin1String(theirs)), Formats()))
                        << mine << " of row " << r;
                }
            }
            EXPECT_EQ(total(across, "KCJE"), total(own, "SJJE"));
            EXPECT_EQ(across.displayText(across.rowCount() - 1, 2, Formats()),
                      QStringLiteral("全部账套 总计"));
        }
    }
    // 32 and 10 × 3.30 received in 七号工地, 7.50 in 八号工地.
    const ReportTable both = summaries()
                                 .movements({Seven, Eight}, Movement::Receipts, March,
                                            StatisticLevel::Materials, QStringLiteral("汇总"))
                                 .table;
    EXPECT_EQ(total(both, "KCJE"), dec("72.50"));
    EXPECT_EQ(
        open.db()
            .scalar(QStringLiteral("SELECT COUNT(*) FROM KCPD_TEMP WHERE ZT = ?"),
                    {QStringLiteral("八号工地")})
            .toInt(),
        Statistics(eight.set.db(), GetParam())
            .movementTable(Movement::Receipts, {March.from, March.to, StatisticLevel::Materials})
            .rowCount());
    try {
        summaries().movements({Seven}, Movement::Issues, {March.to, March.from},
                              StatisticLevel::Tops, QStringLiteral("汇总"));
        ADD_FAILURE() << "not refused";
    } catch (const Refusal &r) {
        EXPECT_EQ(r.text, SetSummaries::MovementsDatesText);
    }
}

TEST_P(SetSummariesTest, AnUnreadableSetIsNamedAndTheOthersAreSummed)
{
    ASSERT_TRUE(QDir().mkpath(folder.accountSetFolder(9)));
    QFile broken(folder.accountSetDatabasePath(9));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("this is no database");
    broken.close();

    const SetSummaries::Set nine{9, QStringLiteral("九号工地")};
    const SetSummaries::Set missing{10, QStringLiteral("十号工地")};
    const SetSummaries::Result result = summaries().arrears({Seven, nine, Eight, missing}, March);
    ASSERT_EQ(result.unreadable.size(), 2);
    EXPECT_TRUE(result.unreadable.at(0).startsWith(QStringLiteral("9 九号工地：")));
    EXPECT_TRUE(result.unreadable.at(1).startsWith(QStringLiteral("10 十号工地：")));
    EXPECT_TRUE(AcrossSets::unreadableText(result.unreadable).contains(QStringLiteral("九号工地")));
    const ReportTable readable = summaries().arrears({Seven, Eight}, March).table;
    ASSERT_EQ(result.table.rowCount(), readable.rowCount());
    for (int r = 0; r < readable.rowCount(); ++r)
        EXPECT_EQ(texts(result.table, r), texts(readable, r));
    EXPECT_EQ(summaries().count({nine, Eight}, Level::First).unreadable.size(), 1);
    EXPECT_EQ(summaries().summary({missing}, March).table.rowCount(), 0);
}

TEST_P(SetSummariesTest, TheOtherSetsAreOnlyRead)
{
    struct Seen
    {
        QByteArray digest;
        QDateTime modified;
        QStringList files;
    };
    const auto seen = [this](qint64 number) {
        QFile file(folder.accountSetDatabasePath(number));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return Seen{QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256),
                    QFileInfo(file).lastModified(),
                    QDir(folder.accountSetFolder(number)).entryList(QDir::Files)};
    };
    const Seen before = seen(8);
    summaries().arrears({Seven, Eight}, March);
    summaries().summary({Seven, Eight}, March);
    summaries().count({Seven, Eight}, Level::Every);
    const Seen after = seen(8);
    EXPECT_EQ(after.digest, before.digest);
    EXPECT_EQ(after.modified, before.modified);
    EXPECT_EQ(after.files, before.files);
    EXPECT_GT(open.db().scalar(QStringLiteral("SELECT COUNT(*) FROM JXCHZ_TEMP")).toInt(), 0);
}

TEST_P(SetSummariesTest, APeriodBackwardsIsRefusedBeforeAnythingIsBuilt)
{
    open.db().exec(QStringLiteral("INSERT INTO GYSQK_TEMP (GYSMC) VALUES ('上次')"));
    const ReportPeriod backwards{QDate(2026, 3, 2), QDate(2026, 3, 1)};
    for (const auto &build : std::initializer_list<std::function<void()>>{
             [&] { summaries().arrears({Seven}, backwards); },
             [&] { summaries().summary({Seven}, backwards); }}) {
        try {
            build();
            ADD_FAILURE() << "not refused";
        } catch (const Refusal &r) {
            EXPECT_EQ(r.text, SetSummaries::DatesText);
        }
    }
    EXPECT_EQ(open.db().scalar(QStringLiteral("SELECT COUNT(*) FROM GYSQK_TEMP")).toInt(), 1);
}

INSTANTIATE_TEST_SUITE_P(Modes, SetSummariesTest,
                         ::testing::Values(CostEngine::FirstInFirstOut, CostEngine::MovingAverage),
                         [](const ::testing::TestParamInfo<int> &param) {
                             return param.param == CostEngine::FirstInFirstOut
                                        ? std::string("FirstInFirstOut")
                                        : std::string("MovingAverage");
                         });

} // namespace
} // namespace varnock
