#include "ledger/screens/frmgysqk.h"

#include "ledger/screens/frmgysqkcxjg.h"
#include "master/suppliers.h"
#include "shell/screens/help.h"
#include "store/clock.h"
#include "widgets/datepicker.h"
#include "widgets/entermovesfocus.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/numericedit.h"
#include "widgets/operation.h"
#include "widgets/screenparts.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace varnock {

FrmGYSQK::FrmGYSQK(Database &db, const Formats &formats, int loggedInOperator, QWidget *parent)
    : QWidget(parent)
    , m_db(db)
    , m_formats(formats)
    , m_operator(loggedInOperator)
    , m_payments(db)
{
    setObjectName(QStringLiteral("FrmGYSQK"));
    setWindowTitle(QStringLiteral("供应商还款"));

    const auto readOnly = [this](const QString &name) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(name);
        edit->setReadOnly(true);
        edit->setAlignment(Qt::AlignRight);
        return edit;
    };
    m_supplier = new QComboBox(this);
    m_supplier->setObjectName(QStringLiteral("ComboBox1"));
    m_supplier->setMinimumWidth(250);
    m_date = new DatePicker(this);
    m_date->setObjectName(QStringLiteral("DTPicker1"));
    m_date->setDate(Clock::today());
    m_cheque = new QLineEdit(this);
    m_cheque->setObjectName(QStringLiteral("Text1"));
    m_owed = readOnly(QStringLiteral("Text2"));
    m_paid = readOnly(QStringLiteral("Text3"));
    // Figures are typed to four places, as the field shows them when it is left.
    m_amount = new NumericEdit(4, false, this);
    m_amount->setObjectName(QStringLiteral("Text4"));
    m_amount->setFigure(Limits::Figure::Amount);
    m_remaining = readOnly(QStringLiteral("Text5"));
    m_remark = new QLineEdit(this);
    m_remark->setObjectName(QStringLiteral("Text6"));
    m_settled = new QLabel(this);
    m_settled->setObjectName(QStringLiteral("Label8"));
    m_settled->setStyleSheet(QStringLiteral("color: #b00000;"));

    auto *fields = new QFormLayout;
    fields->addRow(QStringLiteral("供 应 商："), m_supplier);
    fields->addRow(QStringLiteral("付款日期："), m_date);
    fields->addRow(QStringLiteral("支 票 号："), m_cheque);
    fields->addRow(QStringLiteral("共拖欠该供应商"), m_owed);
    fields->addRow(QStringLiteral("已付该供应商"), m_paid);
    fields->addRow(QStringLiteral("此次支付/处理款项"), m_amount);
    fields->addRow(QStringLiteral("还剩款项"), m_remaining);
    fields->addRow(QStringLiteral("摘     要"), m_remark);
    fields->addRow(QString(), m_settled);

    m_buttons = new IndexedButtonGroup({QStringLiteral("支 付(&O)"), QStringLiteral("坏帐处理(&H)"),
                                        QStringLiteral("查 询(&F)"), QStringLiteral("退 出(&X)")},
                                       Qt::Horizontal, this);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addStretch();
    layout->addWidget(m_buttons);
    resize(520, 380);
    Help::install(this, QStringLiteral("供应商付款"));
    new EnterMovesFocus(this);

    QList<Suppliers::Entry> suppliers;
    runOperation(this, [&] { suppliers = Suppliers(db).list(); });
    for (const Suppliers::Entry &s : std::as_const(suppliers))
        m_supplier->addItem(QStringLiteral("%1  %2").arg(s.mc, s.bh), s.bh);
    m_supplier->setCurrentIndex(-1);

    connect(m_supplier, &QComboBox::currentIndexChanged, this, [this] { showBalance(); });
    connect(m_amount, &QLineEdit::editingFinished, this, [this] {
        if (const auto value = m_amount->value())
            m_amount->setText(value->toString(4));
    });
    connect(m_buttons, &IndexedButtonGroup::clicked, this, [this](int index) {
        switch (index) {
        case Pay:
            record(SupplierPayments::Kind::Payment);
            break;
        case WriteOff:
            record(SupplierPayments::Kind::WriteOff);
            break;
        case Find:
            FrmGysqkcxjg::open(this, m_db, m_formats, m_operator);
            break;
        case Exit:
            ScreenParts::close(this);
            break;
        }
    });
}

void FrmGYSQK::showBalance()
{
    const QString gysbh = m_supplier->currentData().toString();
    SupplierPayments::Balance b;
    if (gysbh.isEmpty() || !runOperation(this, [&] { b = m_payments.balance(gysbh); }))
        return;
    m_owed->setText(m_formats.amountText(b.owed));
    m_paid->setText(m_formats.amountText(b.paid));
    m_remaining->setText(m_formats.amountText(b.remaining()));
    m_settled->setText(b.settled() ? SupplierPayments::SettledText : QString());
}

void FrmGYSQK::record(SupplierPayments::Kind kind)
{
    const QString gysbh = m_supplier->currentData().toString();
    const Decimal amount = m_amount->value().value_or(Decimal());
    if (!runOperation(this, [&] {
            m_payments.record(kind, gysbh, m_date->date(), amount, m_cheque->text(),
                              m_remark->text());
        }))
        return;
    m_amount->clear();
    showBalance();
}

} // namespace varnock
