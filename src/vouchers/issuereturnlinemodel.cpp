#include "vouchers/issuereturnlinemodel.h"

#include "vouchers/issuereturns.h"

namespace varnock {

IssueReturnLineModel::IssueReturnLineModel(const IssueReturns &returns, QObject *parent)
    : VoucherLineModel(false, returns.formats(), parent)
{
    using L = IssueReturnLine;
    // An empty cell: the line is not returned.
    const auto returned = [](Decimal L::*member) -> Figure {
        return [member](const L &line) {
            return line.isReturned() ? std::optional<Decimal>(line.*member) : std::nullopt;
        };
    };
    setColumns({
        shown(QStringLiteral("材料编号"), &L::clbh),
        shown(QStringLiteral("材料名称"), &L::clmc),
        shown(QStringLiteral("材料规格"), &L::clgg),
        shown(QStringLiteral("计量单位"), &L::jzdw),
        figure(QStringLiteral("实际单价"), Format::Amount, &L::price),
        figure(QStringLiteral("出库数量"), Format::Quantity, &L::issuedQuantity),
        figure(QStringLiteral("出库金额"), Format::Amount, &L::issuedAmount),
        figure(QStringLiteral("以前退货"), Format::Quantity, &L::returnedBefore),
        typedFigure(
            QStringLiteral("退货数量"), Format::Quantity, &L::quantity,
            [](const L &) { return true; },
            [this, &returns](L &line) {
                m_over = IssueReturns::exceeds(line, line.quantity);
                returns.setQuantity(line, m_over ? Decimal() : line.quantity);
            },
            returned(&L::quantity)),
        figure(QStringLiteral("退货金额"), Format::Amount, returned(&L::amount)),
        shown(QStringLiteral("ID"), [](const L &line) -> QVariant { return line.llid; }),
    });
}

bool IssueReturnLineModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    m_over = false;
    if (!VoucherLineModel::setData(index, value, role))
        return false;
    if (m_over)
        emit overReturn(index.row());
    return true;
}

} // namespace varnock
