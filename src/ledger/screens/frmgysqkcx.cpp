#include "ledger/screens/frmgysqkcx.h"

#include "master/screens/masterpickers.h"
#include "store/clock.h"

namespace varnock {

FrmGysqkcx::FrmGysqkcx(Database &db, QWidget *parent)
    : ConditionForm(QStringLiteral("FrmGysqkcx"), QStringLiteral("条件查询"), parent)
{
    using C = SupplierPayments::Filter;
    addPickedField(QStringLiteral("供应商："), QString(), MasterPickers::pickSupplier(db, this),
                   &C::gysbh);
    addField(QStringLiteral("支票号："), &C::zph);
    addField(QStringLiteral("摘 要："), &C::bz);
    addDates(
        [] {
            const QDate today = Clock::today();
            return QDate(today.year(), today.month(), 1);
        },
        QStringLiteral("起始时间："), QStringLiteral("终止时间："), QStringLiteral("查询日期"));
}

} // namespace varnock
