#include "framework/RecordingCanvas.h"

#include <algorithm>

namespace tavora::framework {

namespace {

// Splits UTF-8 text into characters (one code point each, with its continuation bytes).
std::vector<std::string_view> characters(std::string_view text) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t n = 1;
        while (i + n < text.size() && (static_cast<unsigned char>(text[i + n]) & 0xC0) == 0x80)
            ++n;
        out.push_back(text.substr(i, n));
        i += n;
    }
    return out;
}

int charWidth(const Font& font, std::string_view ch) {
    return static_cast<unsigned char>(ch[0]) < 0x80 ? font.pointSize : 2 * font.pointSize;
}

}  // namespace

CanvasOp& RecordingCanvas::record(CanvasOp::Kind kind) {
    CanvasOp& op = m_ops.emplace_back();
    op.kind = kind;
    op.pen = m_pen;
    op.brush = m_brush;
    op.font = m_font;
    op.textColor = m_textColor;
    return op;
}

void RecordingCanvas::fillRect(const Rect& rect, ColorRef color) {
    CanvasOp& op = record(CanvasOp::Kind::FillRect);
    op.rect = rect;
    op.fill = color;
}

void RecordingCanvas::line(Point from, Point to) { record(CanvasOp::Kind::Line).points = {from, to}; }

void RecordingCanvas::polyline(std::span<const Point> points) {
    record(CanvasOp::Kind::Polyline).points.assign(points.begin(), points.end());
}

void RecordingCanvas::rectangle(const Rect& rect) { record(CanvasOp::Kind::Rectangle).rect = rect; }

void RecordingCanvas::polygon(std::span<const Point> points) {
    record(CanvasOp::Kind::Polygon).points.assign(points.begin(), points.end());
}

void RecordingCanvas::drawText(const Rect& rect, std::string_view text, TextFormat format) {
    CanvasOp& op = record(CanvasOp::Kind::Text);
    op.rect = rect;
    op.text = std::string(text);
    op.format = format;
}

int RecordingCanvas::textWidth(const Font& font, std::string_view text) {
    int width = 0;
    for (std::string_view ch : characters(text))
        width += charWidth(font, ch);
    return width;
}

std::vector<std::string> RecordingCanvas::wrapLines(const Font& font, std::string_view text, int width) {
    std::vector<std::string> lines;
    std::string current;
    int currentWidth = 0;
    auto flush = [&] {
        lines.push_back(current);
        current.clear();
        currentWidth = 0;
    };
    auto addWord = [&](std::string_view word) {
        int w = textWidth(font, word);
        int space = current.empty() ? 0 : font.pointSize;
        if (!current.empty() && currentWidth + space + w > width)
            flush();
        if (current.empty() && w > width) {
            // A word wider than the line is broken between characters.
            for (std::string_view ch : characters(word)) {
                int cw = charWidth(font, ch);
                if (!current.empty() && currentWidth + cw > width)
                    flush();
                current += ch;
                currentWidth += cw;
            }
            return;
        }
        if (!current.empty()) {
            current += ' ';
            currentWidth += font.pointSize;
        }
        current += word;
        currentWidth += w;
    };
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        std::string_view paragraph = text.substr(start, end == std::string_view::npos ? text.npos : end - start);
        if (!paragraph.empty() && paragraph.back() == '\r')
            paragraph.remove_suffix(1);
        std::size_t pos = 0;
        while (pos < paragraph.size()) {
            std::size_t next = paragraph.find(' ', pos);
            std::string_view word = paragraph.substr(pos, next == std::string_view::npos ? paragraph.npos : next - pos);
            if (!word.empty())
                addWord(word);
            if (next == std::string_view::npos)
                break;
            pos = next + 1;
        }
        flush();
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    return lines;
}

Size RecordingCanvas::measureText(std::string_view text) { return {textWidth(m_font, text), lineHeight(m_font)}; }

Size RecordingCanvas::measureWrappedText(std::string_view text, int width) {
    std::vector<std::string> lines = wrapLines(m_font, text, width);
    int widest = 0;
    for (const std::string& l : lines)
        widest = std::max(widest, textWidth(m_font, l));
    return {widest, static_cast<int>(lines.size()) * lineHeight(m_font)};
}

Size RecordingCanvas::measureTextLines(std::string_view text) {
    int widest = 0;
    int lines = 0;
    std::size_t start = 0;
    while (true) {
        std::size_t end = text.find('\n', start);
        std::string_view line = text.substr(start, end == std::string_view::npos ? text.npos : end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        widest = std::max(widest, textWidth(m_font, line));
        ++lines;
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    return {widest, lines * lineHeight(m_font)};
}

void RecordingCanvas::copyToCleanCopy() { record(CanvasOp::Kind::CopyToClean); }
void RecordingCanvas::restoreFromCleanCopy() { record(CanvasOp::Kind::RestoreFromClean); }

std::vector<CanvasOp> RecordingCanvas::opsOf(CanvasOp::Kind kind) const {
    std::vector<CanvasOp> out;
    std::copy_if(m_ops.begin(), m_ops.end(), std::back_inserter(out),
                 [kind](const CanvasOp& op) { return op.kind == kind; });
    return out;
}

}  // namespace tavora::framework
