#include "vouchers/screens/frmthdcx.h"

#include "master/screens/frmgysxz.h"
#include "store/clock.h"
#include "vouchers/stockinreturns.h"
#include "widgets/datepicker.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/messages.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace varnock {

FrmThdcx::FrmThdcx(const StockInReturns &returns, QWidget *parent)
    : QDialog(parent)
    , m_returns(returns)
    , m_gysbh(new QLineEdit(this))
    , m_gysmc(new QLineEdit(this))
    , m_fpbh(new QLineEdit(this))
    , m_thdjh(new QLineEdit(this))
    , m_clbh(new QLineEdit(this))
    , m_from(new DatePicker(this))
    , m_to(new DatePicker(this))
    , m_buttons(new IndexedButtonGroup({QStringLiteral("查 询(&F)"), QStringLiteral("退 出(&X)")},
                                       Qt::Horizontal, this))
{
    setObjectName(QStringLiteral("FrmThdcx"));
    setWindowTitle(QStringLiteral("条件查询"));
    m_gysmc->setReadOnly(true);
    m_from->setDate(returns.finderStart());
    m_to->setDate(Clock::today());

    auto *pick = new QPushButton(QStringLiteral("…"), this);
    pick->setAutoDefault(false);
    pick->setFixedWidth(28);
    connect(pick, &QPushButton::clicked, this, [this] { pickSupplier(); });

    auto *grid = new QGridLayout;
    const auto label = [this](const QString &text) { return new QLabel(text, this); };
    grid->addWidget(label(returns.kind().partnerCode), 0, 0);
    auto *code = new QHBoxLayout;
    code->addWidget(m_gysbh, 1);
    code->addWidget(pick);
    grid->addLayout(code, 0, 1);
    grid->addWidget(label(returns.kind().partnerName), 0, 2);
    grid->addWidget(m_gysmc, 0, 3);
    grid->addWidget(label(QStringLiteral("发票编号：")), 1, 0);
    grid->addWidget(m_fpbh, 1, 1);
    grid->addWidget(label(QStringLiteral("原始单据号：")), 1, 2);
    grid->addWidget(m_thdjh, 1, 3);
    grid->addWidget(label(QStringLiteral("材料编号：")), 2, 0);
    grid->addWidget(m_clbh, 2, 1);
    grid->addWidget(label(QStringLiteral("起始时间：")), 3, 0);
    grid->addWidget(m_from, 3, 1);
    grid->addWidget(label(QStringLiteral("终止时间：")), 3, 2);
    grid->addWidget(m_to, 3, 3);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    m_buttons->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_buttons);
    connect(m_buttons, &IndexedButtonGroup::clicked, this, [this](int index) {
        if (index == 0)
            search();
        else
            reject();
    });
}

void FrmThdcx::pickSupplier()
{
    FrmGysxz picker(m_returns.database(), this);
    if (const std::optional<Counterparty> chosen = picker.pick()) {
        m_gysbh->setText(chosen->code);
        m_gysmc->setText(chosen->name);
    }
}

void FrmThdcx::search()
{
    if (m_to->date() < m_from->date()) {
        Messages::warn(this, QStringLiteral("终止日期不能大于起始日期！"), QStringLiteral("提示"));
        return;
    }
    accept();
}

StockInReturnConditions FrmThdcx::conditions() const
{
    StockInReturnConditions c;
    c.gysbh = m_gysbh->text();
    c.fpbh = m_fpbh->text();
    c.thdjh = m_thdjh->text();
    c.clbh = m_clbh->text();
    c.from = m_from->date();
    c.to = m_to->date();
    return c;
}

std::optional<StockInReturnConditions> FrmThdcx::ask()
{
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return conditions();
}

} // namespace varnock
