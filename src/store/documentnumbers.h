#pragma once

#include <QString>
#include <QVariant>

#include <optional>

namespace varnock {

// The running number at the end of a voucher's document number ("2026-03-10 - 1001" → 1001),
// and the copy of it the stock-in and issue lines keep in YSXH so that a new voucher's number
// is found along an index instead of by reading every number of the month.
namespace DocumentNumbers {

// All the trailing ASCII digits read as a number; nullopt when there are none (or too many).
std::optional<qint64> runningNumberOf(const QString &number);
// What a month's numbering counts: the running number of a document number whose last five
// characters read as a number, nullopt for any other.
std::optional<qint64> countedRunningNumber(const QString &number);
// The YSXH of a line with document number `number`: its counted running number, or
// NotCounted.
constexpr qint64 NotCounted = -1;
QVariant storedRunningNumber(const QVariant &number);

} // namespace DocumentNumbers
} // namespace varnock
