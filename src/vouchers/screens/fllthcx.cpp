#include "vouchers/screens/fllthcx.h"

#include "master/screens/formlldwxzct.h"
#include "vouchers/issuereturns.h"

namespace varnock {

Fllthcx::Fllthcx(const IssueReturns &returns, QWidget *parent)
    : ConditionForm(QStringLiteral("Fllthcx"), QStringLiteral("条件查询"), parent)
{
    using C = IssueReturnConditions;
    addPickedField(returns.isTransfer() ? QStringLiteral("调拨单位：")
                                        : QStringLiteral("领料单位："),
                   QString(), FormLLDWXZCT::units(returns.database(), this), &C::lldwbh);
    addField(QStringLiteral("退库单据号："), &C::thdjh);
    m_ysbh = addField(QStringLiteral("出库单号："), &C::ysbh);
    addField(QStringLiteral("材料编号："), &C::clbh);
    addDates([&returns] { return returns.finderStart(); });
}

} // namespace varnock
