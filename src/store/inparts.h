#pragma once

#include <QString>
#include <QVariantList>

#include <functional>

namespace varnock {

class Database;
class Query;

// The places of `count` bound values, "?,?,…".
QString placesOf(qsizetype count);

// Runs a statement over `values` a part at a time, few enough values a statement for every
// engine: `sqlOf` gives the statement of a part of so many values, and `read` walks each
// part's rows.
void queryInParts(const Database &db, const QVariantList &values,
                  const std::function<QString(qsizetype)> &sqlOf,
                  const std::function<void(Query &)> &read);

} // namespace varnock
