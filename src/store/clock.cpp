#include "store/clock.h"

#include <QString>

namespace varnock::Clock {

namespace {
std::optional<QDate> s_today;
}

QDate today()
{
    if (s_today)
        return *s_today;
    const QString fromEnv = qEnvironmentVariable("VARNOCK_TODAY");
    if (!fromEnv.isEmpty()) {
        const QDate d = QDate::fromString(fromEnv, QStringLiteral("yyyy-MM-dd"));
        if (d.isValid())
            return d;
    }
    return QDate::currentDate();
}

QTime now()
{
    return QTime::currentTime();
}

void setToday(std::optional<QDate> date)
{
    s_today = date;
}

} // namespace varnock::Clock
