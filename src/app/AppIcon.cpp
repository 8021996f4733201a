#include "app/AppIcon.h"

#include "framework/ui/Theme.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace tavora::app {

namespace {
QPixmap drawIcon(int size) {
    using framework::ui::themeColor;
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size / 64.0;
    QPainterPath tile;
    tile.addRoundedRect(QRectF(2 * s, 2 * s, 60 * s, 60 * s), 12 * s, 12 * s);
    p.fillPath(tile, themeColor(1));
    // Candles: (x, wick top, body top, body bottom, wick bottom, rising)
    struct Candle { double x, wt, bt, bb, wb; bool up; };
    const Candle candles[] = {{16, 30, 34, 46, 52, false}, {32, 18, 24, 40, 46, true}, {48, 10, 14, 30, 36, true}};
    for (const auto& c : candles) {
        p.setPen(QPen(Qt::white, 2 * s));
        p.drawLine(QPointF(c.x * s, c.wt * s), QPointF(c.x * s, c.wb * s));
        const QRectF body((c.x - 5) * s, c.bt * s, 10 * s, (c.bb - c.bt) * s);
        p.fillRect(body, c.up ? QColor(Qt::white) : themeColor(3));
        p.drawRect(body);
    }
    return pm;
}
}  // namespace

QIcon appIcon() {
    static const QIcon icon = [] {
        QIcon i;
        for (int size : {16, 24, 32, 48, 64, 128, 256})
            i.addPixmap(drawIcon(size));
        return i;
    }();
    return icon;
}

}  // namespace tavora::app
