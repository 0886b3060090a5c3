#pragma once

#include "ledger/operationstep.h"
#include "ledger/postinggrid.h"

#include <QList>

namespace varnock {

class Database;

// Cancel posting (取消记账) returns the books to the state of the latest month-end closing, so
// that the open period's vouchers can be corrected and posted again: every line dated on or
// after the closing day is unposted, the count rows of the open period go and KC is rebuilt
// from the closing's stock (YJKCB). Amount adjustments dated after the closing are applied to
// it again, so that KC keeps agreeing with its history; project plans and the count rows of
// closed periods stay. One transaction. Moving average only: first in first out keeps its
// allocations, which an unposted issue would leave pointing at nothing.
class CancelPosting
{
public:
    CancelPosting(Database &db, int accountingMode);

    // Every closing, oldest first, keyed by YJID: its number, the day after the closing before
    // it (empty for the first) and its own day.
    PostingGrid closings() const;

    // The refusals and the question put before cancelling.
    QList<OperationStep> steps() const;
    // Cancels posting back to the latest closing and returns that closing's YJID; throws the
    // first refusal of steps() instead, writing nothing.
    int cancel();

private:
    Database &m_db;
    int m_mode;
};

} // namespace varnock
