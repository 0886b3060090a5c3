#include "plans/planlinemodel.h"

#include "plans/plans.h"

namespace varnock {

PlanLineModel::PlanLineModel(const Plans &plans, QObject *parent)
    : VoucherLineModel(true, plans.formats(), parent)
    , m_materials(plans.database())
{
    using L = PlanLine;
    const auto material = [](const L &line) { return line.hasMaterial(); };
    setColumns({
        shown(QStringLiteral("id"), [](const L &line) -> QVariant { return line.id; }),
        catalogueCodeColumn(QStringLiteral("  材料编号"), m_materials),
        shown(QStringLiteral("  材料名称"), &L::clmc),
        shown(QStringLiteral("  材料规格"), &L::clgg),
        shown(QStringLiteral("  单    位"), &L::jzdw),
        typedFigure(QStringLiteral("  数    量"), Format::Quantity, &L::quantity, material),
        typedText(QStringLiteral("  备         注"), &L::bz, material),
    });
}

} // namespace varnock
