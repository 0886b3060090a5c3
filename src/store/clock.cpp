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
    // Read on every call, so that a change of the environment counts; parsed once a value.
    thread_local QByteArray seen;
    thread_local QDate fromEnv;
    const QByteArray value = qgetenv("VARNOCK_TODAY");
    if (value != seen) {
        seen = value;
        fromEnv = QDate::fromString(QString::fromLocal8Bit(value), QStringLiteral("yyyy-MM-dd"));
    }
    return fromEnv.isValid() ? fromEnv : QDate::currentDate();
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
