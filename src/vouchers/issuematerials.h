#pragma once

#include "master/materiallookup.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace varnock {

class Database;

// The rows of the issue material picker: catalogue leaves with their stock and conversion.
class IssueMaterials
{
public:
    enum class By { All, Code, Name };

    using Row = MaterialLookup::Row;

    explicit IssueMaterials(Database &db);

    // What the picker shows on opening: the materials with stock (quantity and amount both
    // non-zero), ordered by code.
    QList<Row> inStock() const;
    // Leaves with their stock, all or by code or name prefix (matched literally), by code.
    QList<Row> search(By by, const QString &text = QString()) const;
    // One leaf by its exact code.
    std::optional<Row> find(const QString &clbh) const;
    // The texts the picker's value combo offers: every leaf's code or name.
    QStringList values(By by) const;

private:
    QList<Row> rows(const QString &where, const QVariantList &values) const;

    Database &m_db;
};

} // namespace varnock
