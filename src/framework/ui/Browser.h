#pragma once
// Opens a web page in the user's default browser. When no browser can be started the user
// is told so ("ブラウザ起動処理ができません", with the caption of what was opened) instead
// of nothing happening. UI thread only.
#include <QString>

#include <functional>

class QUrl;
class QWidget;

namespace tavora::framework::ui {

class Browser {
public:
    // True when a browser took the page.
    static bool open(QWidget* parent, const QUrl& url, const QString& caption);

    // Replaces how pages are handed to the browser (tests); an empty function restores
    // QDesktopServices::openUrl.
    static void setLauncher(std::function<bool(const QUrl&)> launcher);
};

} // namespace tavora::framework::ui
