#include "framework/ui/QtPlatform.h"

#include <cstdlib>

namespace tavora::framework::ui {

bool useOffscreenPlatformWithoutDisplay() {
    auto set = [](const char* name) {
        const char* v = std::getenv(name);
        return v && *v;
    };
    if (set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY"))
        return false;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    return true;
}

}  // namespace tavora::framework::ui
