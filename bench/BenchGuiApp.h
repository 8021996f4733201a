#pragma once
// The one QGuiApplication of a benchmark that paints: made on first use, on the offscreen platform
// when there is no display.
#include "framework/ui/QtPlatform.h"

#include <QGuiApplication>

namespace tavora::bench {

inline QGuiApplication& guiApp() {
    static int argc = 1;
    static char name[] = "tavora_bench";
    static char* argv[] = {name, nullptr};
    static bool offscreen = framework::ui::useOffscreenPlatformWithoutDisplay();
    (void)offscreen;
    static QGuiApplication application(argc, argv);
    return application;
}

} // namespace tavora::bench
