#pragma once

#include "vouchers/stockinkind.h"

#include <QList>
#include <QString>

namespace varnock {

// The four kinds of stock-in return, one per stock-in kind, and the texts each return screen
// shows.
struct StockInReturnKind
{
    StockInKind::Kind kind = StockInKind::Purchase;
    QString zl;            // THD.ZL
    QString screen;        // FrmCgthd, …
    QString caption;       // window caption
    QString heading;       // heading of the form
    QString printName;     // kind name the return slip is printed under
    QString chooseCaption; // the button that picks the stock-in voucher
    QString partnerCode;   // "供应商编号：" / "调拨单位编号："
    QString partnerName;   // "供应商名称：" / "调拨单位名称："
    QString receiverLabel; // "验 收 员：", provisional "领  料  人："

    StockInKind stockIn() const { return StockInKind::of(kind); }
    // Position in the return posting screen's kind selector.
    int selectorIndex() const { return int(kind); }
    // Purchases are returned only within their month; the other kinds at any time.
    bool offersEarlierMonths() const { return kind != StockInKind::Purchase; }

    static StockInReturnKind of(StockInKind::Kind kind);
    static QList<StockInReturnKind> all();
};

} // namespace varnock
