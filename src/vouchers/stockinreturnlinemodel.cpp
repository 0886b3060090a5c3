#include "vouchers/stockinreturnlinemodel.h"

#include "vouchers/stockinreturns.h"

namespace varnock {

StockInReturnLineModel::StockInReturnLineModel(const StockInReturns &returns, QObject *parent)
    : VoucherLineModel(false, returns.formats(), parent)
{
    using L = StockInReturnLine;
    const auto returned = [](Decimal L::*member) -> Figure {
        return [member](const L &line) {
            return line.isReturned() ? std::optional<Decimal>(line.*member) : std::nullopt;
        };
    };
    setColumns({
        shown(QStringLiteral(" 材料编号"), &L::clbh),
        shown(QStringLiteral(" 材料名称"), &L::clmc),
        shown(QStringLiteral(" 材料规格"), &L::clgg),
        shown(QStringLiteral(" 单位"), &L::jzdw),
        figure(QStringLiteral(" 入库单价"), Format::Amount, &L::price),
        figure(QStringLiteral(" 入库数量"), Format::Quantity, &L::receivedQuantity),
        figure(QStringLiteral(" 入库金额"), Format::Amount, &L::receivedAmount),
        figure(QStringLiteral(" 已退数量"), Format::Quantity, &L::returnedBefore),
        // Only the quantity is typed; the amount follows it at the stock-in price.
        typedFigure(
            QStringLiteral(" 退货数量"), Format::Quantity, &L::quantity,
            [](const L &) { return true; },
            [&returns](L &line) { line.amount = returns.amountOf(line.quantity, line.price); },
            returned(&L::quantity)),
        figure(QStringLiteral(" 退货金额"), Format::Amount, returned(&L::amount)),
        // What the returned goods are worth at the planned price.
        figure(QStringLiteral("计划金额"), Format::Amount,
               [this](const L &line) {
                   return line.isReturned() ? std::optional<Decimal>(
                                                  m_formats.roundAmount(line.jhdj * line.quantity))
                                            : std::nullopt;
               }),
        figure(QStringLiteral("计划单价"), Format::Amount, &L::jhdj),
        shown(QStringLiteral("ID"), [](const L &line) -> QVariant { return line.id; }),
    });
}

} // namespace varnock
