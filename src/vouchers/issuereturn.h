#pragma once

#include "vouchers/voucherline.h"

#include <QDate>
#include <QList>
#include <QString>

namespace varnock {

// One line of an issue return: the issue line it refers to, what was issued and returned
// before, and what comes back now. A zero quantity means the line is not returned.
struct IssueReturnLine : MaterialLine
{
    qint64 llid = 0;        // LLD.ID of the issue line returned
    Decimal price;          // the issue line's unit price (THDJ)
    Decimal issuedQuantity; // LLD.SJSL
    Decimal issuedAmount;   // LLD.SJJE
    Decimal returnedBefore; // every other return line of the issue line, posted or not
    Decimal returnedAmountBefore;
    Decimal quantity; // THSL
    Decimal amount;   // THJE

    bool isReturned() const { return quantity > Decimal(); }
    // What may still come back.
    Decimal returnable() const { return issuedQuantity - returnedBefore; }
};

struct IssueReturnVoucher
{
    qint64 xtbh = 0;      // 0 until saved
    QString thdjh;        // 退库单据号
    QString ysbh;         // the issue voucher's document number (出库单号)
    qint64 issueXtbh = 0; // the issue voucher's system number
    QString lldwbh;
    QString lldwmc;
    QDate czrq;
    QString zl; // "1" requisition, "2" transfer out
    bool posted = false;
    QList<IssueReturnLine> lines;

    bool anyReturned() const
    {
        for (const IssueReturnLine &line : lines) {
            if (line.isReturned())
                return true;
        }
        return false;
    }
};

// A posted issue voucher that may be returned against.
struct ReturnableIssueRow
{
    qint64 xtbh = 0;
    QString ysdjh;
    QString lldwmc;
    QString lldwbh;
    QDate czrq;
    QString sgbw;
    QString dh;
};

// Conditions for the list of returnable issues; empty texts add none. Dates are inclusive.
struct ReturnableIssueConditions
{
    QString lldwbh;
    QString sgbw;
    QString ysdjh;
    QString dh;
    QString clbh;
    QDate from;
    QDate to;
};

// One saved return voucher in the finder.
struct IssueReturnListRow
{
    qint64 xtbh = 0;
    QString thdjh;
    QString lldwbh;
    QString lldwmc;
    QDate czrq;
    bool posted = false;
    QString zl;
    QString ysbh;
};

struct IssueReturnConditions
{
    QString lldwbh;
    QString thdjh;
    QString ysbh;
    QString clbh;
    QDate from;
    QDate to;
};

} // namespace varnock
