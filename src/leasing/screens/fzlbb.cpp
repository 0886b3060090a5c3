#include "leasing/screens/fzlbb.h"

#include "leasing/rentcharge.h"
#include "print/screens/reportwindow.h"
#include "store/clock.h"

namespace varnock {

Fzlbb::Fzlbb(Database &db, const Formats &formats, QWidget *parent)
    : PeriodForm(QStringLiteral("Fzlbb"), QStringLiteral("租赁报表"), QStringLiteral("确 定(&Q)"),
                 QDate(Clock::today().year(), Clock::today().month(), 1), parent)
    , m_db(db)
    , m_formats(formats)
{
    finish();
}

void Fzlbb::run(const ReportPeriod &period)
{
    ReportWindow::open(this, m_db, m_formats, RentCharge::ReportName, period);
}

} // namespace varnock
