#pragma once

#include <QValidator>

namespace varnock {

// Plain decimal numbers typed by hand: digits, at most one '.', a leading '-' only where
// negative values are allowed. Anything else is refused at the keystroke. Empty is
// acceptable (a cleared cell); "-" and "." alone are not finished yet.
class NumericValidator : public QValidator
{
    Q_OBJECT

public:
    // decimals: digits allowed after the point, -1 for any number (conversion factors).
    explicit NumericValidator(int decimals = 2, bool allowNegative = false,
                              QObject *parent = nullptr);

    int decimals() const { return m_decimals; }
    void setDecimals(int decimals);
    bool allowNegative() const { return m_allowNegative; }
    void setAllowNegative(bool allow);

    State validate(QString &input, int &pos) const override;

    // More integer digits than this could overflow the stored fixed-point value.
    static constexpr int MaxIntegerDigits = 14;

private:
    int m_decimals;
    bool m_allowNegative;
};

} // namespace varnock
