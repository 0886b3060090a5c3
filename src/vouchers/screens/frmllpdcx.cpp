#include "vouchers/screens/frmllpdcx.h"

#include "master/screens/formlldwxzct.h"
#include "vouchers/issuevouchers.h"
#include "widgets/datepicker.h"
#include "widgets/operation.h"

#include <QComboBox>
#include <QLineEdit>

namespace varnock {

FrmLLpdcx::FrmLLpdcx(const IssueVouchers &vouchers, QWidget *parent)
    : ConditionForm(QStringLiteral("FrmLLpdcx"), QStringLiteral("条件查询"), parent)
{
    QStringList sites;
    QStringList buildings;
    runOperation(this, [&] {
        sites = vouchers.sites();
        buildings = vouchers.buildings();
    });
    const PickedField unit =
        addPickedField(QStringLiteral("单位编号："), QStringLiteral("单位名称："),
                       [this, db = &vouchers.database()] {
                           FormLLDWXZCT picker(*db, FormLLDWXZCT::Mode::Units, this);
                           return choiceOf(picker);
                       });
    m_lldwbh = unit.code;
    m_lldwmc = unit.name;
    m_sgbw = addChoiceField(QStringLiteral("施工部位："), sites);
    m_ysdjh = addField(QStringLiteral("原始单据号："));
    m_dh = addChoiceField(QStringLiteral("栋/楼号："), buildings);
    m_clbh = addField(QStringLiteral("材料编号："));
    addDates([&vouchers] { return vouchers.finderStart(); });

    // A typed unit code shows its name, as a picked one does.
    connect(m_lldwbh, &QLineEdit::editingFinished, this, [this, v = &vouchers] {
        std::optional<QString> name;
        runOperation(this, [&] { name = v->unitName(m_lldwbh->text()); });
        m_lldwmc->setText(name.value_or(QString()));
    });
}

IssueConditions FrmLLpdcx::conditions() const
{
    IssueConditions c;
    c.lldwbh = m_lldwbh->text();
    c.sgbw = m_sgbw->currentText();
    c.ysdjh = m_ysdjh->text();
    c.dh = m_dh->currentText();
    c.clbh = m_clbh->text();
    c.from = startDate()->date();
    c.to = endDate()->date();
    return c;
}

} // namespace varnock
