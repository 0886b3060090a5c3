#pragma once

namespace varnock {

class ScreenRegistry;

// Registers every working screen the program has under the name the command map gives it.
// A new screen adds one registration here (or a call to its subsystem's own function).
void registerAllScreens(ScreenRegistry &registry);

} // namespace varnock
