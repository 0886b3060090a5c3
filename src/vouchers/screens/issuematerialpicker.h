#pragma once

#include "store/formats.h"
#include "vouchers/issuematerials.h"
#include "widgets/searchpicker.h"

namespace varnock {

class Database;

// The issue's material picker "FormCLXZCT" ("出库材料选择"): opens on the materials in stock;
// the search lists catalogue leaves by code or name. A material without stock is refused, not
// returned.
PickerDeclaration<IssueMaterials::Row> issueMaterialPicker(Database &db, const Formats &formats);

} // namespace varnock
