#pragma once

#include "plans/plan.h"
#include "print/reporttable.h"
#include "vouchers/voucherservice.h"

#include <optional>

namespace varnock {

// Project material plans (CLJH): the quantities the site plans to consume, entered per date.
// Plans carry quantities only and never move stock.
class Plans : public VoucherFamily<PlanVoucher>
{
public:
    static const QString ListName; // "计划数量填写资料"

    Plans(Database &db, const Formats &formats);

    // The key of the plan of `date`, and back.
    static qint64 keyOf(const QDate &date) { return date.isValid() ? date.toJulianDay() : 0; }
    static QDate dateOf(qint64 key) { return QDate::fromJulianDay(key); }

    // The plan of a date; nullopt when it has no line.
    std::optional<PlanVoucher> load(qint64 key) const;
    // Deletes one stored line at once.
    void removeLine(qint64 id) const;

    // The plan query: lines dated from `from` to `to`, by material code. Refuses a start later
    // than the end ("起始日期不可大以终始日期").
    QList<PlanQueryRow> find(const PlanConditions &conditions) const;
    // The query's rows as the result grid shows and prints them, numbered from 1.
    static ReportTable queryReport(const QList<PlanQueryRow> &rows);
    // "计划数量填写资料": the plan lines of a period by material, a subtotal per parent group
    // (name + " 小计"), a total per grandparent group (name + " 合计") and "全部材料 总计".
    ReportTable list(const ReportPeriod &period) const;

private:
    QList<Refusal> refusals(const PlanVoucher &voucher) const override;
    QList<Row> rows(const PlanVoucher &voucher, qint64 key) const override;
    qint64 newKey(const PlanVoucher &voucher) const override { return keyOf(voucher.czrq); }
    QVariant storedKey(qint64 key) const override;
};

} // namespace varnock
