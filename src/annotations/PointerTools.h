#pragma once
// What the pointer does on one plot area, by the active tool: the cross cursor with its bar
// read-out, the snap label, the hover test, the time-and-price measure, the two-click tools
// that make day counts, price ranges and lines, high/low marks, texts through the editor over
// the chart, memos, selection and Delete. The window turns its events into these calls and
// carries out what the host interface asks (paints, scrolling, the editor, recording). Qt-free;
// UI thread.
//
// Element pointers (the element being made, the hovered one, the one in the editor) are only
// followed while the list's generation is the one they were taken under: a list that was
// reloaded (undo, redo, new, open, another code) drops them all.
#include "annotations/GraphDrawList.h"
#include "annotations/GraphDrawWrapList.h"
#include "chart/GraphViewState.h"
#include "framework/Canvas.h"

#include <optional>
#include <string>
#include <vector>

namespace tavora::annotations {

class MemoElm;
class TextElm;

// What the in-place editor shows when it opens.
struct EditorRequest {
    Rect rect; // plot-area pixels, 250 x 100
    std::string text;
    ColorRef textColor = 0;
    std::string fontFace;
    int fontSize = 9;
};

// The window side of the pointer tools.
class PointerToolHost {
public:
    virtual ~PointerToolHost() = default;
    // A full paint into the visible image and the clean copy (visible lists follow).
    virtual void repaintFull() = 0;
    // One step of the scroll bars (dx: -1 back, +1 forward; dy: -1 up, +1 down), repainted fast.
    virtual void scrollStep(int dx, int dy) = 0;
    // Records the elements as one history step (notifications 138 and 140).
    virtual void recordStep(std::vector<GraphDrawElement*> elements) = 0;
    // Opens the memo editor for a memo (command 147).
    virtual void openMemo(MemoElm& memo) = 0;
    // No code is open: asks for one (command 265).
    virtual void requestCode() = 0;
    virtual void showEditor(const EditorRequest& request) = 0;
    virtual void hideEditor() = 0;
    virtual std::string editorText() const = 0;
    virtual bool editorHasFocus() const = 0;
    // The bottom of the chart's title block (the read-out starts there).
    virtual int titleBottom() const = 0;
};

// The longest text the editor hands over, in characters.
inline constexpr std::size_t kMaxTextCharacters = 4095;
// `text` cut to at most `maxCharacters` UTF-8 characters, never inside one.
std::string limitCharacters(std::string text, std::size_t maxCharacters);

class PointerTools {
public:
    PointerTools(chart::GraphViewState& view, PointerToolHost& host);

    // The period's element list (null while no code is open). Drops every element pointer.
    void setList(GraphDrawList* list);
    GraphDrawList* list() const { return m_list; }
    // The elements the last full paint drew.
    void setVisible(const chart::VisibleAnnotations& drawn);
    // The list was reloaded (or replaced): the element being made, the hovered one and the one
    // in the editor are dropped, the editor hidden, nothing in progress.
    void listReloaded();
    // Another tool was chosen: a half-made element is dropped (nothing recorded), the editor's
    // text is committed when not empty, a measure is ended.
    void abandonOperation();

    // The client size of the plot area.
    void setClientSize(framework::Size size) { m_client = Rect{0, 0, size.width, size.height}; }

    // Pointer moved to (x, y); `canvas` paints on the visible image (with the clean copy). Edge
    // scrolling (a host repaint) comes before anything is drawn on `canvas`.
    // Returns whether the visible image changed.
    bool onMotion(framework::Canvas& canvas, int x, int y);
    // Left button pressed at (x, y); `ctrl` when Control is held. What a press changes is shown
    // by the full paint it asks for.
    void onPress(int x, int y, bool ctrl);
    void onRelease();
    // The pointer left the plot area: what follows it is wiped from `canvas` (the visible
    // image). Returns whether the image changed.
    bool onLeave(framework::Canvas& canvas);
    // Delete pressed on the plot area.
    void onDelete();
    // The editor lost the keyboard focus (it is hidden; the text stays until the next click).
    void onEditorFocusLost() {}

    // ---- state, for the window and tests ----
    bool busy() const { return m_view.busy; }
    int currentBar() const { return m_currentBar; }
    GraphDrawElement* creating() const { return valid() ? m_creating : nullptr; }
    GraphDrawElement* hovered() const { return valid() ? m_hovered : nullptr; }
    TextElm* editing() const { return valid() ? m_editing : nullptr; }
    bool editorOpen() const { return m_editorOpen; }
    // The label of the last snap, e.g. "高値 110.00".
    const std::string& snapLabel() const { return m_snapLabel; }

    // Drawing pieces (public for the benchmark and tests).
    void drawCross(framework::Canvas& canvas, int x, int y, int bar);
    void drawSnapLabel(framework::Canvas& canvas, int y, int bar);

private:
    bool valid() const { return m_list && m_list->generation() == m_generation; }
    void dropPointers();
    double priceAt(int y) const;
    int rowOf(double price) const;
    // The visible elements the active tool hovers over (all, texts or memos).
    const GraphDrawWrapList& hoverCandidates() const;
    // The first visible candidate that (x, y) hits; null when none.
    GraphDrawElement* elementAt(const GraphDrawWrapList& candidates, int x, int y) const;
    void hoverTest(framework::Canvas& canvas, const GraphDrawWrapList& candidates, bool showMemoText);
    // The price of `bar` the pointer at row y snaps to; sets snap_kind and the snap label.
    double snapTo(int y, const market::KeisenElm& bar);
    void continueOperation(framework::Canvas& canvas, int y);
    // The element being made follows the pointer (current bar, row y); returns it.
    GraphDrawElement* advanceOperation(int y);
    void edgeScroll(int x, int y);
    void drawTimePrice(framework::Canvas& canvas, int y);
    void drawReadout(framework::Canvas& canvas, int bar);
    void drawElement(framework::Canvas& canvas, GraphDrawElement& element);
    void pressHovered(bool ctrl);
    void pressTool(int y, int bar);
    void startTwoClick(GraphDrawElement& element, int bar);
    void finishTwoClick();
    void openTextEditor(int bar, int y);
    void editExistingText(TextElm& text);
    // The editor's text applied (second click, or another tool chosen); returns the element
    // changed or made, if any.
    GraphDrawElement* commitEditor();
    void record(std::vector<GraphDrawElement*> elements);

    chart::GraphViewState& m_view;
    PointerToolHost& m_host;
    GraphDrawList* m_list = nullptr;
    std::uint64_t m_generation = 0;
    Rect m_client;
    VisibleElements m_visible;

    int m_currentBar = 0;
    std::optional<framework::Point> m_last; // last processed position
    int m_pointerRow = 0;
    std::string m_snapLabel;

    // A measurement: the bar and price under the first click, the view at that moment.
    int m_startBar = 0;
    double m_startPrice = 0;
    int m_startScroll = 0;
    int m_startBottom = 0;

    GraphDrawElement* m_creating = nullptr;
    GraphDrawElement* m_hovered = nullptr;
    TextElm* m_editing = nullptr; // an existing text in the editor
    bool m_editorOpen = false;
    int m_editorOffset = 0;     // range_y of a new text
    std::string m_editorDate;   // the bar of the first click, for a new text
    EditorRequest m_editorLook; // what the editor was given (a commit takes it back)
};

} // namespace tavora::annotations
