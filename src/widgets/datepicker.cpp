#include "widgets/datepicker.h"

#include "store/clock.h"
#include "store/limits.h"

namespace varnock {

DatePicker::DatePicker(QWidget *parent)
    : QDateEdit(Clock::today(), parent)
{
    setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    setCalendarPopup(true);
    setDateRange(Limits::earliestDate(), Limits::latestDate());
}

} // namespace varnock
