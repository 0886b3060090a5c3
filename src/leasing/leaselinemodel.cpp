#include "leasing/leaselinemodel.h"

#include "leasing/leasereturns.h"
#include "leasing/leases.h"

namespace varnock {

LeaseLineModel::LeaseLineModel(const Leases &leases, QObject *parent)
    : VoucherLineModel(true, leases.formats(), parent)
    , m_materials(leases.database())
{
    using L = LeaseLine;
    const auto material = [](const L &line) { return line.hasMaterial(); };
    const auto recompute = [&leases](L &line) { line.amount = leases.lineAmount(line); };
    setColumns({
        shown(QStringLiteral("id"), [](const L &line) -> QVariant { return line.id; }),
        catalogueCodeColumn(QStringLiteral(" 材料编号"), m_materials),
        shown(QStringLiteral(" 材料名称"), &L::clmc),
        shown(QStringLiteral(" 材料规格"), &L::clgg),
        shown(QStringLiteral(" 记帐单位"), &L::jzdw),
        typedFigure(QStringLiteral(" 租赁数量"), Format::Quantity, &L::quantity, material,
                    recompute),
        typedFigure(QStringLiteral(" 租赁单价"), Format::Amount, &L::rent, material, recompute),
        typedFigure(QStringLiteral(" 押金"), Format::Amount, &L::deposit, material),
        figure(QStringLiteral(" 金额"), Format::Amount, &L::amount),
        figure(QStringLiteral(" 已还数量"), Format::Quantity, &L::returned),
    });
}

LeaseReturnLineModel::LeaseReturnLineModel(const LeaseReturns &returns, QObject *parent)
    : VoucherLineModel(false, returns.formats(), parent)
    , m_returns(returns)
{
    using L = LeaseReturnLine;
    const auto returned = [](Decimal L::*member) -> Figure {
        return [member](const L &line) {
            return line.isReturned() ? std::optional<Decimal>(line.*member) : std::nullopt;
        };
    };
    setColumns({
        shown(QStringLiteral(" 材料编号"), &L::clbh),
        shown(QStringLiteral(" 材料名称"), &L::clmc),
        shown(QStringLiteral(" 材料规格"), &L::clgg),
        shown(QStringLiteral(" 记帐单位"), &L::jzdw),
        figure(QStringLiteral(" 租赁数量"), Format::Quantity, &L::leased),
        figure(QStringLiteral(" 租赁单价"), Format::Amount, &L::rent),
        figure(QStringLiteral(" 押金"), Format::Amount, &L::deposit),
        figure(QStringLiteral(" 剩余数量"), Format::Quantity,
               [](const L &line) { return line.remaining(); }),
        figure(QStringLiteral("剩余金额"), Format::Amount,
               [this](const L &line) { return m_returns.remainingAmount(line, m_days); }),
        typedFigure(
            QStringLiteral("归还数量"), Format::Quantity, &L::quantity,
            [](const L &) { return true; },
            [this](L &line) {
                m_over = !m_returns.setQuantity(line, line.quantity, m_days);
                if (m_over)
                    m_returns.setQuantity(line, Decimal(), m_days);
            },
            returned(&L::quantity)),
        figure(QStringLiteral("归还金额"), Format::Amount, returned(&L::amount)),
        shown(QStringLiteral("ID"), [](const L &line) -> QVariant { return line.zlid; }),
    });
}

void LeaseReturnLineModel::setRentDays(qint64 days)
{
    m_days = days;
    for (int row = 0; row < m_lines.size(); ++row) {
        m_returns.setQuantity(m_lines[row], m_lines[row].quantity, days);
        emitRowChanged(row);
    }
}

bool LeaseReturnLineModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    m_over = false;
    if (!VoucherLineModel::setData(index, value, role))
        return false;
    if (m_over)
        emit overReturn(index.row());
    return true;
}

} // namespace varnock
