#pragma once

#include <QDate>
#include <QTime>

#include <optional>

namespace varnock {

// The one source of "today". VARNOCK_TODAY=yyyy-MM-dd in the environment overrides the
// system date (tests, command line, demos); tests may also set it directly.
namespace Clock {

QDate today();
QTime now();
void setToday(std::optional<QDate> date);

} // namespace Clock
} // namespace varnock
