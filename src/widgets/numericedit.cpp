#include "widgets/numericedit.h"

#include "widgets/numericvalidator.h"

namespace varnock {

NumericEdit::NumericEdit(QWidget *parent)
    : NumericEdit(2, false, parent)
{}

NumericEdit::NumericEdit(int decimals, bool allowNegative, QWidget *parent)
    : QLineEdit(parent)
    , m_validator(new NumericValidator(decimals, allowNegative, this))
{
    setValidator(m_validator);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

int NumericEdit::decimals() const
{
    return m_validator->decimals();
}

void NumericEdit::setDecimals(int decimals)
{
    m_validator->setDecimals(decimals);
}

bool NumericEdit::allowNegative() const
{
    return m_validator->allowNegative();
}

void NumericEdit::setAllowNegative(bool allow)
{
    m_validator->setAllowNegative(allow);
}

void NumericEdit::setFigure(Limits::Figure figure)
{
    m_validator->setFigure(figure);
}

std::optional<Decimal> NumericEdit::value() const
{
    return Decimal::parse(text());
}

void NumericEdit::setValue(Decimal value)
{
    const int places = decimals();
    setText(places >= 0 ? value.toString(qMin(places, int(Decimal::Places))) : value.toString());
}

} // namespace varnock
