#include "vouchers/stockinreturnkind.h"

namespace varnock {

StockInReturnKind StockInReturnKind::of(StockInKind::Kind kind)
{
    const StockInKind in = StockInKind::of(kind);
    StockInReturnKind k;
    k.kind = kind;
    k.partnerCode = in.partnerCode;
    k.partnerName = in.partnerName;
    k.receiverLabel = in.receiverLabel;
    k.chooseCaption = QStringLiteral("入库选择(&C)");
    switch (kind) {
    case StockInKind::Purchase:
        k.zl = QStringLiteral("采购退货");
        k.screen = QStringLiteral("FrmCgthd");
        k.caption = QStringLiteral("采购退货单填写");
        k.heading = QStringLiteral("材料采购退货凭单填制");
        k.printName = QStringLiteral("采购退货");
        break;
    case StockInKind::TransferIn:
        k.zl = QStringLiteral("调拨退货");
        k.screen = QStringLiteral("FrmDbthd");
        k.caption = QStringLiteral("调拨入库退货单填写");
        k.heading = QStringLiteral("调拨退货单凭单填制");
        k.printName = QStringLiteral("调拨退货");
        k.chooseCaption = QStringLiteral("入库选择(U)");
        break;
    case StockInKind::Provisional:
        k.zl = QStringLiteral("暂估退货");
        k.screen = QStringLiteral("FrmZgthd");
        k.caption = QStringLiteral("暂估入库退货单填写");
        k.heading = QStringLiteral("材料暂估退货凭单填制");
        k.printName = QStringLiteral("暂估退货");
        k.chooseCaption = QStringLiteral("入库单选择");
        break;
    case StockInKind::ClientSupplied:
        k.zl = QStringLiteral("甲供退货");
        k.screen = QStringLiteral("FrmJgthd");
        k.caption = QStringLiteral("甲方供给退货单填写");
        k.heading = QStringLiteral("甲方供给退货凭单填制");
        k.printName = QStringLiteral("甲方退货");
        k.chooseCaption = QStringLiteral("入库单选择");
        break;
    }
    return k;
}

QList<StockInReturnKind> StockInReturnKind::all()
{
    return {of(StockInKind::Purchase), of(StockInKind::TransferIn), of(StockInKind::Provisional),
            of(StockInKind::ClientSupplied)};
}

} // namespace varnock
