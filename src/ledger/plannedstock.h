#pragma once

#include "store/decimal.h"
#include "store/formats.h"

#include <QList>
#include <QString>

namespace varnock {

class Database;

// A planned-price material (CLJBXXB.JJFS) is carried in KC at KCSL × JHDJ, rounded to the
// amount format, whatever its vouchers and opening balances paid. Books kept before every
// operation held to that may carry such a material at another amount; this finds those rows
// and puts them back at plan.
class PlannedStock
{
public:
    struct OffPlan
    {
        QString clbh;
        QString clmc;
        Decimal quantity; // KCSL
        Decimal amount;   // KCJE as it stands
        Decimal planned;  // KCSL × JHDJ
    };

    static const QString RepairLogText; // the operation-log record of a repair
    // The menu command whose right a repair needs: rewriting stock amounts is ledger work.
    static const QString RepairCommand; // "YJCL", month-end processing

    PlannedStock(Database &db, const Formats &formats);

    // The planned-price materials whose stock amount is not their planned value, by code.
    QList<OffPlan> offPlan() const;
    // Rewrites KCJE of every off-plan material to its planned value and writes one
    // operation-log record for operator `operatorNumber`, all in one transaction. Returns
    // what was rewritten; when everything is on plan nothing is written, no record either.
    QList<OffPlan> repair(const QString &operatorNumber);

    // Who may put off-plan stock back at plan once it is found.
    enum class Remedy {
        Repair,      // this operator, now
        AskOperator, // an operator with the month-end right
        ReadOnly,    // nobody: the set was opened read-only
    };
    // What the program says after login while materials are off plan: the materials, then
    // the offer to repair them, whom to ask, or why it cannot be done here.
    static QString message(const QList<OffPlan> &found, const Formats &formats, Remedy remedy);

private:
    Database &m_db;
    Formats m_formats;
};

} // namespace varnock
