#include "store/limits.h"

namespace varnock::Limits {
namespace {

const QString DateFormat = QStringLiteral("yyyy-MM-dd");

QString nameOf(Figure figure)
{
    switch (figure) {
    case Figure::Quantity:
        return QStringLiteral("数量");
    case Figure::Price:
        return QStringLiteral("单价");
    case Figure::Amount:
        break;
    }
    return QStringLiteral("金额");
}

} // namespace

Decimal maximum(Figure figure)
{
    switch (figure) {
    case Figure::Quantity:
        return Decimal::fromInt(100'000'000);
    case Figure::Price:
        return Decimal::fromInt(1'000'000);
    case Figure::Amount:
        break;
    }
    return Decimal::fromInt(100'000'000'000);
}

std::optional<QString> figureProblem(Figure figure, Decimal value)
{
    const Decimal bound = maximum(figure);
    if (value <= bound && value >= -bound)
        return std::nullopt;
    return QStringLiteral("%1超出允许范围，其绝对值不能大于%2！")
        .arg(nameOf(figure), bound.toString());
}

QDate earliestDate()
{
    return QDate(1900, 1, 1);
}

QDate latestDate()
{
    return QDate(2999, 12, 31);
}

bool dateInRange(const QDate &date)
{
    return date.isValid() && date >= earliestDate() && date <= latestDate();
}

QString dateRangeText()
{
    return QStringLiteral("日期必须在%1至%2之间！")
        .arg(earliestDate().toString(DateFormat), latestDate().toString(DateFormat));
}

QString overflowText()
{
    return QStringLiteral("计算结果超出数值允许的范围，操作未执行，数据未被修改！\n"
                          "请检查单价、数量和金额是否输入有误。");
}

} // namespace varnock::Limits
