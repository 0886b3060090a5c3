#pragma once

#include "print/reporttable.h"
#include "store/decimal.h"

#include <QDate>
#include <QList>
#include <QString>

namespace varnock {

class Database;

// The rent that leased items accrue by the day. Each lease line dated in a period is cut into
// charged periods at its returns: the first starts on the lease date with the quantity
// leased, each return date ends one (the items were out that day) and the next starts the day
// after with what is still out, and the last ends on the period's last day. Days are counted
// at both ends, so a line leased and returned on one day is charged one day; a period with
// nothing out is not charged.
class RentCharge
{
public:
    static const QString ReportName; // "租赁单据报表"

    struct Period
    {
        qint64 zlid = 0;
        QString clbh;
        QString clmc;
        QString clgg;
        QString jzdw;
        QString gysbh;
        QString lldwbh;
        Decimal jssl; // quantity charged
        Decimal zjsl; // change at the start: the quantity leased, or minus the one returned
        QDate ksrq;
        QDate jsrq;
        Decimal dj;
        qint64 ts = 0;
        Decimal je; // dj × jssl × ts, exact to the ten-thousandth
    };

    explicit RentCharge(Database &db);

    // The charged periods of the lease lines dated from `from` to `to` (of one supplier when
    // `gysbh` is given), by material, lease date and line, each line's in date order.
    QList<Period> periods(const QDate &from, const QDate &to, const QString &gysbh = {}) const;

    // Fills ZL_TEMP with the periods and a subtotal per material, in one transaction. Refuses
    // a start later than the end ("起始时间不允许 大于终止时间!").
    void fill(const QDate &from, const QDate &to) const;
    // "租赁单据报表": ZL_TEMP by material and start date, each material's subtotal after its
    // periods.
    ReportTable report() const;
    // fill() and report() for the period.
    ReportTable build(const ReportPeriod &period) const;

private:
    Database &m_db;
};

} // namespace varnock
