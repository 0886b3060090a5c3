#pragma once

#include "print/reporttable.h"

namespace varnock {

class Database;

// The lists of the master data, as exported and printed: the catalogue, the suppliers, the
// consuming units and the opening balances.
namespace MasterLists {

// "材料信息一览表": every catalogue node by code.
ReportTable catalogue(Database &db);
// "供应商设置一览表": every supplier by code.
ReportTable suppliers(Database &db);
// "领料单位设置一览表": every consuming unit by code.
ReportTable units(Database &db);
// "账务初始资料": the opening balances by material, a subtotal per parent group
// (name + " 小计"), a total per grandparent group (name + " 合计") and "全部材料 总计".
ReportTable openingBalances(Database &db);

} // namespace MasterLists

} // namespace varnock
