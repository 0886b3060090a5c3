#pragma once

#include <QString>
#include <QVariant>

#include <optional>
#include <span>

namespace varnock {

// The running number at the end of a voucher's document number ("2026-03-10 - 1001" → 1001),
// and the copy of it that the lines of every numbered voucher table keep beside the number, so
// that a new voucher's number is found along an index instead of by reading every number.
namespace DocumentNumbers {

// All the trailing ASCII digits read as a number; nullopt when there are none (or too many).
std::optional<qint64> runningNumberOf(const QString &number);
// What a month's numbering counts: the running number of a document number whose last five
// characters read as a number, nullopt for any other.
std::optional<qint64> countedRunningNumber(const QString &number);
// The copy stored for a number that counts for nothing.
constexpr qint64 NotCounted = -1;

// A voucher table whose lines keep the running number of their document number.
struct RunningCopy
{
    const char *table;
    const char *numberColumn; // the document number
    const char *copyColumn;   // its running number
    // Numbered by month (the stock-in and issue lines): only what the month's numbering
    // counts is copied. Otherwise (the returns, numbered on from the greatest number ever)
    // every trailing number is.
    bool monthly;

    // The copy stored beside `number`: its running number, or NotCounted.
    QVariant of(const QVariant &number) const;
};

// RKD and LLD (YSDJH, YSXH), THD and TKD (THDJH, THXH).
std::span<const RunningCopy> runningCopies();
// The copy kept by `table`'s lines; nullptr for a table that keeps none.
const RunningCopy *runningCopyOf(const QString &table);

} // namespace DocumentNumbers
} // namespace varnock
