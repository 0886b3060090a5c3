#include "plans/screens/fxjhsl.h"

#include "print/screens/reportwindow.h"
#include "print/voucherslip.h"
#include "store/clock.h"
#include "widgets/messages.h"
#include "widgets/operation.h"

#include <QHBoxLayout>
#include <QRadioButton>

namespace varnock {

FXJHSL::FXJHSL(Database &db, const Formats &formats, QWidget *parent)
    : PeriodForm(QStringLiteral("FXJHSL"), QStringLiteral("计划-实际数量对比表"),
                 QStringLiteral("确 定(Q)"),
                 QDate(Clock::today().year(), Clock::today().month(), 1), parent)
    , m_db(db)
    , m_formats(formats)
    , m_first(new QRadioButton(QStringLiteral("一级材料"), this))
    , m_second(new QRadioButton(QStringLiteral("二级材料"), this))
    , m_all(new QRadioButton(QStringLiteral("全部材料"), this))
{
    m_all->setChecked(true);
    auto *options = new QWidget(this);
    auto *row = new QHBoxLayout(options);
    row->addWidget(m_first);
    row->addWidget(m_second);
    row->addWidget(m_all);
    finish(options);
}

QRadioButton *FXJHSL::option(PlanComparison::Level level) const
{
    switch (level) {
    case PlanComparison::Level::First:
        return m_first;
    case PlanComparison::Level::Second:
        return m_second;
    case PlanComparison::Level::All:
        break;
    }
    return m_all;
}

void FXJHSL::run(const ReportPeriod &period)
{
    const PlanComparison::Level level = m_first->isChecked()    ? PlanComparison::Level::First
                                        : m_second->isChecked() ? PlanComparison::Level::Second
                                                                : PlanComparison::Level::All;
    ReportTable table;
    QString firm;
    if (!runOperation(this, [&] {
            table = PlanComparison(m_db).build(period, level);
            firm = VoucherSlips::firmName(m_db);
        }))
        return;
    if (table.isEmpty()) {
        Messages::inform(this, QStringLiteral("没有记录！"));
        return;
    }
    ReportWindow::openTable(this, table, firm, m_formats);
}

} // namespace varnock
