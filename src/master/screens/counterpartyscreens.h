#pragma once

namespace varnock {

class ScreenRegistry;

// Registers the supplier and consuming-unit upkeep screens and the opening balances.
void registerCounterpartyScreens(ScreenRegistry &registry);

} // namespace varnock
