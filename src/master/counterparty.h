#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace varnock {

// One row of the supplier and unit pickers, as the voucher screens take it over: code and
// name, with the address, contact and telephone shown to help the choice. For a supplier
// the contact is its legal representative (FR) and the telephone LXDH.
struct Counterparty
{
    QString code;
    QString name;
    QString address;
    QString contact;
    QString phone;
};

// A code field's picker: the chosen row, nullopt when cancelled.
using CounterpartyPick = std::function<std::optional<Counterparty>()>;

// How a picker searches: everything, by code prefix or by name prefix.
enum class CounterpartySearch { All, ByCode, ByName };

class Database;

// The picker queries shared by suppliers (GYS) and consuming units (LLDW). `table` is one of
// those two names and `columns` the five picker columns in Counterparty's order, never user
// text; the search text is bound and its wildcards match literally.
namespace CounterpartyQueries {

QList<Counterparty> search(const Database &db, const QString &table, const QString &columns,
                           CounterpartySearch by, const QString &text);
// The drop-down values of a search field: every code, or every distinct name.
QStringList values(const Database &db, const QString &table, CounterpartySearch by);

} // namespace CounterpartyQueries

} // namespace varnock
