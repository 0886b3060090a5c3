#pragma once

#include "store/decimal.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace varnock {

class Database;

// The rows of the material lookup: catalogue leaves with their stock and conversion.
class MaterialLookup
{
public:
    enum class By { All, Code, Name };

    struct Row
    {
        QString clbh;
        QString clmc;
        QString clgg;
        QString jzdw;
        Decimal jhdj;      // planned unit price
        bool jjfs = false; // carried at the planned price
        QString hsdw;      // conversion unit
        double hsxs = 0;   // conversion factor
        Decimal kcsl;      // stock quantity (zero without a stock row)
        Decimal kcje;      // stock amount
        // Stock amount ÷ stock quantity; none while the quantity is zero.
        std::optional<Decimal> stockPrice() const;
        // Only goods on hand can be issued.
        bool mayBeIssued() const { return kcsl > Decimal(); }
    };

    explicit MaterialLookup(Database &db);

    // All leaves ordered by code; by code prefix (ordered by code) or by name prefix
    // (ordered by name). The text matches literally, '%' and '_' included.
    QList<Row> search(By by = By::All, const QString &text = QString()) const;
    // One leaf by its exact code.
    std::optional<Row> find(const QString &clbh) const;
    // The leaves of several exact codes, read together, by code; a code that names no leaf
    // is not among them.
    QHash<QString, Row> find(const QStringList &codes) const;

private:
    Database &m_db;
};

} // namespace varnock
