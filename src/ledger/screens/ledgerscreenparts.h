#pragma once

#include "ledger/operationstep.h"

#include <QList>
#include <QString>

class QTableView;
class QWidget;

namespace varnock {

class PostingGridModel;

// What the ledger screens share.
namespace LedgerScreenParts {

// Puts the steps of an operation in order: a question asked (No stops), a refusal shown
// (it stops). True when every question was answered Yes.
bool confirm(QWidget *parent, const QList<OperationStep> &steps);

// A read-only grid over a posting grid model: whole rows, one at a time.
QTableView *gridView(PostingGridModel *model, const QString &name, QWidget *parent);
// Columns as wide as what they show, with a little air.
void fitColumns(QTableView *view);

// Runs menu command `command` of the main window holding `from` as the menu runs it (its
// right, its log record). False, after saying so when the operator may not use it, when the
// command is not at hand.
bool runCommand(QWidget *from, const QString &command);

} // namespace LedgerScreenParts
} // namespace varnock
