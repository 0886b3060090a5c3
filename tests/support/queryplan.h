#pragma once

#include "store/database.h"

#include <QStringList>

namespace varnock::test {

// The lines of SQLite's query plan for `sql` ("SEARCH RKD USING INDEX …"), its parameters
// left unbound (they plan as NULL).
QStringList queryPlan(Database &db, const QString &sql);

} // namespace varnock::test
