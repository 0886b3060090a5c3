#pragma once

namespace varnock {

class ScreenRegistry;

// FrmJxcmx, FrmJxchz, FXJXCZ and FrmCllsz: the monthly stock reports and the material ledger.
void registerReportScreens(ScreenRegistry &registry);

} // namespace varnock
