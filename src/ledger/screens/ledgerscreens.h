#pragma once

namespace varnock {

class ScreenRegistry;

// The month-end command, the four posting screens, the reversal screens and cancel posting.
void registerLedgerScreens(ScreenRegistry &registry);

} // namespace varnock
