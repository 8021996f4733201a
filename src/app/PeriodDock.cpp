#include "app/PeriodDock.h"

#include "chart/ui/GraphDialog.h"
#include "chart/ui/GraphPanel.h"
#include "chart/ui/GraphPlotAreaPanel.h"

#include <QMouseEvent>
#include <QTabBar>
#include <QWidget>

namespace tavora::app {

using chart::ui::GraphDialog;
using chart::ui::GraphPanel;
using market::ChartPeriod;

namespace {
constexpr int DragOutDistance = 30; // below the tab bar, a dragged tab leaves for its own window

ChartPeriod periodAt(int i) {
    return market::kAllPeriods[std::size_t(i)];
}

QString captionOf(ChartPeriod p) {
    const auto caption = market::periodCaption(p);
    return QString::fromUtf8(caption.data(), int(caption.size()));
}
} // namespace

PeriodDock::PeriodDock(QWidget* home, std::function<QRect()> chartArea)
    : QObject(home), m_home(home), m_chartArea(std::move(chartArea)), m_tabs(new QTabBar(home)) {}

void PeriodDock::dock(const std::array<GraphPanel*, 4>& panels) {
    m_panels = panels;
    for (std::size_t i = 0; i < panels.size(); ++i) {
        const ChartPeriod p = periodAt(int(i));
        const QString caption = captionOf(p);
        m_dialogs[i] = new GraphDialog(caption, m_home);
        connect(m_dialogs[i], &GraphDialog::redockRequested, this, [this, p](GraphDialog*) { redock(p); });
        const int tab = m_tabs->addTab(caption);
        m_tabs->setTabData(tab, int(i));
    }
    m_tabs->setObjectName("periodtabs");
    m_tabs->setExpanding(false);
    m_tabs->setDrawBase(false);
    m_tabs->setStyleSheet(QString("QTabBar::tab { width: %1px; height: 23px; }").arg(TabWidth - 4));
    m_tabs->installEventFilter(this);
    m_tabs->setToolTip("ダブルクリックまたはドラッグで別ウィンドウに表示");
    connect(m_tabs, &QTabBar::currentChanged, this, [this](int) { showSelectedPanel(); });
}

GraphPanel* PeriodDock::panel(ChartPeriod period) const {
    return m_panels[std::size_t(market::periodIndex(period))];
}

GraphDialog* PeriodDock::dialog(ChartPeriod period) const {
    return m_dialogs[std::size_t(market::periodIndex(period))];
}

int PeriodDock::tabIndexOf(ChartPeriod period) const {
    for (int t = 0; t < m_tabs->count(); ++t)
        if (m_tabs->tabData(t).toInt() == market::periodIndex(period))
            return t;
    return -1;
}

bool PeriodDock::isFloating(ChartPeriod period) const {
    return tabIndexOf(period) < 0;
}

ChartPeriod PeriodDock::selected() const {
    const int t = m_tabs->currentIndex();
    return t < 0 ? ChartPeriod::Day : periodAt(m_tabs->tabData(t).toInt());
}

void PeriodDock::select(ChartPeriod period) {
    const int t = tabIndexOf(period);
    if (t >= 0)
        m_tabs->setCurrentIndex(t);
}

void PeriodDock::showPeriod(ChartPeriod period) {
    if (isFloating(period)) {
        dialog(period)->raise();
        dialog(period)->activateWindow();
    } else {
        select(period);
        m_home->window()->activateWindow();
    }
    panel(period)->plotArea()->setFocus(Qt::OtherFocusReason);
}

void PeriodDock::showSelectedPanel() {
    const int t = m_tabs->currentIndex();
    const int chosen = t < 0 ? -1 : m_tabs->tabData(t).toInt();
    for (std::size_t i = 0; i < m_panels.size(); ++i) {
        if (isFloating(periodAt(int(i))))
            continue;
        if (int(i) == chosen) {
            m_panels[i]->setGeometry(m_chartArea());
            m_panels[i]->relayout();
            m_panels[i]->show();
        } else {
            m_panels[i]->hide();
        }
    }
}

void PeriodDock::detach(ChartPeriod period) {
    const int t = tabIndexOf(period);
    if (t >= 0)
        detach(period, m_tabs->mapToGlobal(m_tabs->tabRect(t).topLeft()));
}

void PeriodDock::detach(ChartPeriod period, const QPoint& dropPoint) {
    const int t = tabIndexOf(period);
    if (t < 0)
        return;
    const QRect area = m_chartArea();
    GraphPanel* leaving = panel(period);
    m_tabs->removeTab(t); // selects a remaining tab and shows its panel
    dialog(period)->hostPanel(leaving, dropPoint, area.size());
    leaving->relayout();
    showSelectedPanel();
}

void PeriodDock::redock(ChartPeriod period) {
    GraphPanel* returning = dialog(period)->releasePanel();
    if (!returning)
        return;
    returning->hide();
    returning->setParent(m_home);
    insertTab(period);
    showSelectedPanel();
}

int PeriodDock::tabInsertPosition(ChartPeriod period) const {
    int at = 0;
    while (at < m_tabs->count() && m_tabs->tabData(at).toInt() < market::periodIndex(period))
        ++at;
    return at;
}

void PeriodDock::insertTab(ChartPeriod period) {
    // With every other chart docked the returning one is selected; else the selection stays.
    bool othersDocked = true;
    for (ChartPeriod p : market::kAllPeriods)
        if (p != period && isFloating(p))
            othersDocked = false;
    const QSignalBlocker block(m_tabs);
    const int previous = m_tabs->currentIndex() < 0 ? -1 : m_tabs->tabData(m_tabs->currentIndex()).toInt();
    const int t = m_tabs->insertTab(tabInsertPosition(period), captionOf(period));
    m_tabs->setTabData(t, market::periodIndex(period));
    if (othersDocked || previous < 0)
        m_tabs->setCurrentIndex(t);
    else
        select(periodAt(previous));
}

std::optional<ChartPeriod> PeriodDock::periodUnder(const QPoint& pos) const {
    const int t = m_tabs->tabAt(pos);
    if (t < 0)
        return std::nullopt;
    return periodAt(m_tabs->tabData(t).toInt());
}

bool PeriodDock::dragMoved(QMouseEvent* event) {
    if (m_draggedOut) {
        dialog(*m_draggedOut)->moveToDropPoint(event->globalPosition().toPoint());
        return true;
    }
    if ((event->buttons() & Qt::LeftButton) && event->position().y() > m_tabs->height() + DragOutDistance) {
        if (auto p = periodUnder(m_tabPressPos)) {
            m_draggedOut = *p;
            detach(*p, event->globalPosition().toPoint());
            return true;
        }
    }
    return false;
}

bool PeriodDock::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_tabs)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        m_tabPressPos = static_cast<QMouseEvent*>(event)->position().toPoint();
        break;
    case QEvent::MouseButtonDblClick: {
        auto* me = static_cast<QMouseEvent*>(event);
        if (auto p = periodUnder(me->position().toPoint())) {
            detach(*p, me->globalPosition().toPoint());
            return true;
        }
        break;
    }
    case QEvent::MouseMove:
        if (dragMoved(static_cast<QMouseEvent*>(event)))
            return true;
        break;
    case QEvent::MouseButtonRelease:
        if (m_draggedOut) {
            dialog(*m_draggedOut)
                ->moveToDropPoint(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
            m_draggedOut.reset();
            return true;
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tavora::app
