#pragma once
// The canvas over QPainter: on a QImage for the chart bitmaps (with an optional clean copy of
// the same size), or on any paint device such as a QPrinter or QPdfWriter. Fonts are made
// with the families {stored face, "Meiryo", "Noto Sans CJK JP"} so Japanese glyphs come from
// the Japanese font in every locale. Used on the thread that owns the device (the UI thread,
// or the cli's main thread).
#include "framework/Canvas.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPen>

#include <memory>
#include <vector>

namespace tavora::framework::ui {

QColor toQColor(ColorRef color);
// The font of a stored face, size in points and weight, for a device of `dpiY` dots per inch.
QFont makeFont(const Font& font, int dpiY);

class QtCanvas : public Canvas {
public:
    // Screen bitmaps are 96 dots per inch whatever the image's own resolution says.
    static constexpr int kScreenDpi = 96;

    // Paints on `image`; `clean`, when given, must have the same size and format.
    explicit QtCanvas(QImage& image, QImage* clean = nullptr);
    // Paints on a printer, a PDF writer or another device; there is no clean copy.
    explicit QtCanvas(QPaintDevice& device);
    // Paints a picture laid out in `logical` pixels at 96 dots per inch over the whole of a
    // device of any resolution (a printed or PDF page): coordinates and fonts are scaled.
    QtCanvas(QPaintDevice& device, Size logical);
    // False when the device could not be painted on (an unwritable file, a failed printer).
    bool isActive() const { return m_painter.isActive(); }
    ~QtCanvas() override;
    QtCanvas(const QtCanvas&) = delete;
    QtCanvas& operator=(const QtCanvas&) = delete;

    QPainter& painter() { return m_painter; }

    Size size() const override { return m_size; }
    void setPen(const Pen& pen) override;
    void setBrush(ColorRef color) override;
    void setFont(const Font& font) override;
    void setTextColor(ColorRef color) override;

    void fillRect(const Rect& rect, ColorRef color) override;
    void line(Point from, Point to) override;
    void polyline(std::span<const Point> points) override;
    void rectangle(const Rect& rect) override;
    void polygon(std::span<const Point> points) override;
    void drawText(const Rect& rect, std::string_view text, TextFormat format) override;
    Size measureText(std::string_view text) override;
    Size measureWrappedText(std::string_view text, int width) override;
    Size measureTextLines(std::string_view text) override;
    void copyToCleanCopy() override;
    void restoreFromCleanCopy() override;

private:
    struct CachedFont {
        Font key;
        QFont font;
        QFontMetrics metrics;
    };
    void usePenForLines();
    void usePenForText();
    bool thinSolid() const { return m_pen.width <= 1 && m_pen.style != LineDotted && m_pen.style != LineDashed; }

    QPainter m_painter;
    QImage* m_image = nullptr;
    QImage* m_clean = nullptr;
    Size m_size;
    int m_dpiY = kScreenDpi;

    Pen m_pen;
    QPen m_qpen;
    QColor m_penColor;
    QColor m_brush{Qt::white};
    QColor m_textColor{Qt::black};
    enum class PainterPen { None, Lines, Text } m_painterPen = PainterPen::None;
    std::vector<std::unique_ptr<CachedFont>> m_fonts;  // few fonts per picture: a short list
    CachedFont* m_font = nullptr;
    std::vector<QPoint> m_points;  // reused for polylines and polygons
};

}  // namespace tavora::framework::ui
