#include "leasing/screens/fzlhk.h"

#include "leasing/screens/fzlhkcx.h"
#include "master/suppliers.h"
#include "shell/screens/help.h"
#include "store/clock.h"
#include "widgets/datepicker.h"
#include "widgets/entermovesfocus.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/messages.h"
#include "widgets/numericedit.h"
#include "widgets/operation.h"
#include "widgets/screenparts.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace varnock {

namespace {

QLineEdit *figureField(const char *name, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setReadOnly(true);
    edit->setFocusPolicy(Qt::ClickFocus);
    edit->setAlignment(Qt::AlignRight);
    return edit;
}

} // namespace

Fzlhk::Fzlhk(Database &db, const Formats &formats, int operatorNumber, QWidget *parent)
    : QWidget(parent)
    , m_db(db)
    , m_payments(db, formats)
    , m_formats(formats)
    , m_operator(operatorNumber)
    , m_supplier(new QComboBox(this))
    , m_date(new DatePicker(this))
    , m_owed(figureField("TxtQk", this))
    , m_paid(figureField("TxtYf", this))
    , m_amount(new NumericEdit(formats.amountDecimals(), false, this))
    , m_left(figureField("TxtSy", this))
    , m_remark(new QLineEdit(this))
    , m_buttons(new IndexedButtonGroup(
          {QStringLiteral("支 付(&O)"), QStringLiteral("查 询(&F)"), QStringLiteral("退 出(&X)")},
          Qt::Horizontal, this))
{
    setObjectName(QStringLiteral("Fzlhk"));
    setWindowTitle(QStringLiteral("租赁还款"));
    Help::install(this, helpTopic());
    m_supplier->setObjectName(QStringLiteral("Combo1"));
    m_supplier->setMinimumWidth(240);
    m_date->setObjectName(QStringLiteral("DTPicker1"));
    m_date->setDate(Clock::today());
    m_amount->setObjectName(QStringLiteral("TxtHk"));
    m_amount->setFigure(Limits::Figure::Amount);
    m_remark->setObjectName(QStringLiteral("TxtZy"));
    runOperation(this, [&] {
        for (const Suppliers::Entry &e : Suppliers(db).list())
            m_supplier->addItem(e.bh + QLatin1Char(' ') + e.mc, e.bh);
    });
    m_supplier->setCurrentIndex(-1);

    auto *frame = new QGroupBox(this);
    auto *grid = new QGridLayout(frame);
    const auto row = [&](int r, const QString &caption, QWidget *field) {
        grid->addWidget(new QLabel(caption, this), r, 0);
        grid->addWidget(field, r, 1);
    };
    row(0, QStringLiteral("供 应 商："), m_supplier);
    row(1, QStringLiteral("截止日期："), m_date);
    row(2, QStringLiteral("共拖欠该供应商:"), m_owed);
    row(3, QStringLiteral("已付该供应商:"), m_paid);
    row(4, QStringLiteral("此次还款:"), m_amount);
    row(5, QStringLiteral("还剩款项:"), m_left);
    row(6, QStringLiteral("摘     要:"), m_remark);
    new EnterMovesFocus(frame);
    m_buttons->setAlignment(Qt::AlignCenter);
    auto *heading = new QLabel(QStringLiteral("租赁还款"), this);
    ScreenParts::styleHeading(heading);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(frame);
    layout->addStretch();
    layout->addWidget(m_buttons);

    connect(m_supplier, &QComboBox::currentIndexChanged, this, [this] { refresh(); });
    connect(m_date, &QDateEdit::dateChanged, this, [this] { refresh(); });
    connect(m_amount, &QLineEdit::editingFinished, this, [this] { checkAmount(); });
    connect(m_buttons, &IndexedButtonGroup::clicked, this, [this](int index) {
        if (index == Pay) {
            pay();
        } else if (index == Search) {
            Fzlhkcx list(m_db, m_formats, m_operator, this);
            list.exec();
            refresh();
        } else {
            ScreenParts::close(this);
        }
    });
    resize(460, 380);
}

void Fzlhk::refresh()
{
    m_balance = {};
    const QString gysbh = m_supplier->currentData().toString();
    runOperation(this, [&] { m_balance = m_payments.balance(gysbh, m_date->date()); });
    m_owed->setText(m_formats.amountText(m_balance.owed));
    m_paid->setText(m_formats.amountText(m_balance.paid));
    checkAmount();
}

void Fzlhk::checkAmount()
{
    const Decimal amount = m_amount->value().value_or(Decimal());
    if (amount > m_balance.remaining()) {
        Messages::show(this, Refusal(QStringLiteral("提示"), LeasePayments::WrongAmountText,
                                     Refusal::Icon::Critical));
        m_amount->clear();
        m_left->setText(m_formats.amountText(m_balance.remaining()));
        return;
    }
    m_left->setText(m_formats.amountText(m_balance.remaining() - amount));
}

void Fzlhk::pay()
{
    const QString gysbh = m_supplier->currentData().toString();
    const Decimal amount = m_amount->value().value_or(Decimal());
    if (!runOperation(this,
                      [&] { m_payments.pay(gysbh, m_date->date(), amount, m_remark->text()); }))
        return;
    m_amount->clear();
    m_remark->clear();
    refresh();
}

} // namespace varnock
