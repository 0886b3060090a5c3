#include "store/documentnumbers.h"

#include "store/decimal.h"

#include <array>

namespace varnock {

std::optional<qint64> DocumentNumbers::runningNumberOf(const QString &number)
{
    const QString text = number.trimmed();
    qsizetype start = text.size();
    while (start > 0 && text.at(start - 1).isDigit() && text.at(start - 1).unicode() < 128)
        --start;
    bool ok = false;
    const qint64 value = text.mid(start).toLongLong(&ok);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

std::optional<qint64> DocumentNumbers::countedRunningNumber(const QString &number)
{
    if (number.size() < 5 || !Decimal::parse(number.right(5)))
        return std::nullopt;
    return runningNumberOf(number);
}

QVariant DocumentNumbers::RunningCopy::of(const QVariant &number) const
{
    std::optional<qint64> running;
    if (!number.isNull()) {
        running =
            monthly ? countedRunningNumber(number.toString()) : runningNumberOf(number.toString());
    }
    return running ? *running : NotCounted;
}

namespace {

constexpr std::array<DocumentNumbers::RunningCopy, 4> Copies{{
    {"RKD", "YSDJH", "YSXH", true},
    {"LLD", "YSDJH", "YSXH", true},
    {"THD", "THDJH", "THXH", false},
    {"TKD", "THDJH", "THXH", false},
}};

} // namespace

std::span<const DocumentNumbers::RunningCopy> DocumentNumbers::runningCopies()
{
    return Copies;
}

const DocumentNumbers::RunningCopy *DocumentNumbers::runningCopyOf(const QString &table)
{
    for (const RunningCopy &copy : Copies) {
        if (table.compare(QLatin1String(copy.table), Qt::CaseInsensitive) == 0)
            return &copy;
    }
    return nullptr;
}

} // namespace varnock
