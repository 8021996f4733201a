#pragma once
// The small drawing surface every painting routine of the program works on (chart layers,
// annotation elements, print sheets). Implementations: framework/ui/QtCanvas (QPainter on a
// QImage, QPrinter or QPdfWriter) and RecordingCanvas (tests, deterministic text metrics).
// A canvas is used by one thread at a time: the thread that paints.
//
// Coordinates are device pixels, x to the right, y downward. Colours are 0x00BBGGRR.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tavora::framework {

using ColorRef = std::uint32_t;  // 0x00BBGGRR, red in the low byte

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point&) const = default;
};

struct Size {
    int width = 0;
    int height = 0;
    bool operator==(const Size&) const = default;
};

// Left and top inside, right and bottom just outside (as the Windows RECT).
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const Rect&) const = default;
};

// Stored line style codes: 1 solid, 2 dotted (2 on, 2 off), 3 dashed (6, 3, 3, 3, 3, 3).
// Any other code draws solid.
enum LineStyle : int { LineSolid = 1, LineDotted = 2, LineDashed = 3 };

// A geometric pen with flat ends.
struct Pen {
    ColorRef color = 0;
    int width = 1;
    int style = LineSolid;
    bool operator==(const Pen&) const = default;
};

struct Font {
    std::string face;  // as stored, e.g. "メイリオ"; the implementation adds Japanese fallbacks
    int pointSize = 9;
    int weight = 500;  // 400 normal, 700 bold
    bool operator==(const Font&) const = default;
};

enum class TextAlign { Left, Center, Right };

// How text is placed in its rectangle.
//  - single line (wrap false): vertically centred, cut with "…" at the end when too wide;
//  - wrapped: broken at word boundaries (and at line breaks) within the rectangle's width,
//    from its top; with `ellipsis` the last visible line ends in "…" when text is cut off.
// The background is always left as it is (transparent).
struct TextFormat {
    TextAlign align = TextAlign::Left;
    bool wrap = false;
    bool ellipsis = true;
    bool operator==(const TextFormat&) const = default;

    static TextFormat singleLine(TextAlign a) { return {a, false, true}; }
    static TextFormat wrapped(TextAlign a = TextAlign::Left, bool ellipsis = false) { return {a, true, ellipsis}; }
};

class Canvas {
public:
    virtual ~Canvas() = default;

    // Size of the drawing surface in pixels.
    virtual Size size() const = 0;

    // Current pen (outlines and lines), brush (fills of rectangles and polygons), font and
    // text colour. They stay until replaced.
    virtual void setPen(const Pen& pen) = 0;
    virtual void setBrush(ColorRef color) = 0;
    virtual void setFont(const Font& font) = 0;
    virtual void setTextColor(ColorRef color) = 0;

    // Fills the rectangle (right and bottom excluded) with a colour; pen and brush unused.
    virtual void fillRect(const Rect& rect, ColorRef color) = 0;
    // A line with the current pen from `from` towards `to`; the end pixel is not drawn.
    virtual void line(Point from, Point to) = 0;
    // Connected lines through the points with the current pen; the dash pattern runs on
    // across the corners; the last point's pixel is not drawn.
    virtual void polyline(std::span<const Point> points) = 0;
    // Outline with the current pen, inside filled with the current brush. The outline covers
    // left..right-1 and top..bottom-1.
    virtual void rectangle(const Rect& rect) = 0;
    // Closed polygon, outlined with the current pen and filled with the current brush.
    virtual void polygon(std::span<const Point> points) = 0;

    // Text (UTF-8) in the current font and text colour inside the rectangle.
    virtual void drawText(const Rect& rect, std::string_view text, TextFormat format) = 0;
    // Width and height of the text in the current font on one line.
    virtual Size measureText(std::string_view text) = 0;
    // Width of the widest line and total height when the text is word-wrapped to `width`.
    virtual Size measureWrappedText(std::string_view text, int width) = 0;
    // Width of the widest line and total height of the text broken at its own line breaks
    // ("\n" or "\r\n") only; a text ending in a line break has an empty last line, an empty
    // text is one empty line.
    virtual Size measureTextLines(std::string_view text) = 0;

    // The clean copy: a second image holding the last fully painted picture, so pointer tools
    // can draw cursors over it and wipe them again. A canvas without one (a printer) ignores
    // both calls.
    virtual void copyToCleanCopy() = 0;       // visible image -> clean copy
    virtual void restoreFromCleanCopy() = 0;  // clean copy -> visible image
};

}  // namespace tavora::framework
