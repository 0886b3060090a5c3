#pragma once

#include "store/limits.h"

#include <QValidator>

namespace varnock {

// Plain decimal numbers typed by hand: digits, at most one '.', a leading '-' only where
// negative values are allowed, and no more than the figure's bound (Limits) in magnitude.
// Anything else is refused at the keystroke. Empty is acceptable (a cleared cell); "-" and
// "." alone are not finished yet. Until told otherwise a figure is bounded as a price, the
// smallest bound: two such figures multiplied stay exact.
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
    Limits::Figure figure() const { return m_figure; }
    void setFigure(Limits::Figure figure);

    State validate(QString &input, int &pos) const override;

private:
    int m_decimals;
    bool m_allowNegative;
    Limits::Figure m_figure = Limits::Figure::Price;
};

} // namespace varnock
