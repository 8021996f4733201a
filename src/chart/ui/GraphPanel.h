#pragma once
// The chart panel of one period: the plot area, the horizontal and vertical scroll bars,
// the two zoom sliders and the scale combo box, laid out on every size change. It owns the
// period's view state and bars and turns its controls' changes, its keys and the wheel
// (ChartKeyboard.h) into changes of the view state (through the chart geometry) and repaints.
// UI thread only.
#include "annotations/GraphDrawList.h"
#include "annotations/TextElm.h"
#include "chart/ChartPainter.h"
#include "chart/CodeScale.h"
#include "chart/GraphViewState.h"
#include "chart/OpenChart.h"
#include "chart/ui/ChartKeyboard.h"
#include "market/DateList.h"

#include <QWidget>

class QComboBox;
class QScrollBar;

namespace tavora::framework::ui {
class RangeSlider;
}

namespace tavora::chart::ui {

class GraphPlotAreaPanel;

class GraphPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int ScrollThickness = 17;

    // `scale` is the current code's scale, shared by the four panels (the scale combo box
    // stores the chosen fixed interval in it).
    GraphPanel(market::ChartPeriod period, const framework::YmdDate& today, CodeScale& scale, QWidget* parent);
    ~GraphPanel() override;

    market::ChartPeriod period() const { return m_period; }
    GraphViewState& state() { return m_state; }
    const GraphViewState& state() const { return m_state; }
    // The bars shown (empty while no code is open).
    const market::KeisenList& bars() const;
    GraphPlotAreaPanel* plotArea() const { return m_plot; }
    QScrollBar* horizontalScroll() const { return m_hscroll; }
    QScrollBar* verticalScroll() const { return m_vscroll; }
    QComboBox* scaleCombo() const { return m_combo; }

    // Shows a freshly opened series (owned by the caller, which keeps it alive while shown):
    // the code's scale is applied, the series scaled and positioned, the sliders placed and
    // the chart repainted. A null series shows the screen without a code.
    void setSeries(const chart::PeriodSeries* series, ChartContent content);
    void setBusy(bool busy);
    // Lays out the children for the current size and repaints when shown (command 160, 161).
    void relayout();
    // Paint parameters from the settings; the next paint uses them.
    void setPaint(const ChartPaint& paint);
    // Carries out a key or wheel action on this chart's view; actions of the Home page are
    // sent on as keyCommand. False when the action changes nothing here.
    bool perform(ChartAction action);

    // The period's elements (owned by the caller); the pointer tools work on them while a
    // code is shown.
    void setAnnotationList(annotations::GraphDrawList* list);
    // The list was emptied and filled again (undo, redo, new, open): the tools drop what they
    // held and the chart repaints.
    void annotationsReloaded();
    // Another tool is being chosen: an operation left half done is ended.
    void abandonToolOperation();
    // Paints the chart again now (a hidden panel when it is next shown): after its colours or
    // its elements' styles changed.
    void repaintChart();

signals:
    // Elements of the list finished, edited or deleted, to be recorded as one step.
    void annotationsChanged(annotations::GraphDrawList* list, std::vector<annotations::GraphDrawElement*> elements);
    void memoRequested(annotations::MemoElm* memo);
    void codeRequested();
    // An action the Home page carries out (another code, another period): a ChartAction.
    void keyCommand(int action);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int plotWidth() const { return std::max(0, width() - ScrollThickness); }
    int plotHeight() const { return std::max(0, height() - ScrollThickness); }
    void syncControls();
    void onHorizontalScroll(int position);
    void onVerticalScroll(int position);
    void repaintAfterScroll(bool dragging);
    void edgeScroll(int dx, int dy);
    // The horizontal zoom of the slider at ratio r (also for the keys and Ctrl + wheel).
    void zoomToRatio(double r);
    void stepBarWidth(int direction);
    void fitPrices();
    void fillScaleCombo(const std::string& current);

    market::ChartPeriod m_period;
    CodeScale& m_scale;
    GraphViewState m_state;
    market::DateList m_weeks;
    const chart::PeriodSeries* m_series = nullptr;
    ChartContent m_content;
    GraphPlotAreaPanel* m_plot;
    QScrollBar* m_hscroll;
    QScrollBar* m_vscroll;
    framework::ui::RangeSlider* m_vslider;
    framework::ui::RangeSlider* m_hslider;
    QComboBox* m_combo;
    bool m_syncing = false;
    bool m_edgeScrolling = false;
    annotations::GraphDrawList* m_list = nullptr;
    bool m_paintPending = true;
};

}  // namespace tavora::chart::ui
