#pragma once

namespace varnock {

class ScreenRegistry;

// The month-end command and the four posting screens.
void registerLedgerScreens(ScreenRegistry &registry);

} // namespace varnock
