#pragma once

namespace varnock {

class ScreenRegistry;

// FrmRKCXBB, FrmBBdbb, FrmRkgysbb, FrmXHTJ and FxJDCL: the period statistics.
void registerStatisticScreens(ScreenRegistry &registry);

} // namespace varnock
