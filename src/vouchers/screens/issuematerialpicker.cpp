#include "vouchers/screens/issuematerialpicker.h"

#include "widgets/messages.h"
#include "widgets/screenparts.h"

namespace varnock {

PickerDeclaration<IssueMaterials::Row> issueMaterialPicker(Database &db, const Formats &formats)
{
    using ScreenParts::captions;
    using Row = IssueMaterials::Row;
    const auto texts = [formats](const Row &r) {
        return QStringList{r.clbh,
                           r.clmc,
                           r.clgg,
                           r.jzdw,
                           formats.amountText(r.jhdj),
                           formats.quantityText(r.kcsl),
                           formats.amountText(r.kcje),
                           r.hsdw,
                           r.hsxs != 0 ? QString::number(r.hsxs) : QString()};
    };
    return {
        {.name = QStringLiteral("FormCLXZCT"),
         .title = QStringLiteral("出库材料选择"),
         .conditions = captions(QStringLiteral("无条件进行查询|按材料编号查询|按材料名称查询")),
         .headers = captions(QStringLiteral("材料编号|材料名称|规格型号|计量单位|计划单价|"
                                            "库存数量|库存金额|换算单位|换算系数")),
         .okCaption = QStringLiteral("确 认(&O)"),
         .searchCaption = QStringLiteral("查询(&F)"),
         .conditionCaption = QStringLiteral("查询条件："),
         .figures = {4, 5, 6, 8},
         .widths = {{0, 90}, {1, 150}, {2, 100}},
         .size = {860, 440}},
        [&db] { return IssueMaterials(db).inStock(); },
        // The conditions stand in IssueMaterials::By's order.
        [&db](int condition, const QString &text) {
            return IssueMaterials(db).search(IssueMaterials::By(condition), text);
        },
        texts,
        [&db](int condition) { return IssueMaterials(db).values(IssueMaterials::By(condition)); },
        [](QWidget *picker, const Row &r) {
            if (r.mayBeIssued())
                return true;
            Messages::warn(picker, QStringLiteral("材料的库存数量小于或等于零！不能出库"),
                           QStringLiteral("提示窗口"));
            return false;
        }};
}

} // namespace varnock
