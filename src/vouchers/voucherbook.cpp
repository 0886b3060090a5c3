#include "vouchers/voucherbook.h"

#include "store/clock.h"
#include "store/database.h"
#include "store/decimal.h"
#include "store/errors.h"
#include "store/limits.h"

#include <QRegularExpression>
#include <QSqlQuery>

namespace varnock {
namespace {

const QString DateFormat = QStringLiteral("yyyy-MM-dd");

} // namespace

VoucherBook::VoucherBook(Database &db)
    : m_db(db)
{}

void VoucherBook::checkCanOpen() const
{
    if (m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM YJSJB")).toLongLong() == 0)
        throw Refusal(QStringLiteral("提示窗口"), QStringLiteral("请选做月结处理！！！"));
}

std::optional<QDate> VoucherBook::latestClosing() const
{
    const QDate date = dateOf(m_db.scalar(QStringLiteral("SELECT MAX(YJSJ) FROM YJSJB")));
    return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

QDate VoucherBook::finderStart() const
{
    if (const std::optional<QDate> closing = latestClosing())
        return *closing;
    const QDate today = Clock::today();
    return QDate(today.year(), today.month(), 1);
}

qint64 VoucherBook::nextSystemNumber(const QString &table) const
{
    return m_db.scalar(QStringLiteral("SELECT MAX(XTBH) FROM %1").arg(table)).toLongLong() + 1;
}

QString VoucherBook::monthlyDocumentNumber(const QString &table) const
{
    // A number counts when its last five characters read as a number; its running number is
    // all of its trailing digits, compared as a number: the greatest text is the latest day's,
    // which need not hold the greatest number.
    std::optional<qint64> greatest;
    for (const QString &number : monthsDocumentNumbers(table)) {
        if (number.size() < 5 || !Decimal::parse(number.right(5)))
            continue;
        const std::optional<qint64> running = runningNumberOf(number);
        if (running && (!greatest || *running > *greatest))
            greatest = running;
    }
    return dateText(Clock::today()) + QStringLiteral(" - ") +
           QString::number(greatest ? *greatest + 1 : 1001);
}

QStringList VoucherBook::monthsDocumentNumbers(const QString &table) const
{
    const QDate today = Clock::today();
    const QString drawnThisMonth = today.toString(QStringLiteral("yyyy-MM-"));
    // Both months along the index of month and number.
    QSqlQuery q = m_db.exec(
        QStringLiteral("SELECT DISTINCT SUBSTR(CZRQ, 6, 2), YSDJH FROM %1 "
                       "WHERE SUBSTR(CZRQ, 6, 2) IN (?, ?)")
            .arg(table),
        {today.toString(QStringLiteral("MM")), today.addMonths(-1).toString(QStringLiteral("MM"))});
    const QString month = today.toString(QStringLiteral("MM"));
    QStringList numbers;
    while (q.next()) {
        const QString number = q.value(1).toString();
        if (q.value(0).toString() == month || number.startsWith(drawnThisMonth))
            numbers.append(number);
    }
    return numbers;
}

bool VoucherBook::numberUsed(const QString &table, const QString &column,
                             const QString &number) const
{
    return m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2 = ?").arg(table, column),
                       {number})
               .toLongLong() > 0;
}

std::optional<qint64> VoucherBook::greatestRunningNumber(const QString &table,
                                                         const QString &column) const
{
    QSqlQuery q = m_db.exec(QStringLiteral("SELECT DISTINCT %1 FROM %2").arg(column, table));
    std::optional<qint64> greatest;
    while (q.next()) {
        const std::optional<qint64> n = runningNumberOf(q.value(0).toString());
        if (n && (!greatest || *n > *greatest))
            greatest = n;
    }
    return greatest;
}

QStringList VoucherBook::texts(const QString &sql, const QVariantList &values) const
{
    QSqlQuery q = m_db.exec(sql, values);
    QStringList texts;
    while (q.next()) {
        const QString text = q.value(0).toString();
        if (!text.trimmed().isEmpty())
            texts.append(text);
    }
    return texts;
}

std::optional<QString> VoucherBook::dateProblem(const QDate &date)
{
    if (Limits::dateInRange(date))
        return std::nullopt;
    return QStringLiteral("凭单") + Limits::dateRangeText();
}

std::optional<QString> VoucherBook::laterDateQuestion(const QDate &date)
{
    const QDate today = Clock::today();
    if (!date.isValid() || date <= today)
        return std::nullopt;
    return QStringLiteral("凭单日期%1晚于今天（%2），在该日期之前将无法做月结处理。\n"
                          "您确定要使用该日期吗？")
        .arg(dateText(date), dateText(today));
}

QString VoucherBook::dateText(const QDate &date)
{
    return date.toString(DateFormat);
}

QDate VoucherBook::dateOf(const QVariant &value)
{
    return QDate::fromString(value.toString().left(10), DateFormat);
}

std::optional<qint64> VoucherBook::runningNumberOf(const QString &number)
{
    const QString text = number.trimmed();
    qsizetype start = text.size();
    while (start > 0 && text.at(start - 1).isDigit() && text.at(start - 1).unicode() < 128)
        --start;
    bool ok = false;
    const qint64 value = text.mid(start).toLongLong(&ok);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

bool VoucherBook::looksDrawn(const QString &number)
{
    static const QRegularExpression drawn(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}( - |  | )\\d+$"));
    return drawn.match(number.trimmed()).hasMatch();
}

FinderConditions::FinderConditions(std::initializer_list<Field> fields, const char *dateField,
                                   const QDate &from, const QDate &to)
{
    for (const auto &[field, value] : fields)
        equal(QString::fromLatin1(field), value);
    between(QString::fromLatin1(dateField), from, to);
}

void FinderConditions::equal(const QString &field, const QString &value)
{
    if (value.trimmed().isEmpty())
        return;
    m_where.append(field + QStringLiteral(" = ?"));
    m_values.append(value.trimmed());
}

void FinderConditions::between(const QString &field, const QDate &from, const QDate &to)
{
    m_where.append(field + QStringLiteral(" BETWEEN ? AND ?"));
    m_values.append(VoucherBook::dateText(from));
    m_values.append(VoucherBook::dateText(to));
}

void FinderConditions::currentMonth(const QString &field)
{
    m_where.append(QStringLiteral("SUBSTR(%1, 6, 2) = ?").arg(field));
    m_values.append(Clock::today().toString(QStringLiteral("MM")));
}

void FinderConditions::require(const QString &condition)
{
    m_where.append(condition);
}

} // namespace varnock
