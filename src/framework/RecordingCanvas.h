#pragma once
// A canvas that records every call instead of drawing, with deterministic text metrics, so
// tests can assert a painting routine's output call by call. Single-threaded.
//
// Metrics: an ASCII character is `pointSize` pixels wide, any other character twice that;
// a line of text is 2 x `pointSize` pixels high. Wrapping breaks at spaces and line breaks,
// and inside a word only when the word alone is wider than the width.
#include "framework/Canvas.h"

#include <string>
#include <vector>

namespace tavora::framework {

struct CanvasOp {
    enum class Kind { FillRect, Line, Polyline, Rectangle, Polygon, Text, CopyToClean, RestoreFromClean };
    Kind kind = Kind::Line;
    std::vector<Point> points;  // Line: from, to; Polyline, Polygon: the points
    Rect rect;                  // FillRect, Rectangle, Text
    ColorRef fill = 0;          // FillRect: its colour
    Pen pen;                    // the pen in effect
    ColorRef brush = 0;         // the brush in effect
    Font font;                  // the font in effect
    ColorRef textColor = 0;     // the text colour in effect
    std::string text;
    TextFormat format;
};

class RecordingCanvas : public Canvas {
public:
    explicit RecordingCanvas(Size size) : m_size(size) {}

    Size size() const override { return m_size; }
    void setPen(const Pen& pen) override { m_pen = pen; }
    void setBrush(ColorRef color) override { m_brush = color; }
    void setFont(const Font& font) override { m_font = font; }
    void setTextColor(ColorRef color) override { m_textColor = color; }

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

    const std::vector<CanvasOp>& ops() const { return m_ops; }
    std::vector<CanvasOp> opsOf(CanvasOp::Kind kind) const;
    void clear() { m_ops.clear(); }

    // The metrics above, for tests that compute expected rectangles.
    static int textWidth(const Font& font, std::string_view text);
    static int lineHeight(const Font& font) { return 2 * font.pointSize; }
    // The lines `text` is broken into at `width`.
    static std::vector<std::string> wrapLines(const Font& font, std::string_view text, int width);

private:
    CanvasOp& record(CanvasOp::Kind kind);

    Size m_size;
    Pen m_pen;
    ColorRef m_brush = 0xFFFFFF;
    Font m_font;
    ColorRef m_textColor = 0;
    std::vector<CanvasOp> m_ops;
};

}  // namespace tavora::framework
