#include "leasing/screens/fchax.h"

#include "master/screens/masterpickers.h"

namespace varnock {

Fchax::Fchax(Database &db, const QDate &start, QWidget *parent)
    : ConditionForm(QStringLiteral("Fchax"), QStringLiteral("条件查询"), parent)
{
    using C = LeaseConditions;
    addPickedField(QStringLiteral("供应商编号："), QStringLiteral("供应商名称："),
                   MasterPickers::pickSupplier(db, this), &C::gysbh);
    addPickedField(QStringLiteral("耗料单位编号："), QStringLiteral("耗料单位名称："),
                   MasterPickers::pickUnit(db, this), &C::lldwbh);
    addField(QStringLiteral("材料编号："), &C::clbh);
    addDates([start] { return start; });
}

} // namespace varnock
