#pragma once

#include "store/decimal.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QVariant>

namespace varnock {

// Reads the columns of a result's current row, from the first on, into fields by their
// types:
//     readRow(q, row.xtbh, row.posted, row.czrq, row.ysdjh);
// A bool is a flag (any non-zero value is true, an ID too), a date a 'yyyy-MM-dd' text whatever
// time follows it, a Decimal a stored figure. Skip passes over a column.
struct Skip
{
};

inline void readField(const QVariant &value, QString &field)
{
    field = value.toString();
}
inline void readField(const QVariant &value, qint64 &field)
{
    field = value.toLongLong();
}
inline void readField(const QVariant &value, bool &field)
{
    field = value.toLongLong() != 0;
}
inline void readField(const QVariant &value, double &field)
{
    field = value.toDouble();
}
inline void readField(const QVariant &value, Decimal &field)
{
    field = Decimal::fromVariant(value);
}
inline void readField(const QVariant &value, QDate &field)
{
    field = QDate::fromString(value.toString().left(10), QStringLiteral("yyyy-MM-dd"));
}
inline void readField(const QVariant &, Skip &&) {}

// The same from column `first` on.
template <typename Result, typename... Fields>
void readRowAt(const Result &q, int first, Fields &&...fields)
{
    int column = first;
    (readField(q.value(column++), std::forward<Fields>(fields)), ...);
}

template <typename Result, typename... Fields> void readRow(const Result &q, Fields &&...fields)
{
    readRowAt(q, 0, std::forward<Fields>(fields)...);
}

// Every row of a result, each read into the given members of a new Row:
//     readRows<ListRow>(q, &ListRow::xtbh, &ListRow::posted, &ListRow::czrq);
template <typename Row, typename Result, typename... T>
QList<Row> readRows(Result &&q, T Row::*...members)
{
    QList<Row> rows;
    while (q.next()) {
        Row row;
        readRow(q, (row.*members)...);
        rows.append(row);
    }
    return rows;
}

} // namespace varnock
