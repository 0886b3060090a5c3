#pragma once

namespace varnock {

class ScreenRegistry;

// FrmCgthd, FrmDbthd, FrmZgthd and FrmJgthd.
void registerStockInReturnScreens(ScreenRegistry &registry);

} // namespace varnock
