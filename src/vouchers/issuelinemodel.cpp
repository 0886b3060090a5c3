#include "vouchers/issuelinemodel.h"

#include "vouchers/issuevouchers.h"

namespace varnock {

IssueLineModel::IssueLineModel(const IssueVouchers &vouchers, QObject *parent)
    : VoucherLineModel(true, vouchers.formats(), parent)
    , m_vouchers(vouchers)
    , m_materials(vouchers.database())
{
    using L = IssueLine;
    const bool priced = !vouchers.isFirstInFirstOut();
    const auto material = [](const L &line) { return line.hasMaterial(); };
    // Under first in first out the posting prices the line: no price or amount before.
    const auto ifPriced = [priced](Decimal L::*member) -> Figure {
        return [priced, member](const L &line) {
            return priced ? std::optional<Decimal>(line.*member) : std::nullopt;
        };
    };
    const auto recompute = [this, priced](L &line) {
        if (priced)
            line.amount = m_formats.roundAmount(line.price * line.quantity);
    };
    setColumns({
        shown(QStringLiteral("id"), [](const L &line) -> QVariant { return line.id; }),
        codeColumn(QStringLiteral("材料编号"),
                   [this](L &line, const QString &code) {
                       const std::optional<IssueMaterials::Row> m = m_materials.find(code);
                       if (!m || !m->mayBeIssued())
                           return false;
                       take(line, *m);
                       return true;
                   }),
        shown(QStringLiteral("材料名称"), &L::clmc),
        shown(QStringLiteral("材料规格"), &L::clgg),
        shown(QStringLiteral("记账单位"), &L::jzdw),
        // The price is per unit: a different unit takes the stock price anew.
        conversionUnitColumn(QStringLiteral("换算单位"),
                             [this](L &line) { m_vouchers.priceLine(line); }),
        // A planned-price material leaves stock at its planned price only.
        typedFigure(
            QStringLiteral("实际单价"), Format::Amount, &L::price,
            [priced](const L &line) { return line.hasMaterial() && priced && !line.plannedPrice; },
            recompute, ifPriced(&L::price)),
        figure(QStringLiteral("库存数量"), Format::Quantity, &L::stockQuantity),
        figure(QStringLiteral("库存金额"), Format::Amount, &L::stockAmount),
        typedFigure(QStringLiteral("出库数量"), Format::Quantity, &L::quantity, material,
                    recompute),
        figure(QStringLiteral("出库金额"), Format::Amount, ifPriced(&L::amount)),
        {QStringLiteral("换算系数"),
         [](const L &line) -> QVariant {
             return line.inConversionUnit() ? QString::number(line.hsxs) : QString();
         },
         true},
        typedText(QStringLiteral("备  注"), &L::bz, material),
    });
}

void IssueLineModel::take(IssueLine &line, const IssueMaterials::Row &material) const
{
    line.takeMaterial(material);
    line.plannedPrice = material.jjfs;
    line.stockQuantity = material.kcsl;
    line.stockAmount = material.kcje;
    m_vouchers.priceLine(line);
}

bool IssueLineModel::setMaterial(int row, const IssueMaterials::Row &material)
{
    if (row < 0 || row >= m_lines.size())
        return false;
    take(m_lines[row], material);
    emitRowChanged(row);
    return true;
}

Decimal IssueLineModel::total() const
{
    Decimal sum;
    for (const IssueLine &line : m_lines) {
        if (line.hasMaterial())
            sum += line.amount;
    }
    return sum;
}

} // namespace varnock
