#include "master/screens/masterpickers.h"

#include "master/consumingunits.h"
#include "master/suppliers.h"
#include "widgets/screenparts.h"

namespace varnock {

using ScreenParts::captions;

namespace {

QStringList counterpartyTexts(const Counterparty &c)
{
    return {c.code, c.name, c.address, c.contact, c.phone};
}

} // namespace

PickerDeclaration<Counterparty> MasterPickers::units(Database &db, Parties parties)
{
    const bool ofUnits = parties == Parties::Units;
    // The conditions stand in CounterpartySearch's order.
    const auto search = [&db, ofUnits](int condition, const QString &text) {
        const auto by = CounterpartySearch(condition);
        return ofUnits ? ConsumingUnits(db).search(by, text) : Suppliers(db).search(by, text);
    };
    return {{.name = QStringLiteral("FormLLDWXZCT"),
             .title = QStringLiteral("单位选择"),
             .conditions = captions(QStringLiteral("无条件进行查询|按单位编号查询|按单位名称查询")),
             .headers =
                 captions(QStringLiteral("单位编号|单位名称|   单  位  地  址|联 系 人|联系电话")),
             .okCaption = QStringLiteral("确 认(&O)"),
             .widths = {{1, 170}, {2, 170}},
             .size = {660, 400}},
            [search] { return search(0, {}); },
            search,
            counterpartyTexts,
            [&db, ofUnits](int condition) {
                const auto by = CounterpartySearch(condition);
                return ofUnits ? ConsumingUnits(db).values(by) : Suppliers(db).values(by);
            }};
}

PickerDeclaration<Counterparty> MasterPickers::suppliers(Database &db)
{
    return {
        {.name = QStringLiteral("FrmGysxz"),
         .title = QStringLiteral("供应商选择"),
         .conditions = captions(QStringLiteral("按编号查询|按名称查询")),
         .headers = captions(QStringLiteral(" 编 号|   单位名称|   地  址|   联系人|   电  话")),
         .conditionCaption = QStringLiteral("查询条件："),
         .widths = {{0, 70}, {1, 180}, {2, 160}},
         .size = {640, 400}},
        [&db] { return Suppliers(db).search(CounterpartySearch::All, {}); },
        [&db](int condition, const QString &text) {
            return Suppliers(db).search(
                condition == 1 ? CounterpartySearch::ByName : CounterpartySearch::ByCode, text);
        },
        counterpartyTexts};
}

PickerDeclaration<MaterialLookup::Row> MasterPickers::materials(Database &db,
                                                                const Formats &formats)
{
    const auto texts = [formats](const MaterialLookup::Row &r) {
        const std::optional<Decimal> price = r.stockPrice();
        return QStringList{r.clbh,
                           r.clmc,
                           r.clgg,
                           r.jzdw,
                           formats.amountText(r.jhdj),
                           price ? formats.amountText(*price) : QString(),
                           formats.quantityText(r.kcsl)};
    };
    return {{.name = QStringLiteral("FrmClcx"),
             .title = QStringLiteral("材料查询"),
             .conditions = captions(QStringLiteral("按编号查询|按名称查询")),
             .headers = captions(QStringLiteral(
                 " 材料编号|  材 料 名 称| 材 料 规 格|单 位| 计划单价|库存单价|库存数量")),
             .figures = {4, 5, 6},
             .widths = {{0, 90}, {1, 160}, {2, 110}},
             .size = {720, 440}},
            [&db] { return MaterialLookup(db).search(); },
            [&db](int condition, const QString &text) {
                return MaterialLookup(db).search(
                    condition == 1 ? MaterialLookup::By::Name : MaterialLookup::By::Code, text);
            },
            texts};
}

CounterpartyPick MasterPickers::pickSupplier(Database &db, QWidget *parent)
{
    return [&db, parent] { return RowPicker(suppliers(db), parent).pick(); };
}

CounterpartyPick MasterPickers::pickUnit(Database &db, QWidget *parent)
{
    return [&db, parent] { return RowPicker(units(db), parent).pick(); };
}

} // namespace varnock
