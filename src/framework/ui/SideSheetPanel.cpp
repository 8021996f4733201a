#include "framework/ui/SideSheetPanel.h"

namespace tavora::framework::ui {

// Anchors the class's vtable and meta-object in one translation unit.
SideSheetPanel::~SideSheetPanel() = default;

}  // namespace tavora::framework::ui
