#pragma once

namespace varnock {

class ScreenRegistry;

// The month-end command.
void registerLedgerScreens(ScreenRegistry &registry);

} // namespace varnock
