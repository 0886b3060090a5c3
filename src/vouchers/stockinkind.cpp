#include "vouchers/stockinkind.h"

namespace varnock {

StockInKind StockInKind::of(Kind kind)
{
    StockInKind k;
    k.kind = kind;
    k.partnerCode = QStringLiteral("供应商编号：");
    k.partnerName = QStringLiteral("供应商名称：");
    k.partnerMessage = QStringLiteral("请选择正确供应商！");
    k.priceHeader = QStringLiteral(" 实际单价");
    k.receiverLabel = QStringLiteral("验 收 员：");
    switch (kind) {
    case Purchase:
        k.zl = QStringLiteral("采购入库");
        k.screen = QStringLiteral("FrmCgrkd");
        k.caption = QStringLiteral("采购入库单凭单填制");
        k.heading = QStringLiteral("材料采购入库凭单填制");
        break;
    case TransferIn:
        k.zl = QStringLiteral("调拨入库");
        k.screen = QStringLiteral("FrmDbrkd");
        k.caption = QStringLiteral("调拨入库单凭单填制");
        k.heading = QStringLiteral("材料调拨入库凭单填制");
        k.partnerCode = QStringLiteral("调拨单位编号：");
        k.partnerName = QStringLiteral("调拨单位名称：");
        k.partnerMessage = QStringLiteral("请选择正确调拨单位！");
        break;
    case Provisional:
        k.zl = QStringLiteral("暂估入库");
        k.screen = QStringLiteral("FrmZgrkd");
        k.caption = QStringLiteral("材料暂估入库凭单填制");
        k.heading = QStringLiteral("材料暂估入库凭单填制");
        k.priceHeader = QStringLiteral(" 暂估单价");
        k.receiverLabel = QStringLiteral("领  料  人：");
        break;
    case ClientSupplied:
        k.zl = QStringLiteral("甲方供给");
        k.screen = QStringLiteral("FrmJgrkd");
        k.caption = QStringLiteral("甲方供给入库凭单填制");
        k.heading = QStringLiteral("甲方供给入库凭单填制");
        break;
    }
    return k;
}

QList<StockInKind> StockInKind::all()
{
    return {of(Purchase), of(TransferIn), of(Provisional), of(ClientSupplied)};
}

} // namespace varnock
