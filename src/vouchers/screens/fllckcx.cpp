#include "vouchers/screens/fllckcx.h"

#include "master/screens/formlldwxzct.h"
#include "vouchers/issuereturns.h"
#include "widgets/datepicker.h"

#include <QLineEdit>

namespace varnock {

FLLCKCX::FLLCKCX(const IssueReturns &returns, QWidget *parent)
    : ConditionForm(QStringLiteral("FLLCKCX"), QStringLiteral("单据查询"), parent)
{
    m_lldwbh = addPickedField(returns.isTransfer() ? QStringLiteral("调拨单位：")
                                                   : QStringLiteral("耗料单位："),
                              QString(),
                              [this, db = &returns.database()] {
                                  FormLLDWXZCT picker(*db, FormLLDWXZCT::Mode::Units, this);
                                  return choiceOf(picker);
                              })
                   .code;
    m_sgbw = addField(QStringLiteral("施工部位："));
    m_ysdjh = addField(QStringLiteral("原始单据号："));
    m_dh = addField(QStringLiteral("栋/楼号："));
    m_clbh = addField(QStringLiteral("材料编号："));
    addDates([&returns] { return returns.finderStart(); });
}

ReturnableIssueConditions FLLCKCX::conditions() const
{
    ReturnableIssueConditions c;
    c.lldwbh = m_lldwbh->text();
    c.sgbw = m_sgbw->text();
    c.ysdjh = m_ysdjh->text();
    c.dh = m_dh->text();
    c.clbh = m_clbh->text();
    c.from = startDate()->date();
    c.to = endDate()->date();
    return c;
}

} // namespace varnock
