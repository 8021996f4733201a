#include "chart/ui/GraphPanel.h"

#include "annotations/GraphDrawList.h"
#include "chart/ChartGeometry.h"
#include "chart/ui/GraphPlotAreaPanel.h"
#include "framework/ui/RangeSlider.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QScrollBar>
#include <QSignalBlocker>

namespace tavora::chart::ui {

using framework::ui::RangeSlider;

GraphPanel::GraphPanel(market::ChartPeriod period, const framework::YmdDate& today, CodeScale& scale,
                       QWidget* parent)
    : QWidget(parent), m_period(period), m_scale(scale), m_state(makeViewState(period, framework::formatDate(today))),
      m_weeks(today), m_plot(new GraphPlotAreaPanel(m_state, m_content, this)), m_hscroll(new QScrollBar(Qt::Horizontal, this)),
      m_vscroll(new QScrollBar(Qt::Vertical, this)), m_vslider(new RangeSlider(Qt::Vertical, this)),
      m_hslider(new RangeSlider(Qt::Horizontal, this)), m_combo(new QComboBox(this)) {
    setObjectName(QString("graphpanel_%1").arg(QString::fromUtf8(market::periodLetter(period).data(), 1)));
    m_state.weeks = &m_weeks;
    m_plot->setObjectName("plotarea");
    m_hscroll->setObjectName("horizonscroll");
    m_vscroll->setObjectName("verticalscroll");
    m_vslider->setObjectName("vert_rs");
    m_hslider->setObjectName("hori_rs");
    m_combo->setObjectName("scalecombo");
    m_combo->resize(100, ScrollThickness);
    // The keyboard stays with the plot area: arrows there scroll, they would zoom a slider.
    for (QWidget* control : std::initializer_list<QWidget*>{m_combo, m_vslider, m_hslider})
        control->setFocusPolicy(Qt::NoFocus);
    if (auto p = sliderForPitch(m_state.x_haba_p))
        m_hslider->setRatio(*p);
    if (auto t = sliderForTick(m_state.y_ichimemori))
        m_vslider->setRatio(*t);

    connect(m_hscroll, &QScrollBar::valueChanged, this, &GraphPanel::onHorizontalScroll);
    connect(m_vscroll, &QScrollBar::valueChanged, this, &GraphPanel::onVerticalScroll);
    connect(m_hslider, &RangeSlider::ratioChanged, this, &GraphPanel::zoomToRatio);
    connect(m_vslider, &RangeSlider::ratioChanged, this, [this](double r) {
        zoomVertically(m_state, r, plotHeight());
        setVerticalRange(m_state, plotHeight());
        syncControls();
        m_plot->fullPaint();
    });
    connect(m_combo, &QComboBox::textActivated, this, [this](const QString& text) {
        bool ok = false;
        const int grid = text.toInt(&ok);
        if (!ok || grid <= 0)
            return;
        chooseScale(m_state, grid, m_scale, plotHeight());
        syncControls();
        m_plot->fullPaint();
    });
    connect(m_plot, &GraphPlotAreaPanel::wheelStep, this,
            [this](int direction, Qt::KeyboardModifiers modifiers) {
                perform(chartActionForWheel(direction, modifiers));
            });
    connect(m_plot, &GraphPlotAreaPanel::edgeScroll, this, &GraphPanel::edgeScroll);
    connect(m_plot, &GraphPlotAreaPanel::annotationsChanged, this,
            [this](std::vector<annotations::GraphDrawElement*> elements) {
                emit annotationsChanged(m_list, std::move(elements));
            });
    connect(m_plot, &GraphPlotAreaPanel::memoRequested, this, &GraphPanel::memoRequested);
    connect(m_plot, &GraphPlotAreaPanel::codeRequested, this, &GraphPanel::codeRequested);
    setFocusProxy(m_plot); // the keys go to the plot area and come here when it leaves them
    // Releasing a dragged scroll bar finishes with a full paint (the drag painted fast).
    connect(m_hscroll, &QScrollBar::sliderReleased, m_plot, &GraphPlotAreaPanel::fullPaint);
    connect(m_vscroll, &QScrollBar::sliderReleased, m_plot, &GraphPlotAreaPanel::fullPaint);
}

GraphPanel::~GraphPanel() = default;

void GraphPanel::setPaint(const ChartPaint& paint) { m_state.paint = paint; }

void GraphPanel::keyPressEvent(QKeyEvent* event) {
    if (const auto action = chartActionForKey(*event); action && perform(*action)) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool GraphPanel::perform(ChartAction action) {
    if (isHomeAction(action)) {
        emit keyCommand(int(action));
        return true;
    }
    if (!m_series)
        return false; // nothing to move without a code
    switch (action) {
    case ChartAction::ScrollBack:
        m_hscroll->triggerAction(QAbstractSlider::SliderSingleStepSub);
        break;
    case ChartAction::ScrollForward:
        m_hscroll->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        break;
    case ChartAction::PageBack:
        m_hscroll->triggerAction(QAbstractSlider::SliderPageStepSub);
        break;
    case ChartAction::PageForward:
        m_hscroll->triggerAction(QAbstractSlider::SliderPageStepAdd);
        break;
    case ChartAction::Oldest:
        // The oldest bar at the left edge, also where the range reaches further (a short series).
        m_hscroll->setValue(1);
        break;
    case ChartAction::Newest:
        // The newest bar with prices where opening puts today's bar, not the last future day.
        m_hscroll->setValue(newestPosition(m_state, plotWidth()).value_or(m_hscroll->maximum()));
        break;
    case ChartAction::WiderBars:
        stepBarWidth(1);
        break;
    case ChartAction::NarrowerBars:
        stepBarWidth(-1);
        break;
    case ChartAction::FitPrices:
        fitPrices();
        break;
    case ChartAction::PricesUp:
        // One notch is one step of the vertical scroll bar; a wheel change repaints fully.
        m_vscroll->triggerAction(QAbstractSlider::SliderSingleStepSub);
        break;
    case ChartAction::PricesDown:
        m_vscroll->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        break;
    default:
        return false;
    }
    return true;
}

void GraphPanel::zoomToRatio(double r) {
    zoomHorizontally(m_state, r, plotWidth());
    syncControls();
    m_plot->fullPaint();
}

// The keys step through the slider's table: the slider moves to the new pitch's place and the
// zoom is the slider's.
void GraphPanel::stepBarWidth(int direction) {
    const auto pitch = nextPitch(m_state.x_haba_p, direction);
    const auto ratio = pitch ? sliderForPitch(*pitch) : std::nullopt;
    if (!ratio)
        return;
    m_hslider->setRatio(*ratio);
    zoomToRatio(*ratio);
}

// The tick size chosen is the vertical slider's, so the slider follows and the code's scale
// stores it as it stores a slider change.
void GraphPanel::fitPrices() {
    if (!fitPricesToView(m_state, plotWidth(), plotHeight()))
        return;
    if (auto t = sliderForTick(m_state.y_ichimemori))
        m_vslider->setRatio(*t);
    syncControls();
    m_plot->fullPaint();
}

void GraphPanel::setBusy(bool busy) {
    m_state.busy = busy;
    if (busy)
        m_plot->setCursor(Qt::BusyCursor);
    else
        m_plot->unsetCursor();
}

const market::KeisenList& GraphPanel::bars() const {
    static const market::KeisenList none;
    return m_series ? m_series->bars : none;
}

void GraphPanel::setSeries(const chart::PeriodSeries* series, ChartContent content) {
    m_series = series;
    m_content = std::move(content);
    m_content.codeOpen = series != nullptr;
    m_state.bars = series ? &series->bars : nullptr;
    m_state.graphs = series ? &series->graphs : nullptr;
    m_state.inProgress = false;
    m_plot->setAnnotationList(series ? m_list : nullptr);
    if (!series) {
        m_combo->clear();
        repaintChart();
        return;
    }
    fillScaleCombo(showNewSeries(m_state, m_scale, plotWidth(), plotHeight()));
    if (auto p = sliderForPitch(m_state.x_haba_p))
        m_hslider->setRatio(*p);
    if (auto t = sliderForTick(m_state.y_ichimemori))
        m_vslider->setRatio(*t);
    relayout();
}

void GraphPanel::fillScaleCombo(const std::string& current) {
    const QSignalBlocker block(m_combo);
    m_combo->clear();
    for (const auto& entry : scaleComboEntries(m_period))
        m_combo->addItem(QString::fromStdString(entry));
    const int at = m_combo->findText(QString::fromStdString(current));
    if (at >= 0) {
        m_combo->setCurrentIndex(at);
    } else {
        // The automatic interval need not be an entry (3,000,000 on a year chart).
        m_combo->setCurrentIndex(-1);
        m_combo->setPlaceholderText(QString::fromStdString(current));
    }
}

void GraphPanel::resizeEvent(QResizeEvent*) { relayout(); }

void GraphPanel::relayout() {
    const int w = width();
    const int h = height();
    m_state.recomputeScale();
    // A view placed on the newest priced bar or on today's bar (End, opening) stays placed for
    // the new width; a view at the end of the range stays there.
    const int oldWidth = m_plot->width();
    const int pos = m_state.hscroll.pos;
    const bool atNewest = pos == newestPosition(m_state, oldWidth);
    const bool atAnchor = pos == anchorPosition(m_state, oldWidth);
    const bool atEnd = pos >= m_state.hscroll.max;
    m_plot->setGeometry(0, 0, plotWidth(), plotHeight());
    setVerticalRange(m_state, plotHeight());
    m_vscroll->setGeometry(w - ScrollThickness, 90, ScrollThickness, std::max(0, h - 107));
    m_vslider->setGeometry(m_vscroll->x() + 1, 10, 14, 70);
    setHorizontalRange(m_state, plotWidth());
    if (const auto placed = atNewest   ? newestPosition(m_state, plotWidth())
                            : atAnchor ? anchorPosition(m_state, plotWidth())
                                       : std::nullopt)
        scrollHorizontally(m_state, *placed);
    else if (atEnd || m_state.hscroll.pos >= m_state.hscroll.max)
        scrollHorizontally(m_state, m_state.hscroll.max);
    m_hslider->setGeometry(0, h - 15, 70, 14);
    m_hscroll->setGeometry(m_hslider->geometry().right() + 1 + 2, h - ScrollThickness, std::max(0, w - 152),
                           ScrollThickness);
    m_combo->setGeometry(w - 80, m_hscroll->y(), 80, ScrollThickness);
    syncControls();
    repaintChart();
}

void GraphPanel::repaintChart() {
    // A hidden panel (another period's tab) paints when it is shown.
    if (!isVisible()) {
        m_paintPending = true;
        return;
    }
    m_paintPending = false;
    m_plot->fullPaint();
}

void GraphPanel::showEvent(QShowEvent*) {
    if (m_paintPending)
        repaintChart();
}

void GraphPanel::syncControls() {
    m_syncing = true;
    m_hscroll->setRange(m_state.hscroll.min, m_state.hscroll.max);
    m_hscroll->setPageStep(std::max(1, plotWidth() / std::max(1, m_state.x_haba_p)));
    m_hscroll->setValue(m_state.hscroll.pos);
    m_vscroll->setRange(m_state.vscroll.min, m_state.vscroll.max);
    m_vscroll->setPageStep(std::max(1, plotHeight() / std::max(1, m_state.y_ichimemori)));
    m_vscroll->setValue(m_state.vscroll.pos);
    m_syncing = false;
}

void GraphPanel::onHorizontalScroll(int position) {
    if (m_syncing)
        return;
    scrollHorizontally(m_state, position);
    repaintAfterScroll(m_hscroll->isSliderDown());
}

void GraphPanel::onVerticalScroll(int position) {
    if (m_syncing)
        return;
    scrollVertically(m_state, position);
    repaintAfterScroll(m_vscroll->isSliderDown());
}

void GraphPanel::setAnnotationList(annotations::GraphDrawList* list) {
    m_list = list;
    if (m_series)
        m_plot->setAnnotationList(list);
}

void GraphPanel::annotationsReloaded() {
    m_plot->annotationsReloaded();
    repaintChart();
}

void GraphPanel::abandonToolOperation() {
    m_plot->tools().abandonOperation();
    m_plot->wipeOverlay();  // no cross or label of the old tool stays behind
}

void GraphPanel::edgeScroll(int dx, int dy) {
    // The pointer near an edge while measuring: one step, repainted fast (the measurement
    // draws over it).
    m_edgeScrolling = true;
    if (dx != 0)
        m_hscroll->triggerAction(dx < 0 ? QAbstractSlider::SliderSingleStepSub : QAbstractSlider::SliderSingleStepAdd);
    if (dy != 0)
        m_vscroll->triggerAction(dy < 0 ? QAbstractSlider::SliderSingleStepSub : QAbstractSlider::SliderSingleStepAdd);
    m_edgeScrolling = false;
}

void GraphPanel::repaintAfterScroll(bool dragging) {
    const ScrollSource source = m_edgeScrolling ? ScrollSource::EdgeScroll
                                : dragging      ? ScrollSource::Drag
                                                : ScrollSource::Other;
    if (redrawFor(source) == Redraw::Fast)
        m_plot->fastPaint();
    else
        m_plot->fullPaint();
}

}  // namespace tavora::chart::ui
