#include "framework/ui/Browser.h"

#include "framework/ui/MessageBox.h"

#include <QDesktopServices>
#include <QUrl>

namespace tavora::framework::ui {

namespace {
std::function<bool(const QUrl&)>& launcher() {
    static std::function<bool(const QUrl&)> current;
    return current;
}
} // namespace

void Browser::setLauncher(std::function<bool(const QUrl&)> f) {
    launcher() = std::move(f);
}

bool Browser::open(QWidget* parent, const QUrl& url, const QString& caption) {
    const bool opened = launcher() ? launcher()(url) : QDesktopServices::openUrl(url);
    if (!opened)
        MessageBox::warning(parent, "ブラウザ起動処理ができません", caption);
    return opened;
}

} // namespace tavora::framework::ui
