#pragma once

#include "store/decimal.h"

#include <QDate>
#include <QString>

#include <optional>

namespace varnock {

// The bounds of what may be entered. Figures are bounded so that no product of an entered
// quantity and price, and no sum of many entered amounts, can leave the exact range of
// Decimal (about 9.2 × 10^14): 10^8 × 10^6 stays below it with room for the sums. Dates are
// bounded so that every date stays a four-digit year the books can sort and close.
namespace Limits {

enum class Figure { Quantity, Price, Amount };

// The greatest magnitude a figure of the kind may have.
Decimal maximum(Figure figure);
// The refusal text for a figure out of its bounds ("数量超出允许范围…"); nullopt within them.
std::optional<QString> figureProblem(Figure figure, Decimal value);

QDate earliestDate(); // 1900-01-01
QDate latestDate();   // 2999-12-31
bool dateInRange(const QDate &date);
// "日期必须在1900-01-01至2999-12-31之间！"
QString dateRangeText();

// What an operation answers when a computation inside it still leaves the exact range.
QString overflowText();

} // namespace Limits
} // namespace varnock
