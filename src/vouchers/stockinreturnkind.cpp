#include "vouchers/stockinreturnkind.h"

namespace varnock {

StockInReturnKind StockInReturnKind::of(StockInKind::Kind kind)
{
    // THD.ZL, the screen, its caption, its heading, the kind name of the slip and the button
    // that picks the stock-in voucher, in the order of StockInKind::Kind.
    static const char16_t *const texts[][6] = {
        {u"采购退货", u"FrmCgthd", u"采购退货单填写", u"材料采购退货凭单填制", u"采购退货",
         u"入库选择(&C)"},
        {u"调拨退货", u"FrmDbthd", u"调拨入库退货单填写", u"调拨退货单凭单填制", u"调拨退货",
         u"入库选择(U)"},
        {u"暂估退货", u"FrmZgthd", u"暂估入库退货单填写", u"材料暂估退货凭单填制", u"暂估退货",
         u"入库单选择"},
        {u"甲供退货", u"FrmJgthd", u"甲方供给退货单填写", u"甲方供给退货凭单填制", u"甲方退货",
         u"入库单选择"}};
    const auto text = [&](int i) { return QString::fromUtf16(texts[kind][i]); };
    const StockInKind in = StockInKind::of(kind);
    return {.kind = kind,
            .zl = text(0),
            .screen = text(1),
            .caption = text(2),
            .heading = text(3),
            .printName = text(4),
            .chooseCaption = text(5),
            .partnerCode = in.partnerCode,
            .partnerName = in.partnerName,
            .receiverLabel = in.receiverLabel};
}

QList<StockInReturnKind> StockInReturnKind::all()
{
    return {of(StockInKind::Purchase), of(StockInKind::TransferIn), of(StockInKind::Provisional),
            of(StockInKind::ClientSupplied)};
}

} // namespace varnock
