#pragma once

namespace varnock {

class ScreenRegistry;

// The leasing screens under their menu commands.
void registerLeasingScreens(ScreenRegistry &registry);

} // namespace varnock
