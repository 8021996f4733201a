#include "app/NoCodeScreen.h"

#include "app/AppIcon.h"
#include "app/NoticeText.h"
#include "framework/ui/QtCanvas.h"
#include "framework/ui/Theme.h"

#include <QPainter>
#include <QPixmap>

namespace tavora::app {

namespace {

// The icon, as tall as the logo rectangle, centred in it. Only a Qt canvas can draw a pixmap.
void drawLogo(framework::Canvas& canvas, const framework::Rect& r) {
    auto* qt = dynamic_cast<framework::ui::QtCanvas*>(&canvas);
    if (!qt)
        return;
    const int side = r.height();
    const QPixmap pixmap = appIcon().pixmap(side, side);
    qt->painter().drawPixmap(r.left + (r.width() - side) / 2, r.top, pixmap);
}

} // namespace

chart::NoCodeScreen programNoCodeScreen(const std::string& notice) {
    chart::NoCodeScreen screen;
    screen.background = framework::ui::ThemeColors[3];
    screen.notice = notice.empty() ? composeNoticeText() : notice;
    screen.drawLogo = drawLogo;
    return screen;
}

} // namespace tavora::app
