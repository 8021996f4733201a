#include "app/HomePanel.h"

#include "annotations/AnnotationHistory.h"
#include "annotations/DocumentHistory.h"
#include "annotations/ui/DocumentCommands.h"
#include "app/AdContainerPanel.h"
#include "app/CodeSearch.h"
#include "app/CodeSearchPopup.h"
#include "app/HomeHeadPanel.h"
#include "app/HomeLeftPanel.h"
#include "app/ToolSelection.h"
#include "app/core/AppContext.h"
#include "chart/ChartSettings.h"
#include "chart/ui/ChartKeyboard.h"
#include "chart/ui/GraphPanel.h"
#include "chart/ui/GraphPlotAreaPanel.h"
#include "framework/Dates.h"
#include "framework/ui/StatusBar.h"
#include "framework/ui/Theme.h"

#include <QTabBar>

namespace tavora::app {

using chart::ui::GraphPanel;
using market::ChartPeriod;

namespace {
constexpr int HeadRightReserve = 220; // the period tabs' width at the head's right end

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

// Pitch and tick size of a period as last used (settings), before a code brings its own.
void applyStoredPitch(chart::GraphViewState& vs, const settings::Settings& s, ChartPeriod p) {
    const std::array<std::pair<int, int>, 4> stored{{{s.d_x_haba_p, s.d_y_ichimemori},
                                                     {s.w_x_haba_p, s.w_y_ichimemori},
                                                     {s.m_x_haba_p, s.m_y_ichimemori},
                                                     {s.y_x_haba_p, s.y_y_ichimemori}}};
    const auto& [pitch, tick] = stored[std::size_t(market::periodIndex(p))];
    vs.x_haba_p = pitch;
    vs.y_ichimemori = tick;
    vs.recomputeScale();
}
} // namespace

HomePanel::HomePanel(AppContext& ctx, framework::ui::StatusBar* status, QWidget* parent)
    : QWidget(parent), m_ctx(ctx), m_status(status), m_head(new HomeHeadPanel(this)),
      m_left(new HomeLeftPanel(this)), m_ad(new AdContainerPanel(this)),
      m_adButton(new HomeHeadAdButtonPanel(this)),
      m_dock(new PeriodDock(this, [this] { return chartArea(); })), m_searchPopup(new CodeSearchPopup(this)),
      m_search(new CodeSearch(ctx.catalogue, m_head->searchBox(), m_searchPopup, this)),
      m_documents(new annotations::ui::DocumentCommands(ctx, this, status)),
      m_documentHistory(std::make_unique<annotations::DocumentHistory>(ctx.document)) {
    m_documentHistory->setRecorded([this] { m_documents->documentEdited(); }); // the title's "*"
    setObjectName("homepanel");
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, framework::ui::themeColor(4));
    setPalette(pal);
    makeCharts();
    m_current = new CurrentCodeController(m_ctx, {m_head, m_search, m_status, m_panels}, this);
    m_current->setAnnotationHistory(m_documentHistory.get()); // changes are steps of the open document
    for (std::size_t i = 0; i < m_panels.size(); ++i)
        connectChart(i);
    m_dock->dock(m_panels);
    for (Command tool : kToolCommands)
        m_left->setCommandEnabled(tool, true);
    m_left->setCommandEnabled(Command::Undo, true);
    m_left->setCommandEnabled(Command::Redo, true);
    connectParts();
    m_head->setNavigationEnabled(!m_ctx.catalogue.empty());
    setTabOrder();
    updateAdPanel();
    m_dock->showSelectedPanel();
}

HomePanel::~HomePanel() = default;

void HomePanel::makeCharts() {
    const framework::YmdDate today = framework::todayYmd();
    for (std::size_t i = 0; i < m_panels.size(); ++i) {
        const ChartPeriod p = market::kAllPeriods[i];
        m_panels[i] = new GraphPanel(p, today, m_ctx.scale, this);
        chart::applySettings(m_panels[i]->state(), m_ctx.settings);
        applyStoredPitch(m_panels[i]->state(), m_ctx.settings, p);
        m_panels[i]->hide();
    }
}

void HomePanel::connectChart(std::size_t index) {
    GraphPanel* panel = m_panels[index];
    const ChartPeriod period = market::kAllPeriods[index];
    panel->setAnnotationList(&m_current->annotationLists().list(period));
    connect(panel, &GraphPanel::annotationsChanged, this,
            [this](annotations::GraphDrawList* list, std::vector<annotations::GraphDrawElement*> elements) {
                if (auto* history = m_current->annotationHistory(); history && list && !elements.empty())
                    history->recordStep(*list, elements);
            });
    connect(panel, &GraphPanel::memoRequested, this,
            [this, period](annotations::MemoElm* memo) { emit memoEditRequested(period, memo); });
    connect(panel, &GraphPanel::codeRequested, this, [this] { onCommand(Command::NextCode); });
    connect(panel, &GraphPanel::keyCommand, this, &HomePanel::chartKeyCommand);
}

void HomePanel::connectParts() {
    connect(m_head, &HomeHeadPanel::command, this, [this](Command cmd) { onCommand(cmd); });
    connect(m_left, &HomeLeftPanel::command, this, [this](Command cmd) { onCommand(cmd); });
    connect(m_adButton, &HomeHeadAdButtonPanel::clicked, this, &HomePanel::cycleAdView);
    connect(m_search, &CodeSearch::openRequested, this, [this](std::size_t position) {
        m_current->changeCurrentCode(position);
        focusChart(); // the chart's keys work at once on the chosen code
    });
    connect(m_search, &CodeSearch::notFound, this,
            [this](const QString& text) { m_status->setText(QString("%1はみつかりません").arg(text)); });
    connect(m_current, &CurrentCodeController::opening, this, &HomePanel::updateAdPanel);
    connect(m_current, &CurrentCodeController::chartShown, this, &HomePanel::chartShown);
    connect(m_current, &CurrentCodeController::scaleStored, this,
            [this] { emit command(Command::StoreScale, 0); });
    connect(m_current, &CurrentCodeController::favouritesEdited, m_documents,
            &annotations::ui::DocumentCommands::documentEdited); // the marks are saved in the document
    connect(m_head, &HomeHeadPanel::recentChosen, m_documents, &annotations::ui::DocumentCommands::openPath);
    connect(m_documents, &annotations::ui::DocumentCommands::recentFilesChanged, m_head,
            &HomeHeadPanel::setRecentFiles);
    connect(m_documents, &annotations::ui::DocumentCommands::busyChanged, m_current,
            &CurrentCodeController::setBusy);
    connect(m_documents, &annotations::ui::DocumentCommands::documentReplaced, m_current,
            &CurrentCodeController::documentReplaced);
}

GraphPanel* HomePanel::graphPanel(ChartPeriod period) const {
    return m_panels[std::size_t(market::periodIndex(period))];
}

// ---- layout ----

int HomePanel::adWidth() const {
    // The side panel gives way before the head would be squeezed below what it needs.
    const int room = std::max(0, width() - m_head->minimumWidth() - HeadRightReserve);
    return std::min(adPanelWidth(m_ctx.settings.adpanelWidth(), width()), room);
}

QSize HomePanel::minimumSizeHint() const {
    return {m_head->minimumWidth() + HeadRightReserve,
            HomeHeadPanel::Height + m_left->minimumSizeHint().height()};
}

void HomePanel::setTabOrder() {
    QList<QWidget*> chain = m_head->focusChain();
    chain << m_dock->tabs();
    for (auto* panel : m_panels)
        chain << panel->plotArea();
    for (qsizetype i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
}

void HomePanel::focusChart() {
    GraphPanel* panel = graphPanel(selectedPeriod());
    if (panel->isVisible())
        panel->plotArea()->setFocus(Qt::OtherFocusReason);
}

QRect HomePanel::chartArea() const {
    return QRect(HomeLeftPanel::Width, HomeHeadPanel::Height,
                 std::max(0, width() - HomeLeftPanel::Width - adWidth()),
                 std::max(0, height() - HomeHeadPanel::Height));
}

void HomePanel::resizeEvent(QResizeEvent*) {
    relayoutCharts();
}

void HomePanel::relayoutCharts() {
    const int w = width();
    const int h = height();
    const int a = adWidth();
    m_head->setGeometry(0, 0, std::max(0, w - a - HeadRightReserve), HomeHeadPanel::Height);
    m_left->setGeometry(0, HomeHeadPanel::Height, HomeLeftPanel::Width,
                        std::max(0, h - HomeHeadPanel::Height));
    m_dock->tabs()->setGeometry(w - a - HeadRightReserve, 10, HeadRightReserve, 25);
    m_adButton->setGeometry(w - a - 12, 0, 10, 10);
    m_ad->setGeometry(w - a, 0, a, h);
    m_ad->setVisible(a > 0);
    m_adButton->raise();
    const QRect area = chartArea();
    for (std::size_t i = 0; i < m_panels.size(); ++i) {
        if (isFloating(market::kAllPeriods[i]))
            continue;
        if (m_panels[i]->geometry() != area)
            m_panels[i]->setGeometry(area); // a resize lays the panel out itself
        else if (m_panels[i]->isVisible())
            m_panels[i]->relayout();
    }
}

// ---- the web side panel ----

void HomePanel::cycleAdView() {
    static const char* const texts[] = {settings::kAdpanelNotView, settings::kAdpanelView,
                                        settings::kAdpanelLargeView};
    const int next = nextAdViewType(m_ctx.settings.adpanelWidth());
    m_ctx.settings.adpanel_view_type = texts[next];
    emit command(Command::StoreAdView, next); // stored at once in settei.db by the main window
    updateAdPanel();
    relayoutCharts();
}

void HomePanel::updateAdPanel() {
    const bool none = !m_ctx.currentCode || *m_ctx.currentCode >= m_ctx.catalogue.size();
    const market::CodeElm* entry = none ? nullptr : &m_ctx.catalogue[*m_ctx.currentCode];
    const bool blog = !entry || entry->sector.find("指数") != std::string::npos ||
                      entry->market.find("指数") != std::string::npos;
    m_ad->navigate(qs(m_ctx.settings.site_url) + adPagePath(entry ? qs(entry->symbol) : QString(), blog));
}

// ---- commands ----

void HomePanel::onCommand(Command cmd, int param) {
    switch (cmd) {
    case Command::Search:
        search();
        break;
    case Command::RelayoutCharts:
        relayoutCharts();
        break;
    case Command::Refresh:
        m_current->refresh();
        break;
    case Command::FirstCode:
    case Command::PrevCode:
    case Command::NextCode:
    case Command::LastCode:
        m_current->navigate(cmd);
        break;
    case Command::ToggleFavourite:
        m_current->toggleFavourite();
        break;
    case Command::FavouritesOnly:
        m_current->favouritesOnlySwitched();
        break;
    case Command::ReloadCodeList:
        m_current->reloadCodeList();
        break;
    case Command::NewDocument:
        m_documents->newDocument();
        break;
    case Command::OpenDocument:
        m_documents->openWithDialog();
        break;
    case Command::Save:
        m_documents->save();
        break;
    case Command::SaveAs:
        m_documents->saveAs();
        break;
    case Command::Undo:
        stepDocument(false);
        break;
    case Command::Redo:
        stepDocument(true);
        break;
    default:
        if (isToolCommand(cmd)) {
            selectTool(cmd, m_panels, *m_left);
            return;
        }
        emit command(cmd, param);
        return;
    }
}

void HomePanel::stepDocument(bool forward) {
    if (forward)
        m_ctx.document.working.redo();
    else
        m_ctx.document.working.undo();
    m_current->reloadAnnotations(); // also when the counter did not move
    m_documents->documentEdited();
}

void HomePanel::chartKeyCommand(int action) {
    using chart::ui::ChartAction;
    switch (static_cast<ChartAction>(action)) {
    case ChartAction::PreviousCode:
        m_current->navigate(Command::PrevCode);
        break;
    case ChartAction::NextCode:
        m_current->navigate(Command::NextCode);
        break;
    case ChartAction::ShowDay:
    case ChartAction::ShowWeek:
    case ChartAction::ShowMonth:
    case ChartAction::ShowYear:
        m_dock->showPeriod(market::kAllPeriods[std::size_t(action - int(ChartAction::ShowDay))]);
        break;
    default:
        break;
    }
}

void HomePanel::search() {
    m_search->search();
}

// ---- chart documents ----

void HomePanel::openStartupDocument() {
    m_head->setRecentFiles(m_documents->recentFiles());
    m_documents->offerKeptWork(); // before the command line's document, which asks about it
    if (!m_ctx.commandLine.empty())
        m_documents->openPath(QString::fromStdString(m_ctx.commandLine));
}

} // namespace tavora::app
