#include "widgets/datepicker.h"

#include "store/clock.h"

namespace varnock {

DatePicker::DatePicker(QWidget *parent)
    : QDateEdit(Clock::today(), parent)
{
    setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    setCalendarPopup(true);
}

} // namespace varnock
