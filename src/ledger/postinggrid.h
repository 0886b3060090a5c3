#pragma once

#include <QList>
#include <QStringList>

class QSqlQuery;

namespace varnock {

class Formats;

// What one grid of a posting screen shows: column headers, the display texts of each row and
// the key each row stands for (a voucher's XTBH in the voucher list, a line's ID in the line
// list).
struct PostingGrid
{
    QStringList columns;
    QList<QStringList> rows;
    QList<qint64> keys;
    // Columns holding figures, shown right-aligned.
    QList<bool> numeric;

    // Takes the rows of `q`: the key first, then one column per letter of `kinds` (T text,
    // Q quantity, A amount), figures in the set's formats.
    void fill(QSqlQuery &q, const Formats &formats, const char *kinds);
};

} // namespace varnock
