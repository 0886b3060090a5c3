#pragma once

#include "store/decimal.h"

#include <QString>

namespace varnock {

// The quantity and amount display formats ("0" … "0.0000", default "0.00"). Every computed
// quantity or amount is rounded to its format's decimals, half away from zero, here and
// nowhere else.
class Formats
{
public:
    static const QString DefaultFormat; // "0.00"

    Formats() = default;
    Formats(const QString &quantityFormat, const QString &amountFormat);

    // Decimals of a format text "0", "0.0", …, "0.0000"; any other text counts as "0.00".
    static int decimalsOf(const QString &format);
    // The format text for 0–4 decimals.
    static QString formatFor(int decimals);

    QString quantityFormat() const { return formatFor(m_quantityDecimals); }
    QString amountFormat() const { return formatFor(m_amountDecimals); }
    int quantityDecimals() const { return m_quantityDecimals; }
    int amountDecimals() const { return m_amountDecimals; }

    Decimal roundQuantity(Decimal value) const { return value.rounded(m_quantityDecimals); }
    Decimal roundAmount(Decimal value) const { return value.rounded(m_amountDecimals); }
    // Quantity × unit price as the ledger values a movement at a fixed price (a planned
    // price): the product rounded to the amount format, as SMUL(quantity, price, decimals).
    Decimal amountAt(Decimal quantity, Decimal unitPrice) const
    {
        return roundAmount(quantity * unitPrice);
    }
    QString quantityText(Decimal value) const { return value.toString(m_quantityDecimals); }
    QString amountText(Decimal value) const { return value.toString(m_amountDecimals); }

private:
    int m_quantityDecimals = 2;
    int m_amountDecimals = 2;
};

} // namespace varnock
