#include "store/documentnumbers.h"

#include "store/decimal.h"

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

QVariant DocumentNumbers::storedRunningNumber(const QVariant &number)
{
    const std::optional<qint64> running =
        number.isNull() ? std::nullopt : countedRunningNumber(number.toString());
    return running ? *running : NotCounted;
}

} // namespace varnock
