#pragma once

#include "ledger/operationstep.h"
#include "store/formats.h"

#include <QDate>
#include <QList>
#include <QString>

#include <functional>

namespace varnock {

class Database;

// Month-end closing: seals the period ending on the closing day (always today). Records the
// closing in YJSJB, freezes KC into YJKCB and, under first in first out, the stock held at
// each unit price into XJXCYJKCB, and stores what moved in the period (ClosingSums) and the
// running totals of the issues (IssueTotals) — all in one transaction.
//
// The screen walks checks() in order: a question is asked and No stops; a refusal is shown
// and stops. When every question was answered Yes it calls close() and shows finished().
class MonthEnd
{
public:
    using Step = OperationStep;

    // done of total steps written, and what is being written now.
    using Progress = std::function<void(int done, int total, const QString &step)>;

    MonthEnd(Database &db, int accountingMode, const Formats &formats);

    // The questions and refusals of a closing on `today`, in the order they are put; the
    // list ends at the first refusal.
    QList<Step> checks(const QDate &today) const;
    QList<Step> checks() const;

    // Closes on `today` and returns the new closing's YJID. The refusals are checked again
    // inside the transaction; a refused closing throws Refusal and writes nothing.
    int close(const QDate &today, const Progress &progress = {});
    int close(const Progress &progress = {});

    // What the screen shows once the closing is written.
    static Step finished();

private:
    QList<Step> steps(const QDate &today) const;

    Database &m_db;
    int m_mode;
    Formats m_formats;
};

} // namespace varnock
