#include "reports/reportcatalog.h"

#include "leasing/rentcharge.h"
#include "plans/plancomparison.h"
#include "plans/plans.h"
#include "reports/ledgerreports.h"
#include "reports/masterlists.h"
#include "store/errors.h"

namespace varnock::ReportCatalog {

namespace {

// A report of the master data: no period.
Entry masterList(const QString &name, const QString &key, const QString &right,
                 ReportTable (*build)(Database &))
{
    return Entry{name, key, false, right,
                 [build](Database &db, const std::optional<ReportPeriod> &) { return build(db); }};
}

// A report over a period, which its callers always give.
Entry periodReport(const QString &name, const QString &right,
                   std::function<ReportTable(Database &, const ReportPeriod &)> build)
{
    return Entry{name,
                 {},
                 true,
                 right,
                 [name, build](Database &db, const std::optional<ReportPeriod> &period) {
                     if (!period)
                         throw StoreError(name + QStringLiteral(" needs a period"));
                     return build(db, *period);
                 }};
}

} // namespace

const QList<Entry> &entries()
{
    // The lists print from their screens; the opening balances stay a report once the
    // opening-balance screen has closed with the first month-end.
    static const QList<Entry> list = {
        masterList(QStringLiteral("材料信息一览表"), QStringLiteral("CLJBXXB"),
                   QStringLiteral("CLSZ"), MasterLists::catalogue),
        masterList(QStringLiteral("供应商设置一览表"), QStringLiteral("GYS"),
                   QStringLiteral("GYSSZ"), MasterLists::suppliers),
        masterList(QStringLiteral("领料单位设置一览表"), QStringLiteral("LLDW"),
                   QStringLiteral("LLDWSZ"), MasterLists::units),
        masterList(QStringLiteral("账务初始资料"), QStringLiteral("ZWCSH"),
                   QStringLiteral("LDZCQDB"), MasterLists::openingBalances),
        masterList(
            QStringLiteral("流动资产清点表"), QStringLiteral("KCPD"), QStringLiteral("LDZCQDB"),
            [](Database &db) { return LedgerReports::stockList(db, LedgerReports::Level::Every); }),
        // The count result runs up to the period's end.
        Entry{QStringLiteral("盘点表"), QStringLiteral("PD"), true, QStringLiteral("qdb"),
              [](Database &db, const std::optional<ReportPeriod> &period) {
                  return LedgerReports::countResult(db, period ? period->to : QDate());
              }},
        Entry{QStringLiteral("供应商月度欠款报表"), QStringLiteral("GYSQK"), true,
              QStringLiteral("GYSQK"),
              [](Database &db, const std::optional<ReportPeriod> &period) {
                  return LedgerReports::arrears(db, period.value_or(ReportPeriod{}));
              }},
        Entry{QStringLiteral("数据处理填写"), QStringLiteral("CLKVMT"), true,
              QStringLiteral("CLKVMT"),
              [](Database &db, const std::optional<ReportPeriod> &period) {
                  return LedgerReports::adjustments(db, period.value_or(ReportPeriod{}));
              }},
        periodReport(RentCharge::ReportName, QStringLiteral("zlb"),
                     [](Database &db, const ReportPeriod &p) { return RentCharge(db).build(p); }),
        periodReport(
            PlanComparison::ReportName, QStringLiteral("DBB"),
            [](Database &db, const ReportPeriod &p) { return PlanComparison(db).build(p); }),
        // Only the quantities of the lines are listed: the display formats do not matter.
        periodReport(
            Plans::ListName, QStringLiteral("JHTX"),
            [](Database &db, const ReportPeriod &p) { return Plans(db, Formats()).list(p); }),
    };
    return list;
}

const Entry *find(const QString &nameOrKey)
{
    const QString wanted = nameOrKey.trimmed();
    for (const Entry &e : entries()) {
        if (e.name == wanted ||
            (!e.key.isEmpty() && e.key.compare(wanted, Qt::CaseInsensitive) == 0))
            return &e;
    }
    return nullptr;
}

} // namespace varnock::ReportCatalog
