#pragma once

#include "master/counterparty.h"
#include "master/materiallookup.h"
#include "store/formats.h"
#include "widgets/searchpicker.h"

namespace varnock {

class Database;

// The pickers of master data, each the one searching picker (RowPicker) declared here:
//     RowPicker lookup(MasterPickers::materials(db, formats), this);
// The caller puts the chosen row into its own fields.
class MasterPickers
{
public:
    enum class Parties { Units, Suppliers };

    // "FormLLDWXZCT" ("单位选择"): consuming units, or suppliers.
    static PickerDeclaration<Counterparty> units(Database &db, Parties parties = Parties::Units);
    // "FrmGysxz" ("供应商选择").
    static PickerDeclaration<Counterparty> suppliers(Database &db);
    // "FrmClcx" ("材料查询"): catalogue materials with their stock.
    static PickerDeclaration<MaterialLookup::Row> materials(Database &db, const Formats &formats);

    // The supplier and the consuming-unit picker of a code field on `parent`.
    static CounterpartyPick pickSupplier(Database &db, QWidget *parent);
    static CounterpartyPick pickUnit(Database &db, QWidget *parent);
};

} // namespace varnock
