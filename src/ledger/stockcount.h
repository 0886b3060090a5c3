#pragma once

#include "ledger/operationstep.h"
#include "store/decimal.h"
#include "store/formats.h"

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

namespace varnock {

class Database;

// The stock count (库存盘点): the book stock of every material beside what was counted, and
// the booking of the differences. A surplus or deficit is one PYK row (the quantity and amount
// it changes, positive for a surplus) and KC is set to the counted quantity.
//
// Moving average values both at the book average. First in first out takes a deficit through
// the cost engine as an issue line without a voucher number (kind "1", posted), so that it
// draws the oldest layers, and books one PYK row per layer price it drew; a surplus becomes a
// posted receipt layer without a voucher number at the counted unit price. A planned-price
// material moves at its planned price in both modes.
class StockCount
{
public:
    // The book stock of one material as the count grid shows it; a planned-price material's
    // amount is its quantity at plan.
    struct Row
    {
        QString clbh;
        QString clmc;
        QString clgg;
        QString jzdw;
        Decimal kcsl;
        Decimal kcje;
    };

    // What the find button restricts the grid to. Comparisons are one of =, <>, >, >=, <, <=.
    struct Filter
    {
        enum class By { All, Code, Name };
        By by = By::All;
        QString text; // code or name prefix, matched literally
        QString quantityOperator;
        Decimal quantity;
        QString amountOperator;
        Decimal amount;
    };

    // One counted line. Under first in first out a surplus enters at `unitPrice` (zero when
    // none was typed); a planned-price material always at its planned price.
    struct Counted
    {
        QString clbh;
        Decimal quantity;
        Decimal unitPrice;
    };

    // A difference as booked.
    struct Booked
    {
        QString clbh;
        Decimal book;     // the book quantity before the count
        Decimal quantity; // PDSL: counted − book
        Decimal amount;   // PDJE, with the sign of the quantity
    };

    // The informations shown when a comparison is chosen without a value: it compares with 0.
    static const QString NoQuantityText;
    static const QString NoAmountText;
    static const QStringList Operators;

    StockCount(Database &db, int accountingMode, const Formats &formats);

    // Every material in KC, by code, restricted by `filter`. An operator outside Operators is
    // refused.
    QList<Row> rows(const Filter &filter) const;
    QList<Row> rows() const;

    // The refusal of a count booked on `day`: a closing on or after it.
    QList<OperationStep> steps(const QDate &day) const;

    // Books every line whose counted quantity differs from the book (read again from KC) and
    // returns what was booked. Lines equal to the book write nothing. One transaction: a
    // refused line (a deficit the layers cannot cover) leaves nothing written.
    QList<Booked> save(const QList<Counted> &lines, const QDate &day);

private:
    struct Book;
    std::optional<Book> book(const QString &clbh) const;
    Booked bookAverage(const Book &b, const Counted &line, const QString &day);
    Booked bookDeficit(const Book &b, const Counted &line, const QString &day);
    Booked bookSurplus(const Book &b, const Counted &line, const QString &day);

    Database &m_db;
    int m_mode;
    Formats m_formats;
};

} // namespace varnock
