#pragma once

#include "vouchers/voucherline.h"

#include <QDate>
#include <QList>
#include <QString>

namespace varnock {

// One line of a project material plan (CLJH).
struct PlanLine : MaterialLine
{
    Decimal quantity; // SL
    QString bz;
    QString sjdd; // read with the line, never written here
};

// The plan of one date: every CLJH line entered under it. A plan is known by its date; its
// key stands where other vouchers have their system number.
struct PlanVoucher
{
    qint64 xtbh = 0; // the date's key; 0 for a plan not stored yet
    QDate czrq;
    bool posted = false; // plans are never posted
    QList<PlanLine> lines;
};

// One plan line as the plan query lists it.
struct PlanQueryRow
{
    QString clbh;
    QString clmc;
    QString clgg;
    QString jzdw;
    Decimal jhdj;
    Decimal sl;
    Decimal jhje; // sl × jhdj
    QDate czrq;
    QString bz;
    Decimal clje; // the material's amount adjustments dated that day
};

// The plan query's conditions: the first of a material, a remark and a category that is
// given applies.
struct PlanConditions
{
    QString clbh;
    QString bz;
    QString category;
    QDate from;
    QDate to;
};

} // namespace varnock
