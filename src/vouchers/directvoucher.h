#pragma once

#include "vouchers/stockinvoucher.h"

#include <QDate>
#include <QList>
#include <QString>

namespace varnock {

// A direct delivery (直进直出): material a supplier delivers straight to a consuming unit,
// bought and issued in one act. Each line is a pair of rows: a purchase receipt in RKD and
// an issue in LLD (ZJZC), joined by RKD.CKID = LLD.ID and RKD.CKBH = LLD.XTBH. The voucher is
// known by its receipt side's system number.
struct DirectVoucher
{
    qint64 xtbh = 0;      // RKD.XTBH
    qint64 issueXtbh = 0; // LLD.XTBH, drawn when the voucher is first saved
    QDate czrq;
    QString ysdjh;      // 入库单号
    QString issueYsdjh; // 出库单号
    QString gysbh;
    QString gysmc;
    QString lldwbh;
    QString lldwmc;
    QString sgbw;
    QString dh;
    QString fpbh;
    QString zph;
    bool posted = false;
    // The receipt side of each line: line.id is its RKD.ID, czzm the material certificate.
    QList<StockInLine> lines;
    // The LLD.ID of each line's issue side, in the order of `lines`; filled in by saving.
    QList<qint64> issueIds;
    // Whether each line was reversed (CZBZ), in the order of `lines`; filled in by loading.
    QList<bool> reversed;
};

// One voucher in the finder's list.
struct DirectListRow
{
    qint64 xtbh = 0;
    bool posted = false;
    QDate czrq;
    QString ysdjh;
    QString gysbh;
    QString gysmc;
    QString fpbh;
    QString zph;
    QString lldwbh;
    QString lldwmc;
    QString issueYsdjh;
    QString sgbw;
    QString dh;
};

// The finder's conditions; empty texts add none. Dates are inclusive.
struct DirectConditions
{
    QString gysbh;
    QString lldwbh;
    QString clbh;
    QDate from;
    QDate to;
};

} // namespace varnock
