#pragma once

namespace varnock {

class ScreenRegistry;

// FormLLTHDTX for requisition and transfer-out returns.
void registerIssueReturnScreens(ScreenRegistry &registry);

} // namespace varnock
