#include "shell/screens/frmczrzcx.h"

#include "shell/operators.h"
#include "shell/screens/help.h"
#include "store/clock.h"
#include "widgets/datepicker.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/operation.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

namespace varnock {

FrmCzrzCx::FrmCzrzCx(Database &db, QWidget *parent)
    : QDialog(parent)
    , m_db(db)
{
    setObjectName(QStringLiteral("FrmCzrzCx"));
    setWindowTitle(QStringLiteral("条件查询"));

    m_from = new DatePicker(this);
    m_from->setObjectName(QStringLiteral("DTPicker1"));
    const QDate today = Clock::today();
    m_from->setDate(QDate(today.year(), today.month(), 1));
    m_to = new DatePicker(this);
    m_to->setObjectName(QStringLiteral("DTPicker2"));
    m_to->setDate(today);

    auto *dates = new QFormLayout;
    dates->addRow(QStringLiteral("起始日期 ："), m_from);
    dates->addRow(QStringLiteral("终止日期 ："), m_to);

    auto *who = new QGroupBox(QStringLiteral("操作员"), this);
    m_all = new QRadioButton(QStringLiteral("全部操作员"), who);
    m_one = new QRadioButton(QStringLiteral("指定操作员"), who);
    m_all->setChecked(true);
    m_operator = new QComboBox(who);
    m_operator->setObjectName(QStringLiteral("Combo1"));
    m_operator->setEnabled(false);
    runOperation(this, [this] {
        for (const Operators::Entry &e : Operators(m_db).list())
            m_operator->addItem(QStringLiteral("%1  %2").arg(e.number).arg(e.name), e.number);
    });
    auto *whoLayout = new QVBoxLayout(who);
    whoLayout->addWidget(m_all);
    auto *oneRow = new QHBoxLayout;
    oneRow->addWidget(m_one);
    oneRow->addWidget(m_operator, 1);
    whoLayout->addLayout(oneRow);
    connect(m_one, &QRadioButton::toggled, m_operator, &QComboBox::setEnabled);

    m_buttons = new IndexedButtonGroup({QStringLiteral("查 询(&F)"), QStringLiteral("退 出(&X)")},
                                       Qt::Horizontal, this);
    m_buttons->setAlignment(Qt::AlignCenter);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(dates);
    layout->addWidget(who);
    layout->addWidget(m_buttons);

    connect(m_buttons, &IndexedButtonGroup::clicked, this, [this](int index) {
        if (index == Query)
            query();
        else
            reject();
    });
    Help::install(this, QStringLiteral("日志浏览"));
    setFixedSize(sizeHint().expandedTo(QSize(320, 0)));
}

void FrmCzrzCx::query()
{
    std::optional<int> number;
    if (m_one->isChecked()) {
        if (m_operator->currentIndex() < 0)
            return;
        number = m_operator->currentData().toInt();
    }
    QList<OperationLog::Row> rows;
    if (!runOperation(
            this, [&] { rows = OperationLog(m_db).filter(m_from->date(), m_to->date(), number); }))
        return;
    m_rows = rows;
    accept();
}

} // namespace varnock
