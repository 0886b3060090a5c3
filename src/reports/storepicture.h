#pragma once

#include "print/reporttable.h"
#include "store/decimal.h"

#include <QDate>
#include <QList>
#include <QString>

namespace varnock {

class Database;

// The store of the open account set at a glance: the figures the chart window draws, read
// through the report builders. Nothing here knows how they are drawn.
class StorePicture
{
public:
    static constexpr int TopCount = 10;

    struct Point
    {
        QDate day;
        Decimal value;
    };
    struct Bar
    {
        QString label;
        Decimal value;
    };
    struct Figures
    {
        QList<Point> closings;   // the stock value at each month-end closing, oldest first
        QList<Bar> consumption;  // the period's issues to each consuming unit, net of returns
        QList<Bar> topMaterials; // the materials of the highest stock value, highest first
    };

    StorePicture(Database &db, int accountingMode);

    // Refuses a period that starts after its end ("起始日期不允许大于终止日期！").
    Figures build(const ReportPeriod &period) const;

private:
    Database &m_db;
    int m_mode;
};

} // namespace varnock
