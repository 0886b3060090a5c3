#include "reports/storepicture.h"

#include "master/consumingunits.h"
#include "reports/ledgerreports.h"
#include "reports/materialledger.h"
#include "reports/stockbalances.h"
#include "store/database.h"
#include "store/errors.h"

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

    // The report's unit columns, three at a time.
    QList<UnitColumn> units;
    for (const ConsumingUnits::Unit &u : ConsumingUnits(m_db).list())
        units.append({u.bh, u.mc});
    for (qsizetype first = 0; first < units.size(); first += StockFigures::UnitColumns) {
        const QList<UnitColumn> some = units.mid(first, StockFigures::UnitColumns);
        QList<Decimal> sums(some.size());
        for (const auto &[key, f] : balances.period(period.from, period.to, some)) {
            for (qsizetype i = 0; i < some.size(); ++i)
                sums[i] += f.units.at(size_t(i)).amount;
        }
        for (qsizetype i = 0; i < some.size(); ++i) {
            if (!sums.at(i).isZero())
                figures.consumption.append({some.at(i).name, sums.at(i)});
        }
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
