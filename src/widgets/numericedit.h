#pragma once

#include "store/decimal.h"
#include "store/limits.h"

#include <QLineEdit>

#include <optional>

namespace varnock {

class NumericValidator;

// A line edit for numbers (planned prices, conversion factors, grid cells): only digits,
// one '.', and a leading '-' where allowed can be typed.
class NumericEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit NumericEdit(QWidget *parent = nullptr);
    NumericEdit(int decimals, bool allowNegative, QWidget *parent = nullptr);

    int decimals() const;
    void setDecimals(int decimals);
    bool allowNegative() const;
    void setAllowNegative(bool allow);
    // The bound the typed figure keeps (a price's until set).
    void setFigure(Limits::Figure figure);

    // nullopt when empty or unfinished ("-", ".").
    std::optional<Decimal> value() const;
    // Shows the value with the edit's decimals (shortest form when decimals is -1).
    void setValue(Decimal value);

private:
    NumericValidator *m_validator;
};

} // namespace varnock
