#include "vouchers/stockinlinemodel.h"

#include "vouchers/stockinvouchers.h"

namespace varnock {

StockInLineModel::StockInLineModel(const StockInVouchers &vouchers, QObject *parent)
    : VoucherLineModel(true, vouchers.formats(), parent)
    , m_lookup(vouchers.database())
{
    using L = StockInLine;
    const auto material = [](const L &line) { return line.hasMaterial(); };
    const auto recompute = [this](L &line) {
        line.amount = m_formats.roundAmount(line.price * line.quantity);
    };
    setColumns({
        codeColumn(QStringLiteral(" 材料编号"),
                   [this](L &line, const QString &code) {
                       const std::optional<MaterialLookup::Row> m = m_lookup.find(code);
                       if (m)
                           take(line, *m);
                       return m.has_value();
                   }),
        shown(QStringLiteral(" 材料名称"), &L::clmc),
        shown(QStringLiteral(" 材料规格"), &L::clgg),
        shown(QStringLiteral(" 记账单位"), &L::jzdw),
        conversionUnitColumn(QStringLiteral(" 换算单位")),
        figure(QStringLiteral(" 计划单价"), Format::Amount, &L::jhdj),
        typedFigure(vouchers.kind().priceHeader, Format::Amount, &L::price, material, recompute),
        typedFigure(QStringLiteral("  数  量"), Format::Quantity, &L::quantity, material,
                    recompute),
        // In the conversion unit the quantity counts hsxs accounting units each.
        figure(QStringLiteral(" 计划金额"), Format::Amount,
               [this](const L &line) {
                   return m_formats.roundAmount(line.jhdj * line.accountingQuantity());
               }),
        typedFigure(QStringLiteral("实际金额"), Format::Amount, &L::amount, material),
        typedFigure(QStringLiteral("已付金额"), Format::Amount, &L::paid, material),
        typedText(QStringLiteral("   备注"), &L::czzm, [](const L &) { return true; }),
        shown(QStringLiteral("ID"), [](const L &line) -> QVariant { return line.id; }),
    });
}

bool StockInLineModel::setMaterial(int row, const MaterialLookup::Row &material)
{
    if (row < 0 || row >= m_lines.size())
        return false;
    take(m_lines[row], material);
    emitRowChanged(row);
    return true;
}

void StockInLineModel::take(StockInLine &line, const MaterialLookup::Row &material)
{
    line.takeMaterial(material);
    line.jhdj = material.jhdj;
}

} // namespace varnock
