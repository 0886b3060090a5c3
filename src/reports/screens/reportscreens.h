#pragma once

namespace varnock {

class ScreenRegistry;

// FrmJxcmx, FrmJxchz, FXJXCZ and FrmCllsz: the monthly stock reports and the material ledger;
// FrmZtGysqk, FrmZtjxcmx, FrmZtKcpd and FXRKHZ: the summaries over several account sets;
// FrmTb: the charts of the store.
void registerReportScreens(ScreenRegistry &registry);

} // namespace varnock
