#include "vouchers/screens/frmllpdcx.h"

#include "master/screens/formlldwxzct.h"
#include "vouchers/issuevouchers.h"
#include "widgets/operation.h"

namespace varnock {

FrmLLpdcx::FrmLLpdcx(const IssueVouchers &vouchers, QWidget *parent)
    : ConditionForm(QStringLiteral("FrmLLpdcx"), QStringLiteral("条件查询"), parent)
{
    using C = IssueConditions;
    QStringList sites;
    QStringList buildings;
    runOperation(this, [&] {
        sites = vouchers.sites();
        buildings = vouchers.buildings();
    });
    const PickedField unit =
        addPickedField(QStringLiteral("单位编号："), QStringLiteral("单位名称："),
                       FormLLDWXZCT::units(vouchers.database(), this), &C::lldwbh);
    m_sgbw = addChoiceField(QStringLiteral("施工部位："), sites, &C::sgbw);
    addField(QStringLiteral("原始单据号："), &C::ysdjh);
    addChoiceField(QStringLiteral("栋/楼号："), buildings, &C::dh);
    addField(QStringLiteral("材料编号："), &C::clbh);
    addDates([&vouchers] { return vouchers.finderStart(); });

    // A typed unit code shows its name, as a picked one does.
    connect(unit.code, &QLineEdit::editingFinished, this, [this, unit, v = &vouchers] {
        std::optional<QString> name;
        runOperation(this, [&] { name = v->unitName(unit.code->text()); });
        unit.name->setText(name.value_or(QString()));
    });
}

} // namespace varnock
