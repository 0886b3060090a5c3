#pragma once

#include "print/reporttable.h"
#include "store/decimal.h"

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

namespace varnock {

class Database;

// The planned quantities of a period against what was actually issued in it (JHSLB_TEMP).
// Actual: the posted issue lines of every kind dated in the period, net of the posted issue
// returns dated in it. Only planned materials appear; a plan of 0 has no percentage.
class PlanComparison
{
public:
    static const QString ReportName; // "材料数量对比表"

    // The options of the comparison: by grandparent group, by parent group, by material.
    enum class Level { First, Second, All };

    struct Row
    {
        QString clbh;
        QString clmc;
        QString clgg;
        QString dw;
        std::optional<Decimal> cksl; // none: nothing issued
        Decimal jhsl;
        Decimal sl;                 // planned − actual
        std::optional<Decimal> bfb; // actual ÷ planned × 100; none for a plan of 0
        ReportTable::RowStyle style = ReportTable::RowStyle::Detail;
    };

    explicit PlanComparison(Database &db);

    // The rows of the period at `level`. Refuses a start later than the end
    // ("起始日期不允许大于终止日期！").
    QList<Row> rows(const QDate &from, const QDate &to, Level level) const;
    // Fills JHSLB_TEMP with them in one transaction and returns them.
    QList<Row> fill(const QDate &from, const QDate &to, Level level) const;
    // The rows as the report shows them, each group after its members.
    static ReportTable report(const QList<Row> &rows);
    // fill() and report() for the period.
    ReportTable build(const ReportPeriod &period, Level level = Level::All) const;

private:
    Database &m_db;
};

} // namespace varnock
