#include "vouchers/voucherbook.h"

#include "store/clock.h"
#include "store/database.h"
#include "store/documentnumbers.h"
#include "store/errors.h"
#include "store/limits.h"
#include "store/query.h"

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

qint64 VoucherBook::nextSystemNumber(const QString &table, const QString &column) const
{
    return m_db.scalar(QStringLiteral("SELECT MAX(%2) FROM %1").arg(table, column)).toLongLong() +
           1;
}

namespace {

// The two months a new number draws from: this month's lines whatever their year, and the
// lines of the month before whose numbers were drawn this month (it stays open until its
// closing); and the numbers drawn this month begin with "yyyy-MM-".
struct NumberingMonths
{
    QString month = Clock::today().toString(QStringLiteral("MM"));
    QString previous = Clock::today().addMonths(-1).toString(QStringLiteral("MM"));
    QString drawnPrefix = Clock::today().toString(QStringLiteral("yyyy-MM-"));

    bool counts(const QString &lineMonth, const QString &number) const
    {
        return lineMonth == month || number.startsWith(drawnPrefix);
    }
    // The numbers beginning with the prefix, as a range along an index: '.' follows '-'.
    QString drawnPrefixEnd() const { return drawnPrefix.chopped(1) + QLatin1Char('.'); }
};

} // namespace

QString VoucherBook::monthlyDocumentNumber(const QString &table) const
{
    const NumberingMonths months;
    std::optional<qint64> greatest;
    const auto consider = [&greatest](const QVariant &running) {
        if (running.isNull() || running.toLongLong() < 0)
            return;
        if (!greatest || running.toLongLong() > *greatest)
            greatest = running.toLongLong();
    };
    // Each line keeps its number's running number in YSXH, read along the index of month and
    // running number; lines whose copy is empty (written by the corrections, or a number
    // changed by hand) are read from the number itself.
    consider(m_db.scalar(QStringLiteral("SELECT YSXH FROM %1 WHERE SUBSTR(CZRQ, 6, 2) = ? "
                                        "AND YSXH IS NOT NULL ORDER BY YSXH DESC LIMIT 1")
                             .arg(table),
                         {months.month}));
    consider(m_db.scalar(QStringLiteral("SELECT MAX(YSXH) FROM %1 WHERE SUBSTR(CZRQ, 6, 2) = ? "
                                        "AND YSDJH >= ? AND YSDJH < ?")
                             .arg(table),
                         {months.previous, months.drawnPrefix, months.drawnPrefixEnd()}));
    // A month at a time: each is one range of the index, where both together would first be
    // sorted into a temporary table.
    const QString withoutCopy = QStringLiteral("SELECT YSDJH FROM %1 "
                                               "WHERE SUBSTR(CZRQ, 6, 2) = ? AND YSXH IS NULL")
                                    .arg(table);
    for (const QString &month : {months.month, months.previous}) {
        Query q = m_db.query(withoutCopy, {month});
        while (q.next()) {
            const QString number = q.value(0).toString();
            if (!months.counts(month, number))
                continue;
            if (const std::optional<qint64> running = DocumentNumbers::countedRunningNumber(number))
                consider(*running);
        }
    }
    return dateText(Clock::today()) + QStringLiteral(" - ") +
           QString::number(greatest ? *greatest + 1 : 1001);
}

bool VoucherBook::isMonthsDocumentNumber(const QString &table, const QString &number) const
{
    const NumberingMonths months;
    Query q = m_db.query(QStringLiteral("SELECT SUBSTR(CZRQ, 6, 2) FROM %1 "
                                        "WHERE SUBSTR(CZRQ, 6, 2) IN (?, ?) AND YSDJH = ?")
                             .arg(table),
                         {months.month, months.previous, number});
    while (q.next()) {
        if (months.counts(q.value(0).toString(), number))
            return true;
    }
    return false;
}

bool VoucherBook::numberUsed(const QString &table, const QString &number) const
{
    // Along the index of the copies: the lines with the number's running number, and those
    // whose copy is empty.
    const DocumentNumbers::RunningCopy &copy = *DocumentNumbers::runningCopyOf(table);
    return m_db
        .scalar(QStringLiteral("SELECT 1 FROM %1 WHERE %2 = ? AND (%3 = ? OR %3 IS NULL) "
                               "LIMIT 1")
                    .arg(table, QLatin1String(copy.numberColumn), QLatin1String(copy.copyColumn)),
                {number, copy.of(number)})
        .isValid();
}

std::optional<qint64> VoucherBook::greatestRunningNumber(const QString &table) const
{
    const DocumentNumbers::RunningCopy &copy = *DocumentNumbers::runningCopyOf(table);
    std::optional<qint64> greatest;
    const QVariant kept = m_db.scalar(
        QStringLiteral("SELECT MAX(%1) FROM %2").arg(QLatin1String(copy.copyColumn), table));
    if (!kept.isNull() && kept.toLongLong() >= 0)
        greatest = kept.toLongLong();
    // Lines whose copy is empty (a number changed by a statement that left the copy alone)
    // are read from the number itself.
    Query q = m_db.query(
        QStringLiteral("SELECT %1 FROM %2 WHERE %3 IS NULL")
            .arg(QLatin1String(copy.numberColumn), table, QLatin1String(copy.copyColumn)));
    while (q.next()) {
        const std::optional<qint64> n = DocumentNumbers::runningNumberOf(q.value(0).toString());
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
    // The stored form is read without the general date parser, which is slow.
    const QString text = value.toString().left(10);
    if (text.size() == 10 && text.at(4) == QLatin1Char('-') && text.at(7) == QLatin1Char('-')) {
        const QDate date = QDate::fromString(text, Qt::ISODate);
        if (date.isValid())
            return date;
    }
    return QDate::fromString(text, DateFormat);
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
