#include "widgets/numericvalidator.h"

namespace varnock {

NumericValidator::NumericValidator(int decimals, bool allowNegative, QObject *parent)
    : QValidator(parent)
    , m_decimals(decimals)
    , m_allowNegative(allowNegative)
{}

void NumericValidator::setDecimals(int decimals)
{
    if (m_decimals == decimals)
        return;
    m_decimals = decimals;
    emit changed();
}

void NumericValidator::setAllowNegative(bool allow)
{
    if (m_allowNegative == allow)
        return;
    m_allowNegative = allow;
    emit changed();
}

void NumericValidator::setFigure(Limits::Figure figure)
{
    if (m_figure == figure)
        return;
    m_figure = figure;
    emit changed();
}

QValidator::State NumericValidator::validate(QString &input, int &) const
{
    int integerDigits = 0;
    int fractionDigits = 0;
    bool point = false;
    for (qsizetype i = 0; i < input.size(); ++i) {
        const QChar c = input.at(i);
        if (c == u'-') {
            if (i != 0 || !m_allowNegative)
                return Invalid;
        } else if (c == u'.') {
            if (point || m_decimals == 0)
                return Invalid;
            point = true;
        } else if (c >= u'0' && c <= u'9') {
            if (point)
                ++fractionDigits;
            else
                ++integerDigits;
        } else {
            return Invalid;
        }
    }
    if (m_decimals >= 0 && fractionDigits > m_decimals)
        return Invalid;
    if (input.isEmpty())
        return Acceptable;
    if (integerDigits + fractionDigits == 0)
        return Intermediate;
    const std::optional<Decimal> value = Decimal::parse(input);
    if (!value || Limits::figureProblem(m_figure, *value))
        return Invalid;
    return Acceptable;
}

} // namespace varnock
