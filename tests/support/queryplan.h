#pragma once

#include "store/database.h"

#include <QMap>
#include <QStringList>

#include <functional>

struct sqlite3;

namespace varnock::test {

// The lines of SQLite's query plan for `sql` ("SEARCH RKD USING INDEX …"), its parameters
// left unbound (they plan as NULL).
QStringList queryPlan(Database &db, const QString &sql);

// What one statement did when it ran, from SQLite's own counters.
struct Ran
{
    QString sql;
    int fullScanSteps = 0;
    int sorts = 0;
    int autoIndexes = 0;
};

// Collects every statement that finishes on the connection while `run` is inside `work`.
class StatementRecorder
{
public:
    explicit StatementRecorder(Database &db);

    void run(const std::function<void()> &work);

    // One entry per distinct statement text, counters added up.
    QList<Ran> statements() const { return m_ran.values(); }

private:
    static int finished(unsigned, void *self, void *p, void *);

    sqlite3 *m_handle;
    QMap<QString, Ran> m_ran;
};

// Whether a statement reads or writes data (not BEGIN, COMMIT, a pragma).
bool isData(const QString &sql);

} // namespace varnock::test
