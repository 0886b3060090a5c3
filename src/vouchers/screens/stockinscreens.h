#pragma once

namespace varnock {

class ScreenRegistry;

// FrmCgrkd, FrmDbrkd, FrmZgrkd and FrmJgrkd.
void registerStockInScreens(ScreenRegistry &registry);

} // namespace varnock
