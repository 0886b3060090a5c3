#pragma once

#include <QDate>
#include <QStringList>
#include <QVariantList>

#include <initializer_list>
#include <optional>
#include <utility>

namespace varnock {

class Database;

// What every voucher family shares: the closing that seals earlier dates, the numbers a new
// voucher draws, the date texts of the voucher tables and the lists the combos offer.
class VoucherBook
{
public:
    explicit VoucherBook(Database &db);

    // Refuses ("请选做月结处理！！！") while no month has been closed: vouchers are entered
    // only after the books' first closing.
    void checkCanOpen() const;
    std::optional<QDate> latestClosing() const;
    // The condition dialogs' start date: the latest closing, or the first of this month.
    QDate finderStart() const;

    // MAX(XTBH) + 1 of voucher table `table` (fixed names, never input); 1 when empty.
    qint64 nextSystemNumber(const QString &table,
                            const QString &column = QStringLiteral("XTBH")) const;
    // Today's date, " - " and one more than the greatest running number among this month's
    // YSDJH in `table` (the month alone decides, whatever the year and the kind, as the store
    // has always numbered), or " - 1001" when there is none. This month's YSDJH are those of
    // lines dated this month, and those drawn this month for lines dated in the month before
    // (still open until its closing). `table` is RKD or LLD, whose lines keep the running
    // number in YSXH.
    QString monthlyDocumentNumber(const QString &table) const;
    // Whether `number` is one of this month's YSDJH in `table`.
    bool isMonthsDocumentNumber(const QString &table, const QString &number) const;
    // Whether `number` is the document number of a line of `table`, THD or TKD.
    bool numberUsed(const QString &table, const QString &number) const;
    // The greatest running number at the end of the document numbers of `table`, THD or TKD,
    // compared as a number: a text comparison would put "99999" after "100000", or an
    // earlier day's greater number before a later day's, and hand out a number twice. The
    // lines keep the running number in THXH.
    std::optional<qint64> greatestRunningNumber(const QString &table) const;
    // The non-blank texts of the first column of `sql`, for a combo.
    QStringList texts(const QString &sql, const QVariantList &values = {}) const;

    // What every family refuses a voucher date outside the bounds every date keeps with;
    // nullopt within them.
    static std::optional<QString> dateProblem(const QDate &date);
    // The Yes/No question asked before a voucher dated after today is saved: no month-end can
    // close the books before that day. nullopt for today and earlier.
    static std::optional<QString> laterDateQuestion(const QDate &date);

    static QString dateText(const QDate &date);
    static QDate dateOf(const QVariant &value);
    // Whether `number` has the shape of a drawn number: a date, a separator, a running number.
    static bool looksDrawn(const QString &number);

private:
    Database &m_db;
};

// The finders' conditions as an SQL condition with its bound values.
class FinderConditions
{
public:
    using Field = std::pair<const char *, QString>; // a fixed field name, its value

    FinderConditions() = default;
    // Each field equal to its value (empty ones add nothing), and `dateField` from `from` to
    // `to`.
    FinderConditions(std::initializer_list<Field> fields, const char *dateField, const QDate &from,
                     const QDate &to);

    // field = value; an empty value adds nothing.
    void equal(const QString &field, const QString &value);
    // The inclusive date range.
    void between(const QString &field, const QDate &from, const QDate &to);
    // The field's month is today's, whatever the year.
    void currentMonth(const QString &field);
    // A condition the program writes itself, never one made of input.
    void require(const QString &condition);

    QString where() const { return m_where.join(QStringLiteral(" AND ")); }
    const QVariantList &values() const { return m_values; }

private:
    QStringList m_where;
    QVariantList m_values;
};

} // namespace varnock
