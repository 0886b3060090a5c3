#include "store/formats.h"

namespace varnock {

const QString Formats::DefaultFormat = QStringLiteral("0.00");

Formats::Formats(const QString &quantityFormat, const QString &amountFormat)
    : m_quantityDecimals(decimalsOf(quantityFormat))
    , m_amountDecimals(decimalsOf(amountFormat))
{}

int Formats::decimalsOf(const QString &format)
{
    // The format comes from a one-line settings file; a stray space or line end is no reason
    // to fall back to the default.
    const QString text = format.trimmed();
    for (int d = 0; d <= Decimal::Places; ++d) {
        if (text == formatFor(d))
            return d;
    }
    return 2;
}

QString Formats::formatFor(int decimals)
{
    if (decimals <= 0)
        return QStringLiteral("0");
    if (decimals > Decimal::Places)
        decimals = Decimal::Places;
    return QStringLiteral("0.") + QString(decimals, QLatin1Char('0'));
}

} // namespace varnock
