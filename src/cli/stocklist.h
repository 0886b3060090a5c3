#pragma once

#include "store/decimal.h"

#include <QList>
#include <QString>

#include <optional>

namespace varnock {
class Database;
}

namespace varnock::cli {

// The stock table KC as the command line lists it, with each material's name.
class StockList
{
public:
    struct Row
    {
        QString clbh;
        QString clmc;
        QString clgg;
        QString jzdw;
        Decimal kcsl;
        Decimal kcje;
    };

    // Every KC row in code order, or the one of `clbh`.
    static QList<Row> read(Database &db, const std::optional<QString> &clbh);
};

} // namespace varnock::cli
