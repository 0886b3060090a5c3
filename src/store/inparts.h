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
// part's rows. A short list runs the one-value statement once a value. The parts' rows come
// in no order across parts: `read` collects them by key.
void queryInParts(const Database &db, const QVariantList &values,
                  const std::function<QString(qsizetype)> &sqlOf,
                  const std::function<void(Query &)> &read);

} // namespace varnock
