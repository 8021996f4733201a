#include "framework/ui/TabPage.h"

namespace tavora::framework::ui {

// Anchors the class's vtable and meta-object in one translation unit.
TabPage::~TabPage() = default;

}  // namespace tavora::framework::ui
