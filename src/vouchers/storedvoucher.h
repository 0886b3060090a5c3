#pragma once

#include "ledger/posting.h"

#include <QList>
#include <QString>
#include <QVariantList>

#include <optional>

namespace varnock {

class Database;

// A voucher exactly as its table holds it: every line, reversed lines and their mirrors
// included, with the stored figures and flags under the table's own field names. What the
// command line shows; a check that the screens saved what they showed.
struct StoredVoucher
{
    enum class Kind { Text, Integer, Quantity, Amount, Flag };
    struct Column
    {
        QString name;
        Kind kind;
    };

    QString table;
    QList<Column> header; // from the voucher's first line
    QVariantList headerValues;
    QList<Column> columns;
    QList<QVariantList> lines;

    // nullopt when the table has no line of voucher `xtbh`.
    static std::optional<StoredVoucher> load(Database &db, Posting::Family family, qint64 xtbh);
    // The kind (ZL) of line `lineId` of the family's table; nullopt when there is no such line.
    static std::optional<QString> kindOfLine(Database &db, Posting::Family family, qint64 lineId);
};

} // namespace varnock
