#include "vouchers/screens/fllthcx.h"

#include "master/screens/formlldwxzct.h"
#include "store/clock.h"
#include "vouchers/issuereturns.h"
#include "widgets/datepicker.h"
#include "widgets/entermovesfocus.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/messages.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace varnock {

Fllthcx::Fllthcx(const IssueReturns &returns, QWidget *parent)
    : QDialog(parent)
    , m_returns(returns)
    , m_lldwbh(new QLineEdit(this))
    , m_lldwmc(new QLineEdit(this))
    , m_thdjh(new QLineEdit(this))
    , m_ysbh(new QLineEdit(this))
    , m_clbh(new QLineEdit(this))
    , m_from(new DatePicker(this))
    , m_to(new DatePicker(this))
    , m_buttons(new IndexedButtonGroup({QStringLiteral("查 询(&F)"), QStringLiteral("退 出(&X)")},
                                       Qt::Horizontal, this))
{
    setObjectName(QStringLiteral("Fllthcx"));
    setWindowTitle(QStringLiteral("条件查询"));
    m_lldwmc->setReadOnly(true);
    m_lldwmc->setFocusPolicy(Qt::NoFocus);
    m_from->setDate(returns.finderStart());
    m_to->setDate(Clock::today());

    auto *pick = new QPushButton(QStringLiteral("…"), this);
    pick->setAutoDefault(false);
    pick->setFixedWidth(28);
    connect(pick, &QPushButton::clicked, this, [this] { pickUnit(); });

    auto *grid = new QGridLayout;
    const auto label = [this](const QString &text) { return new QLabel(text, this); };
    grid->addWidget(
        label(returns.isTransfer() ? QStringLiteral("调拨单位：") : QStringLiteral("领料单位：")),
        0, 0);
    auto *code = new QHBoxLayout;
    code->addWidget(m_lldwbh, 1);
    code->addWidget(pick);
    grid->addLayout(code, 0, 1);
    grid->addWidget(m_lldwmc, 0, 2, 1, 2);
    grid->addWidget(label(QStringLiteral("退库单据号：")), 1, 0);
    grid->addWidget(m_thdjh, 1, 1);
    grid->addWidget(label(QStringLiteral("出库单号：")), 1, 2);
    grid->addWidget(m_ysbh, 1, 3);
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
    new EnterMovesFocus(this);
    connect(m_buttons, &IndexedButtonGroup::clicked, this, [this](int index) {
        if (index == 0)
            search();
        else
            reject();
    });
}

void Fllthcx::pickUnit()
{
    FormLLDWXZCT picker(m_returns.database(), FormLLDWXZCT::Mode::Units, this);
    if (const std::optional<Counterparty> chosen = picker.pick()) {
        m_lldwbh->setText(chosen->code);
        m_lldwmc->setText(chosen->name);
    }
}

void Fllthcx::search()
{
    if (m_to->date() < m_from->date()) {
        Messages::warn(this, QStringLiteral("终止日期不能大于起始日期！"), QStringLiteral("提示"));
        return;
    }
    accept();
}

IssueReturnConditions Fllthcx::conditions() const
{
    IssueReturnConditions c;
    c.lldwbh = m_lldwbh->text();
    c.thdjh = m_thdjh->text();
    c.ysbh = m_ysbh->text();
    c.clbh = m_clbh->text();
    c.from = m_from->date();
    c.to = m_to->date();
    return c;
}

std::optional<IssueReturnConditions> Fllthcx::ask()
{
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return conditions();
}

} // namespace varnock
