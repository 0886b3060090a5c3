#include "vouchers/screens/fllthcx.h"

#include "master/screens/formlldwxzct.h"
#include "vouchers/issuereturns.h"
#include "widgets/datepicker.h"

#include <QLineEdit>

namespace varnock {

Fllthcx::Fllthcx(const IssueReturns &returns, QWidget *parent)
    : ConditionForm(QStringLiteral("Fllthcx"), QStringLiteral("条件查询"), parent)
{
    m_lldwbh = addPickedField(returns.isTransfer() ? QStringLiteral("调拨单位：")
                                                   : QStringLiteral("领料单位："),
                              QString(),
                              [this, db = &returns.database()] {
                                  FormLLDWXZCT picker(*db, FormLLDWXZCT::Mode::Units, this);
                                  return choiceOf(picker);
                              })
                   .code;
    m_thdjh = addField(QStringLiteral("退库单据号："));
    m_ysbh = addField(QStringLiteral("出库单号："));
    m_clbh = addField(QStringLiteral("材料编号："));
    addDates([&returns] { return returns.finderStart(); });
}

IssueReturnConditions Fllthcx::conditions() const
{
    IssueReturnConditions c;
    c.lldwbh = m_lldwbh->text();
    c.thdjh = m_thdjh->text();
    c.ysbh = m_ysbh->text();
    c.clbh = m_clbh->text();
    c.from = startDate()->date();
    c.to = endDate()->date();
    return c;
}

} // namespace varnock
