#pragma once

#include "cli/context.h"
#include "ledger/operationstep.h"
#include "print/reporttable.h"
#include "reports/statisticrows.h"

#include <QList>

namespace varnock::cli {

// A question the operation asks; without --yes the command line answers No and stops.
struct Declined
{
    QString title;
    QString text;
};

// Puts an operation's steps as the command line answers them: a refusal is thrown, a question
// is answered Yes with --yes and otherwise stops the command (Declined).
void answerSteps(const QList<OperationStep> &steps, bool yes);

// The commands, one function each. Each throws Refusal, StoreError, UsageError or Declined.
Result setCreate(Context &ctx, const Arguments &args);
Result setList(Context &ctx, const Arguments &args);
Result setDelete(Context &ctx, const Arguments &args);
Result catalogueImport(Context &ctx, const Arguments &args);
Result catalogueAddCategory(Context &ctx, const Arguments &args);
Result catalogueAddMaterial(Context &ctx, const Arguments &args);
Result catalogueEditMaterial(Context &ctx, const Arguments &args);
Result supplierAdd(Context &ctx, const Arguments &args);
Result supplierEdit(Context &ctx, const Arguments &args);
Result supplierDelete(Context &ctx, const Arguments &args);
Result unitAdd(Context &ctx, const Arguments &args);
Result unitEdit(Context &ctx, const Arguments &args);
Result unitDelete(Context &ctx, const Arguments &args);
Result catalogueDelete(Context &ctx, const Arguments &args);
Result openingAdd(Context &ctx, const Arguments &args);
Result stock(Context &ctx, const Arguments &args);
Result check(Context &ctx, const Arguments &args);
Result monthEnd(Context &ctx, const Arguments &args);
Result stockInSave(Context &ctx, const Arguments &args);
Result stockInAppend(Context &ctx, const Arguments &args);
Result issueSave(Context &ctx, const Arguments &args);
Result stockInReturnSave(Context &ctx, const Arguments &args);
Result issueReturnSave(Context &ctx, const Arguments &args);
Result post(Context &ctx, const Arguments &args);
Result voucherShow(Context &ctx, const Arguments &args);
Result voucherDelete(Context &ctx, const Arguments &args);
Result voucherDeleteLine(Context &ctx, const Arguments &args);
Result directSave(Context &ctx, const Arguments &args);
Result postDirect(Context &ctx, const Arguments &args);
Result reverseDirect(Context &ctx, const Arguments &args);
Result voucherShowDirect(Context &ctx, const Arguments &args);
Result printSlip(Context &ctx, const Arguments &args);
Result exportReport(Context &ctx, const Arguments &args);
Result reportStockDetail(Context &ctx, const Arguments &args);
Result reportStockSummary(Context &ctx, const Arguments &args);
Result reportMultiSetDetail(Context &ctx, const Arguments &args);
Result reportSetsArrears(Context &ctx, const Arguments &args);
Result reportSetsSummary(Context &ctx, const Arguments &args);
Result reportSetsCount(Context &ctx, const Arguments &args);
Result reportSetsReceipts(Context &ctx, const Arguments &args);
Result reportSetsIssues(Context &ctx, const Arguments &args);
Result reportMaterialLedger(Context &ctx, const Arguments &args);
Result reportReceipts(Context &ctx, const Arguments &args);
Result reportIssues(Context &ctx, const Arguments &args);
Result reportTransfers(Context &ctx, const Arguments &args);
Result reportByUnit(Context &ctx, const Arguments &args);
Result reportBySupplier(Context &ctx, const Arguments &args);
Result reportConsumption(Context &ctx, const Arguments &args);
Result reportQuarterly(Context &ctx, const Arguments &args);
Result queryConditions(Context &ctx, const Arguments &args);
Result queryItems(Context &ctx, const Arguments &args);
Result reverseStockIn(Context &ctx, const Arguments &args);
Result reverseIssue(Context &ctx, const Arguments &args);
Result cancelPosting(Context &ctx, const Arguments &args);
Result wipe(Context &ctx, const Arguments &args);
Result demo(Context &ctx, const Arguments &args);
Result backupTake(Context &ctx, const Arguments &args);
Result backupList(Context &ctx, const Arguments &args);
Result backupSplit(Context &ctx, const Arguments &args);
Result backupJoin(Context &ctx, const Arguments &args);
Result restoreFile(Context &ctx, const Arguments &args);
Result settingsShow(Context &ctx, const Arguments &args);
Result settingsSet(Context &ctx, const Arguments &args);
Result settingsRestoreTemplates(Context &ctx, const Arguments &args);
Result operatorList(Context &ctx, const Arguments &args);
Result operatorAdd(Context &ctx, const Arguments &args);
Result operatorEdit(Context &ctx, const Arguments &args);
Result operatorRights(Context &ctx, const Arguments &args);
Result operatorDelete(Context &ctx, const Arguments &args);
Result countSave(Context &ctx, const Arguments &args);
Result countList(Context &ctx, const Arguments &args);
Result adjustAdd(Context &ctx, const Arguments &args);
Result adjustDelete(Context &ctx, const Arguments &args);
Result adjustList(Context &ctx, const Arguments &args);
Result paymentAdd(Context &ctx, const Arguments &args);
Result paymentWriteOff(Context &ctx, const Arguments &args);
Result paymentBalance(Context &ctx, const Arguments &args);
Result paymentList(Context &ctx, const Arguments &args);
Result reportArrears(Context &ctx, const Arguments &args);

Result leaseSave(Context &ctx, const Arguments &args);
Result leaseReturn(Context &ctx, const Arguments &args);
Result leasePay(Context &ctx, const Arguments &args);
Result leaseList(Context &ctx, const Arguments &args);
Result leaseReport(Context &ctx, const Arguments &args);
Result planSave(Context &ctx, const Arguments &args);
Result planList(Context &ctx, const Arguments &args);
Result planCompare(Context &ctx, const Arguments &args);

// --level as the screens offer it: "all" (every material, the default), "2" (the second level)
// or "1" (the first), or their captions.
StatisticLevel statisticLevel(const Arguments &args);

// A report's rows under "rows" (figures as shown, empty cells null) and as text lines; with
// --xlsx FILE and --pdf FILE also written there.
Result tableResult(Context &ctx, const ReportTable &table, const Arguments &args);
// The two halves of tableResult: the rows, and the files of --xlsx and --pdf.
Result tableRows(Context &ctx, const ReportTable &table);
void writeTableFiles(Context &ctx, const ReportTable &table, const Arguments &args, Result &result);
// Fails unless pages can be drawn here (a graphical application, without a display).
void requirePaper();
// The result of a command that wrote a file: its full path and how much it holds.
Result fileResult(const QString &file, const QString &countKey, int count);

} // namespace varnock::cli
