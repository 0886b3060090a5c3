#pragma once

namespace varnock {

class ScreenRegistry;

// The project plan screens under their menu commands.
void registerPlanScreens(ScreenRegistry &registry);

} // namespace varnock
