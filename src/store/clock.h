#pragma once

#include <QDate>
#include <QTime>

#include <optional>

namespace varnock {

// The one source of "today". VARNOCK_TODAY=yyyy-MM-dd in the environment overrides the
// system date (tests, command line, demos); tests may also set it directly.
namespace Clock {

QDate today();
// The local time of day; callers within the same second of the system clock get the same value.
QTime now();
void setToday(std::optional<QDate> date);

} // namespace Clock
} // namespace varnock
