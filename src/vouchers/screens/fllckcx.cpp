#include "vouchers/screens/fllckcx.h"

#include "master/screens/formlldwxzct.h"
#include "vouchers/issuereturns.h"

namespace varnock {

FLLCKCX::FLLCKCX(const IssueReturns &returns, QWidget *parent)
    : ConditionForm(QStringLiteral("FLLCKCX"), QStringLiteral("单据查询"), parent)
{
    using C = ReturnableIssueConditions;
    addPickedField(returns.isTransfer() ? QStringLiteral("调拨单位：")
                                        : QStringLiteral("耗料单位："),
                   QString(), FormLLDWXZCT::units(returns.database(), this), &C::lldwbh);
    addField(QStringLiteral("施工部位："), &C::sgbw);
    addField(QStringLiteral("原始单据号："), &C::ysdjh);
    addField(QStringLiteral("栋/楼号："), &C::dh);
    addField(QStringLiteral("材料编号："), &C::clbh);
    addDates([&returns] { return returns.finderStart(); });
}

} // namespace varnock
