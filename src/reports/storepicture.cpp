#include "reports/storepicture.h"

#include "master/consumingunits.h"
#include "reports/ledgerreports.h"
#include "reports/materialledger.h"
#include "reports/statisticmovements.h"
#include "reports/stockbalances.h"
#include "store/database.h"
#include "store/errors.h"

#include <QHash>
#include <QStringList>

#include <algorithm>

namespace varnock {

StorePicture::StorePicture(Database &db, int accountingMode)
    : m_db(db)
    , m_mode(accountingMode)
{}

StorePicture::Figures StorePicture::build(const ReportPeriod &period) const
{
    if (period.from > period.to)
        throw Refusal(QStringLiteral("提示"), LedgerReports::ArrearsDatesText);
    const ReadSnapshot snapshot(m_db);
    const StockBalances balances(m_db, m_mode);
    Figures figures;

    // What each closing froze: the stock before the day after it.
    for (const QDate &day : MaterialLedger(m_db, m_mode).closingDays()) {
        Decimal value;
        for (const auto &[key, f] : balances.before(day.addDays(1)))
            value += f.amount;
        figures.closings.append({day, value});
    }

    // The issues of each unit, in the units' order; a code no longer listed keeps its own.
    const std::map<QString, std::map<QString, Figure>> issued =
        StatisticMovements(m_db, m_mode).perParty(Movement::Issues, period.from, period.to);
    QStringList order;
    QHash<QString, QString> names;
    for (const ConsumingUnits::Unit &u : ConsumingUnits(m_db).list()) {
        order << u.bh;
        names.insert(u.bh, u.mc);
    }
    for (const auto &[unit, materials] : issued) {
        if (!names.contains(unit))
            order << unit;
    }
    for (const QString &unit : std::as_const(order)) {
        const auto it = issued.find(unit);
        if (it == issued.end())
            continue;
        Decimal value;
        for (const auto &[clbh, f] : it->second)
            value += f.amount;
        if (!value.isZero())
            figures.consumption.append({names.value(unit, unit), value});
    }

    QList<LedgerReports::StockHoldings::Item> items = LedgerReports::stockHoldings(m_db).items;
    std::stable_sort(items.begin(), items.end(),
                     [](const auto &a, const auto &b) { return a.amount > b.amount; });
    for (const auto &i : std::as_const(items)) {
        if (figures.topMaterials.size() == TopCount || i.amount <= Decimal())
            break;
        const QString label =
            i.clgg.trimmed().isEmpty() ? i.clmc : QStringLiteral("%1 %2").arg(i.clmc, i.clgg);
        figures.topMaterials.append({label, i.amount});
    }
    return figures;
}

} // namespace varnock
