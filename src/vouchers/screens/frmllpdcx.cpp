#include "vouchers/screens/frmllpdcx.h"

#include "master/screens/formlldwxzct.h"
#include "store/clock.h"
#include "vouchers/issuevouchers.h"
#include "widgets/datepicker.h"
#include "widgets/entermovesfocus.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/messages.h"
#include "widgets/operation.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace varnock {

FrmLLpdcx::FrmLLpdcx(const IssueVouchers &vouchers, QWidget *parent)
    : QDialog(parent)
    , m_vouchers(vouchers)
    , m_lldwbh(new QLineEdit(this))
    , m_lldwmc(new QLineEdit(this))
    , m_sgbw(new QComboBox(this))
    , m_ysdjh(new QLineEdit(this))
    , m_dh(new QComboBox(this))
    , m_clbh(new QLineEdit(this))
    , m_from(new DatePicker(this))
    , m_to(new DatePicker(this))
    , m_buttons(new IndexedButtonGroup({QStringLiteral("查 询(&F)"), QStringLiteral("退 出(&X)")},
                                       Qt::Horizontal, this))
{
    setObjectName(QStringLiteral("FrmLLpdcx"));
    setWindowTitle(QStringLiteral("条件查询"));
    m_lldwmc->setReadOnly(true);
    for (QComboBox *combo : {m_sgbw, m_dh}) {
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setMinimumWidth(150);
    }
    QStringList sites;
    QStringList buildings;
    runOperation(this, [&] {
        sites = vouchers.sites();
        buildings = vouchers.buildings();
        m_from->setDate(vouchers.finderStart());
    });
    m_sgbw->addItems(sites);
    m_sgbw->setEditText(QString());
    m_dh->addItems(buildings);
    m_dh->setEditText(QString());
    m_to->setDate(Clock::today());

    auto *pick = new QPushButton(QStringLiteral("…"), this);
    pick->setAutoDefault(false);
    pick->setFixedWidth(28);
    connect(pick, &QPushButton::clicked, this, [this] { pickUnit(); });
    connect(m_lldwbh, &QLineEdit::editingFinished, this, [this] {
        std::optional<QString> name;
        runOperation(this, [&] { name = m_vouchers.unitName(m_lldwbh->text()); });
        m_lldwmc->setText(name.value_or(QString()));
    });

    auto *grid = new QGridLayout;
    const auto label = [this](const QString &text) { return new QLabel(text, this); };
    grid->addWidget(label(QStringLiteral("单位编号：")), 0, 0);
    auto *code = new QHBoxLayout;
    code->addWidget(m_lldwbh, 1);
    code->addWidget(pick);
    grid->addLayout(code, 0, 1);
    grid->addWidget(label(QStringLiteral("单位名称：")), 0, 2);
    grid->addWidget(m_lldwmc, 0, 3);
    grid->addWidget(label(QStringLiteral("施工部位：")), 1, 0);
    grid->addWidget(m_sgbw, 1, 1);
    grid->addWidget(label(QStringLiteral("原始单据号：")), 1, 2);
    grid->addWidget(m_ysdjh, 1, 3);
    grid->addWidget(label(QStringLiteral("栋/楼号：")), 2, 0);
    grid->addWidget(m_dh, 2, 1);
    grid->addWidget(label(QStringLiteral("材料编号：")), 2, 2);
    grid->addWidget(m_clbh, 2, 3);
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

void FrmLLpdcx::pickUnit()
{
    FormLLDWXZCT picker(m_vouchers.database(), FormLLDWXZCT::Mode::Units, this);
    if (const std::optional<Counterparty> chosen = picker.pick()) {
        m_lldwbh->setText(chosen->code);
        m_lldwmc->setText(chosen->name);
    }
}

void FrmLLpdcx::search()
{
    if (m_to->date() < m_from->date()) {
        Messages::warn(this, QStringLiteral("终止日期不能大于起始日期！"), QStringLiteral("提示"));
        return;
    }
    accept();
}

IssueConditions FrmLLpdcx::conditions() const
{
    IssueConditions c;
    c.lldwbh = m_lldwbh->text();
    c.sgbw = m_sgbw->currentText();
    c.ysdjh = m_ysdjh->text();
    c.dh = m_dh->currentText();
    c.clbh = m_clbh->text();
    c.from = m_from->date();
    c.to = m_to->date();
    return c;
}

std::optional<IssueConditions> FrmLLpdcx::ask()
{
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return conditions();
}

} // namespace varnock
