#include "vouchers/stockinkind.h"

namespace varnock {

StockInKind StockInKind::of(Kind kind)
{
    // RKD.ZL, the screen, its caption and its heading, in the order of Kind.
    static const char16_t *const texts[][4] = {
        {u"采购入库", u"FrmCgrkd", u"采购入库单凭单填制", u"材料采购入库凭单填制"},
        {u"调拨入库", u"FrmDbrkd", u"调拨入库单凭单填制", u"材料调拨入库凭单填制"},
        {u"暂估入库", u"FrmZgrkd", u"材料暂估入库凭单填制", u"材料暂估入库凭单填制"},
        {u"甲方供给", u"FrmJgrkd", u"甲方供给入库凭单填制", u"甲方供给入库凭单填制"}};
    const auto text = [&](int i) { return QString::fromUtf16(texts[kind][i]); };
    const bool transfer = kind == TransferIn;
    const bool provisional = kind == Provisional;
    return {
        .kind = kind,
        .zl = text(0),
        .screen = text(1),
        .caption = text(2),
        .heading = text(3),
        .partnerCode = transfer ? QStringLiteral("调拨单位编号：") : QStringLiteral("供应商编号："),
        .partnerName = transfer ? QStringLiteral("调拨单位名称：") : QStringLiteral("供应商名称："),
        .partnerMessage = transfer ? QStringLiteral("请选择正确调拨单位！")
                                   : QStringLiteral("请选择正确供应商！"),
        .priceHeader = provisional ? QStringLiteral(" 暂估单价") : QStringLiteral(" 实际单价"),
        .receiverLabel =
            provisional ? QStringLiteral("领  料  人：") : QStringLiteral("验 收 员：")};
}

QList<StockInKind> StockInKind::all()
{
    return {of(Purchase), of(TransferIn), of(Provisional), of(ClientSupplied)};
}

} // namespace varnock
