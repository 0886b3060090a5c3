#pragma once

namespace varnock {

class ScreenRegistry;

// The stock count, the supplier payments and the amount adjustments, with their reports.
void registerBookScreens(ScreenRegistry &registry);

} // namespace varnock
