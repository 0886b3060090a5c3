#pragma once

namespace varnock {

class ScreenRegistry;

// Registers the catalogue screen FrmClsz (command CLSZ); its editors and the library import
// open from it.
void registerCatalogueScreens(ScreenRegistry &registry);

} // namespace varnock
