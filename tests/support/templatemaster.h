#pragma once

#include "shell/datafolder.h"

namespace varnock::test {

// Puts a master database into `folder`. Building a master hashes the template operator's
// password, which takes a while; each test starts from a copy of one built once.
void copyTemplateMaster(const DataFolder &folder);

} // namespace varnock::test
