#include "store/clock.h"

#include <QDateTime>
#include <QString>

namespace varnock::Clock {

namespace {

std::optional<QDate> s_today;

struct LocalTime
{
    qint64 second = -1;
    QDate date;
    QTime time;
};

// The local date and time, converted at most once a second of the system clock: each
// conversion asks the system whether its time zone has changed, a file lookup that a posting
// would otherwise make a dozen times.
const LocalTime &localTime()
{
    thread_local LocalTime cached;
    const qint64 second = QDateTime::currentSecsSinceEpoch();
    if (second != cached.second) {
        const QDateTime now = QDateTime::currentDateTime();
        cached = {now.toSecsSinceEpoch(), now.date(), now.time()};
    }
    return cached;
}

} // namespace

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
    return fromEnv.isValid() ? fromEnv : localTime().date;
}

QTime now()
{
    return localTime().time;
}

void setToday(std::optional<QDate> date)
{
    s_today = date;
}

} // namespace varnock::Clock
