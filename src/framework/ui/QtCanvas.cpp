#include "framework/ui/QtCanvas.h"

#include <QPaintDevice>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tavora::framework::ui {

QColor toQColor(ColorRef color) { return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF)); }

QFont makeFont(const Font& font, int dpiY) {
    QFont f;
    QStringList families;
    if (!font.face.empty())
        families << QString::fromStdString(font.face);
    families << QStringLiteral("Meiryo") << QStringLiteral("Noto Sans CJK JP");
    f.setFamilies(families);
    // The character height of a size in points at the device's resolution, rounded.
    f.setPixelSize(std::max(1, int(std::lround(font.pointSize * double(dpiY) / 72.0))));
    f.setWeight(QFont::Weight(std::clamp(font.weight, 1, 1000)));
    f.setStyleStrategy(QFont::PreferDefault);
    return f;
}

namespace {

QRect toQRect(const Rect& r) { return QRect(r.left, r.top, r.width(), r.height()); }

QString fromUtf8(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

}  // namespace

QtCanvas::QtCanvas(QImage& image, QImage* clean) : m_image(&image), m_clean(clean) {
    m_size = {image.width(), image.height()};
    m_painter.begin(&image);
    setPen(Pen{});
}

QtCanvas::QtCanvas(QPaintDevice& device) {
    m_size = {device.width(), device.height()};
    m_dpiY = device.logicalDpiY() > 0 ? device.logicalDpiY() : kScreenDpi;
    m_painter.begin(&device);
    setPen(Pen{});
}

QtCanvas::QtCanvas(QPaintDevice& device, Size logical) : m_size(logical) {
    m_painter.begin(&device);
    if (logical.width > 0 && logical.height > 0)
        m_painter.scale(double(device.width()) / logical.width, double(device.height()) / logical.height);
    setPen(Pen{});
}

QtCanvas::~QtCanvas() {
    if (m_painter.isActive())
        m_painter.end();
}

void QtCanvas::setPen(const Pen& pen) {
    if (pen == m_pen && m_painterPen != PainterPen::None)
        return;
    m_pen = pen;
    m_penColor = toQColor(pen.color);
    int width = std::max(1, pen.width);
    m_qpen = QPen(m_penColor, width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    // Dash lengths are in pixels whatever the width; Qt counts them in pen widths.
    if (pen.style == LineDotted)
        m_qpen.setDashPattern({2.0 / width, 2.0 / width});
    else if (pen.style == LineDashed)
        m_qpen.setDashPattern({6.0 / width, 3.0 / width, 3.0 / width, 3.0 / width, 3.0 / width, 3.0 / width});
    m_painterPen = PainterPen::None;
}

void QtCanvas::setBrush(ColorRef color) {
    QColor c = toQColor(color);
    if (c != m_brush) {
        m_brush = c;
        m_painter.setBrush(m_brush);
    } else if (m_painter.brush().style() == Qt::NoBrush) {
        m_painter.setBrush(m_brush);
    }
}

void QtCanvas::setFont(const Font& font) {
    if (m_font && m_font->key == font)
        return;
    for (auto& cached : m_fonts)
        if (cached->key == font) {
            m_font = cached.get();
            m_painter.setFont(m_font->font);
            return;
        }
    QFont qfont = makeFont(font, m_dpiY);
    m_fonts.push_back(std::make_unique<CachedFont>(CachedFont{font, qfont, QFontMetrics(qfont, m_painter.device())}));
    m_font = m_fonts.back().get();
    m_painter.setFont(m_font->font);
}

void QtCanvas::setTextColor(ColorRef color) {
    QColor c = toQColor(color);
    if (c != m_textColor) {
        m_textColor = c;
        if (m_painterPen == PainterPen::Text)
            m_painterPen = PainterPen::None;
    }
}

void QtCanvas::usePenForLines() {
    if (m_painterPen != PainterPen::Lines) {
        m_painter.setPen(m_qpen);
        m_painterPen = PainterPen::Lines;
    }
}

void QtCanvas::usePenForText() {
    if (m_painterPen != PainterPen::Text) {
        m_painter.setPen(m_textColor);
        m_painterPen = PainterPen::Text;
    }
}

void QtCanvas::fillRect(const Rect& rect, ColorRef color) {
    if (rect.width() > 0 && rect.height() > 0)
        m_painter.fillRect(toQRect(rect), toQColor(color));
}

void QtCanvas::line(Point from, Point to) {
    if (from == to)
        return;
    // Thin solid horizontal and vertical lines (grid lines, ticks, wicks: nearly all of a
    // chart) are filled spans: exact pixels and much faster than stroking.
    if (thinSolid() && (from.x == to.x || from.y == to.y)) {
        if (from.y == to.y) {
            int l = from.x < to.x ? from.x : to.x + 1;
            m_painter.fillRect(QRect(l, from.y, std::abs(to.x - from.x), 1), m_penColor);
        } else {
            int t = from.y < to.y ? from.y : to.y + 1;
            m_painter.fillRect(QRect(from.x, t, 1, std::abs(to.y - from.y)), m_penColor);
        }
        return;
    }
    usePenForLines();
    m_painter.drawLine(QPoint(from.x, from.y), QPoint(to.x, to.y));
}

void QtCanvas::polyline(std::span<const Point> points) {
    if (points.size() < 2)
        return;
    usePenForLines();
    m_points.clear();
    for (const Point& p : points)
        m_points.emplace_back(p.x, p.y);
    m_painter.drawPolyline(m_points.data(), int(m_points.size()));
}

void QtCanvas::rectangle(const Rect& rect) {
    int w = rect.width(), h = rect.height();
    if (w <= 0 || h <= 0)
        return;
    if (thinSolid()) {
        // Outline on left..right-1 and top..bottom-1, the brush inside: two fills.
        m_painter.fillRect(QRect(rect.left, rect.top, w, h), m_penColor);
        if (w > 2 && h > 2)
            m_painter.fillRect(QRect(rect.left + 1, rect.top + 1, w - 2, h - 2), m_brush);
        return;
    }
    usePenForLines();
    m_painter.setBrush(m_brush);
    int inset = std::max(1, m_pen.width);
    m_painter.drawRect(QRect(rect.left, rect.top, w - inset, h - inset));
}

void QtCanvas::polygon(std::span<const Point> points) {
    if (points.size() < 2)
        return;
    usePenForLines();
    m_painter.setBrush(m_brush);
    m_points.clear();
    for (const Point& p : points)
        m_points.emplace_back(p.x, p.y);
    m_painter.drawPolygon(m_points.data(), int(m_points.size()));
}

void QtCanvas::drawText(const Rect& rect, std::string_view text, TextFormat format) {
    if (text.empty() || rect.width() <= 0)
        return;
    if (!m_font)
        setFont(Font{});
    usePenForText();
    int align = format.align == TextAlign::Left ? Qt::AlignLeft
                : format.align == TextAlign::Center ? Qt::AlignHCenter
                                                    : Qt::AlignRight;
    QString qtext = fromUtf8(text);
    if (!format.wrap) {
        QString shown = format.ellipsis ? m_font->metrics.elidedText(qtext, Qt::ElideRight, rect.width()) : qtext;
        m_painter.drawText(toQRect(rect), align | Qt::AlignVCenter | Qt::TextSingleLine, shown);
        return;
    }
    qtext.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_painter.save();
    m_painter.setClipRect(toQRect(rect));
    m_painter.drawText(toQRect(rect), align | Qt::AlignTop | Qt::TextWordWrap, qtext);
    m_painter.restore();
    m_painterPen = PainterPen::None;
}

Size QtCanvas::measureText(std::string_view text) {
    if (!m_font)
        setFont(Font{});
    QSize s = m_font->metrics.size(Qt::TextSingleLine, fromUtf8(text));
    return {s.width(), std::max(s.height(), m_font->metrics.height())};
}

Size QtCanvas::measureWrappedText(std::string_view text, int width) {
    if (!m_font)
        setFont(Font{});
    QString qtext = fromUtf8(text);
    qtext.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QRect r = m_font->metrics.boundingRect(QRect(0, 0, std::max(1, width), 1 << 24), Qt::TextWordWrap, qtext);
    return {r.width(), r.height()};
}

Size QtCanvas::measureTextLines(std::string_view text) {
    if (!m_font)
        setFont(Font{});
    QString qtext = fromUtf8(text);
    qtext.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    // The layout drawText uses, without wrapping, so a box of this size holds the text.
    const QRect r = m_font->metrics.boundingRect(QRect(0, 0, 1 << 24, 1 << 24), Qt::AlignLeft | Qt::AlignTop, qtext);
    return {r.width(), std::max(r.height(), m_font->metrics.height())};
}

void QtCanvas::copyToCleanCopy() {
    if (!m_image || !m_clean || m_clean->size() != m_image->size() || m_clean->format() != m_image->format())
        return;
    std::memcpy(m_clean->bits(), m_image->constBits(), std::size_t(m_image->sizeInBytes()));
}

void QtCanvas::restoreFromCleanCopy() {
    if (!m_image || !m_clean || m_clean->size() != m_image->size())
        return;
    m_painter.save();
    m_painter.setCompositionMode(QPainter::CompositionMode_Source);
    m_painter.drawImage(0, 0, *m_clean);
    m_painter.restore();
    m_painterPen = PainterPen::None;
}

}  // namespace tavora::framework::ui
