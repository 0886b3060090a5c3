#pragma once

namespace varnock {

class ScreenRegistry;

// FormLLDTX for requisitions and transfers out.
void registerIssueScreens(ScreenRegistry &registry);

} // namespace varnock
