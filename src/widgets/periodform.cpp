#include "widgets/periodform.h"

#include "print/reporttable.h"
#include "store/clock.h"
#include "widgets/datepicker.h"
#include "widgets/entermovesfocus.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/screenparts.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

namespace varnock {

PeriodForm::PeriodForm(const QString &objectName, const QString &title, const QString &okCaption,
                       const QDate &start, QWidget *parent)
    : QWidget(parent)
    , m_from(new DatePicker(this))
    , m_to(new DatePicker(this))
    , m_buttons(
          new IndexedButtonGroup({okCaption, QStringLiteral("退 出(&X)")}, Qt::Horizontal, this))
{
    setObjectName(objectName);
    setWindowTitle(title);
    m_from->setObjectName(QStringLiteral("DTPicker1"));
    m_to->setObjectName(QStringLiteral("DTPicker2"));
    m_from->setDate(start);
    m_to->setDate(Clock::today());
    m_buttons->setAlignment(Qt::AlignCenter);
    connect(m_buttons, &IndexedButtonGroup::clicked, this, [this](int index) {
        if (index == Ok)
            run(ReportPeriod{m_from->date(), m_to->date()});
        else
            ScreenParts::close(this);
    });
}

void PeriodForm::finish(QWidget *options)
{
    auto *frame = new QGroupBox(QStringLiteral("选择查询时间"), this);
    auto *grid = new QGridLayout(frame);
    grid->addWidget(new QLabel(QStringLiteral("起始时间："), this), 0, 0);
    grid->addWidget(m_from, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("终止时间："), this), 1, 0);
    grid->addWidget(m_to, 1, 1);
    new EnterMovesFocus(frame);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    if (options)
        layout->addWidget(options);
    layout->addStretch();
    layout->addWidget(m_buttons);
    resize(360, options ? 300 : 200);
}

} // namespace varnock
