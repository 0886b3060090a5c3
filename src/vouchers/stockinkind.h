#pragma once

#include <QList>
#include <QString>

namespace varnock {

// The four kinds of stock-in voucher and the texts each entry screen shows. The partner is
// always a supplier (GYS); a transferring unit is kept as one.
struct StockInKind
{
    enum Kind { Purchase, TransferIn, Provisional, ClientSupplied };

    Kind kind = Purchase;
    QString zl;             // RKD.ZL
    QString screen;         // FrmCgrkd, …
    QString caption;        // window caption
    QString heading;        // heading of the form
    QString partnerCode;    // "供应商编号：" / "调拨单位编号："
    QString partnerName;    // "供应商名称：" / "调拨单位名称："
    QString partnerMessage; // refusal for an empty partner
    QString priceHeader;    // " 实际单价", provisional " 暂估单价"
    QString receiverLabel;  // "验 收 员：", provisional "领  料  人："

    // Position in the posting screen's kind selector.
    int selectorIndex() const { return int(kind); }
    bool isProvisional() const { return kind == Provisional; }
    // Only the purchase lists leave out the stock-in halves of direct deliveries.
    bool excludesDirectDeliveries() const { return kind == Purchase; }

    static StockInKind of(Kind kind);
    static QList<StockInKind> all();
};

} // namespace varnock
