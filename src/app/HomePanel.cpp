#include "app/HomePanel.h"

#include "annotations/AnnotationHistory.h"
#include "annotations/DocumentHistory.h"
#include "annotations/ui/DocumentCommands.h"
#include "app/AdContainerPanel.h"
#include "app/CodeNavigation.h"
#include "app/CodeSearch.h"
#include "app/CodeSearchPopup.h"
#include "app/HomeHeadPanel.h"
#include "app/HomeLeftPanel.h"
#include "app/NoCodeScreen.h"
#include "app/ReopenWorker.h"
#include "app/TodayQuery.h"
#include "app/ToolSelection.h"
#include "app/core/AppContext.h"
#include "app/core/CatalogueStartup.h"
#include "app/core/ChartOpening.h"
#include "app/core/CompanionSync.h"
#include "chart/ChartGeometry.h"
#include "chart/ChartSettings.h"
#include "chart/ui/ChartKeyboard.h"
#include "chart/ui/GraphDialog.h"
#include "chart/ui/GraphPanel.h"
#include "chart/ui/GraphPlotAreaPanel.h"
#include "framework/Dates.h"
#include "framework/Log.h"
#include "framework/ui/StatusBar.h"
#include "framework/ui/Theme.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QTabBar>

#include <utility>

namespace tavora::app {

using chart::ui::GraphDialog;
using chart::ui::GraphPanel;
using market::ChartPeriod;

namespace {
constexpr int HeadRightReserve = 220; // the period tabs' width at the head's right end

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

ChartPeriod periodAt(std::size_t i) {
    return market::kAllPeriods[i];
}

QString captionOf(ChartPeriod p) {
    const auto caption = market::periodCaption(p);
    return QString::fromUtf8(caption.data(), int(caption.size()));
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
      m_adButton(new HomeHeadAdButtonPanel(this)), m_tabs(new QTabBar(this)),
      m_searchPopup(new CodeSearchPopup(this)),
      m_search(new CodeSearch(ctx.catalogue, m_head->searchBox(), m_searchPopup, this)),
      m_reopen(new ReopenWorker(this)),
      m_documents(new annotations::ui::DocumentCommands(ctx, this, status)), m_today(new TodayQuery(this)),
      m_documentHistory(std::make_unique<annotations::DocumentHistory>(ctx.document)) {
    m_history = m_documentHistory.get(); // changes are steps of the open document
    m_documentHistory->setRecorded([this] { m_documents->documentEdited(); }); // the title's "*"
    setObjectName("homepanel");
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, framework::ui::themeColor(4));
    setPalette(pal);
    const framework::YmdDate today = framework::todayYmd();
    for (std::size_t i = 0; i < 4; ++i) {
        const ChartPeriod p = periodAt(i);
        const QString caption = captionOf(p);
        m_panels[i] = new GraphPanel(p, today, m_ctx.scale, this);
        chart::applySettings(m_panels[i]->state(), m_ctx.settings);
        applyStoredPitch(m_panels[i]->state(), m_ctx.settings, p);
        m_panels[i]->hide();
        m_dialogs[i] = new GraphDialog(caption, this);
        connect(m_dialogs[i], &GraphDialog::redockRequested, this,
                [this, p](GraphDialog*) { redockPeriod(p); });
        const int tab = m_tabs->addTab(caption);
        m_tabs->setTabData(tab, int(i));
    }
    for (std::size_t i = 0; i < 4; ++i) {
        GraphPanel* panel = m_panels[i];
        panel->setAnnotationList(&m_annotations.list(periodAt(i)));
        connect(panel, &GraphPanel::annotationsChanged, this,
                [this](annotations::GraphDrawList* list, std::vector<annotations::GraphDrawElement*> elements) {
                    if (m_history && list && !elements.empty())
                        m_history->recordStep(*list, elements);
                });
        connect(panel, &GraphPanel::memoRequested, this,
                [this, i](annotations::MemoElm* memo) { emit memoEditRequested(periodAt(i), memo); });
        connect(panel, &GraphPanel::codeRequested, this, [this] { onCommand(Command::NextCode); });
        connect(panel, &GraphPanel::keyCommand, this, &HomePanel::chartKeyCommand);
    }
    for (Command tool : kToolCommands)
        m_left->setCommandEnabled(tool, true);
    m_tabs->setObjectName("periodtabs");
    m_tabs->setExpanding(false);
    m_tabs->setDrawBase(false);
    m_tabs->setStyleSheet(QString("QTabBar::tab { width: %1px; height: 23px; }").arg(PeriodTabWidth - 4));
    m_tabs->installEventFilter(this);
    m_tabs->setToolTip("ダブルクリックまたはドラッグで別ウィンドウに表示");
    connect(m_tabs, &QTabBar::currentChanged, this, [this](int) { showSelectedPanel(); });

    connect(m_head, &HomeHeadPanel::command, this, [this](Command cmd) { onCommand(cmd); });
    connect(m_left, &HomeLeftPanel::command, this, [this](Command cmd) { onCommand(cmd); });
    connect(m_adButton, &HomeHeadAdButtonPanel::clicked, this, &HomePanel::cycleAdView);
    connect(m_search, &CodeSearch::openRequested, this, [this](std::size_t position) {
        changeCurrentCode(position);
        focusChart(); // the chart's keys work at once on the chosen code
    });
    connect(m_search, &CodeSearch::notFound, this,
            [this](const QString& text) { m_status->setText(QString("%1はみつかりません").arg(text)); });
    connect(m_reopen, &ReopenWorker::opened, this, &HomePanel::showSeries);
    connect(m_head, &HomeHeadPanel::recentChosen, m_documents, &annotations::ui::DocumentCommands::openPath);
    connect(m_documents, &annotations::ui::DocumentCommands::recentFilesChanged, m_head,
            &HomeHeadPanel::setRecentFiles);
    connect(m_documents, &annotations::ui::DocumentCommands::busyChanged, this, &HomePanel::setBusy);
    connect(m_documents, &annotations::ui::DocumentCommands::documentReplaced, this, &HomePanel::documentReplaced);
    m_left->setCommandEnabled(Command::Undo, true);
    m_left->setCommandEnabled(Command::Redo, true);
    connect(m_today, &TodayQuery::answered, this, &HomePanel::applyToday);
    connect(m_today, &TodayQuery::finished, m_status, &framework::ui::StatusBar::stopWait);
    m_head->setNavigationEnabled(!m_ctx.catalogue.empty());
    setTabOrder();
    updateAdPanel();
    showSelectedPanel();
}

HomePanel::~HomePanel() = default;

GraphPanel* HomePanel::graphPanel(ChartPeriod period) const {
    return m_panels[std::size_t(market::periodIndex(period))];
}
GraphDialog* HomePanel::graphDialog(ChartPeriod period) const {
    return m_dialogs[std::size_t(market::periodIndex(period))];
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
    chain << m_tabs;
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

void HomePanel::chartKeyCommand(int action) {
    using chart::ui::ChartAction;
    switch (static_cast<ChartAction>(action)) {
    case ChartAction::PreviousCode:
        navigate(Command::PrevCode);
        break;
    case ChartAction::NextCode:
        navigate(Command::NextCode);
        break;
    case ChartAction::ShowDay:
    case ChartAction::ShowWeek:
    case ChartAction::ShowMonth:
    case ChartAction::ShowYear:
        showPeriod(periodAt(std::size_t(action - int(ChartAction::ShowDay))));
        break;
    default:
        break;
    }
}

void HomePanel::showPeriod(ChartPeriod period) {
    GraphPanel* panel = graphPanel(period);
    if (isFloating(period)) {
        graphDialog(period)->raise();
        graphDialog(period)->activateWindow();
    } else {
        selectPeriod(period);
        window()->activateWindow();
    }
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
    m_tabs->setGeometry(w - a - HeadRightReserve, 10, HeadRightReserve, 25);
    m_adButton->setGeometry(w - a - 12, 0, 10, 10);
    m_ad->setGeometry(w - a, 0, a, h);
    m_ad->setVisible(a > 0);
    m_adButton->raise();
    const QRect area = chartArea();
    for (std::size_t i = 0; i < 4; ++i) {
        if (isFloating(periodAt(i)))
            continue;
        if (m_panels[i]->geometry() != area)
            m_panels[i]->setGeometry(area); // a resize lays the panel out itself
        else if (m_panels[i]->isVisible())
            m_panels[i]->relayout();
    }
}

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

// ---- period tabs and floating charts ----

int HomePanel::tabIndexOf(ChartPeriod period) const {
    for (int t = 0; t < m_tabs->count(); ++t)
        if (m_tabs->tabData(t).toInt() == market::periodIndex(period))
            return t;
    return -1;
}

bool HomePanel::isFloating(ChartPeriod period) const {
    return tabIndexOf(period) < 0;
}

ChartPeriod HomePanel::selectedPeriod() const {
    const int t = m_tabs->currentIndex();
    return t < 0 ? ChartPeriod::Day : periodAt(std::size_t(m_tabs->tabData(t).toInt()));
}

void HomePanel::selectPeriod(ChartPeriod period) {
    const int t = tabIndexOf(period);
    if (t >= 0)
        m_tabs->setCurrentIndex(t);
}

void HomePanel::showSelectedPanel() {
    const int t = m_tabs->currentIndex();
    const int selected = t < 0 ? -1 : m_tabs->tabData(t).toInt();
    for (std::size_t i = 0; i < 4; ++i) {
        if (isFloating(periodAt(i)))
            continue;
        if (int(i) == selected) {
            m_panels[i]->setGeometry(chartArea());
            m_panels[i]->relayout();
            m_panels[i]->show();
        } else {
            m_panels[i]->hide();
        }
    }
}

void HomePanel::detachPeriod(ChartPeriod period) {
    const int t = tabIndexOf(period);
    if (t >= 0)
        detachPeriod(period, m_tabs->mapToGlobal(m_tabs->tabRect(t).topLeft()));
}

void HomePanel::detachPeriod(ChartPeriod period, const QPoint& dropPoint) {
    const int t = tabIndexOf(period);
    if (t < 0)
        return;
    const QRect area = chartArea();
    GraphPanel* panel = graphPanel(period);
    m_tabs->removeTab(t); // selects a remaining tab and shows its panel
    graphDialog(period)->hostPanel(panel, dropPoint, area.size());
    panel->relayout();
    showSelectedPanel();
}

void HomePanel::redockPeriod(ChartPeriod period) {
    GraphDialog* dialog = graphDialog(period);
    GraphPanel* panel = dialog->releasePanel();
    if (!panel)
        return;
    panel->hide();
    panel->setParent(this);
    // The tab goes back in period order.
    int insertAt = 0;
    while (insertAt < m_tabs->count() && m_tabs->tabData(insertAt).toInt() < market::periodIndex(period))
        ++insertAt;
    bool othersDocked = true;
    for (ChartPeriod p : market::kAllPeriods)
        if (p != period && isFloating(p))
            othersDocked = false;
    {
        const QSignalBlocker block(m_tabs);
        const int previous =
            m_tabs->currentIndex() < 0 ? -1 : m_tabs->tabData(m_tabs->currentIndex()).toInt();
        const int t = m_tabs->insertTab(insertAt, captionOf(period));
        m_tabs->setTabData(t, market::periodIndex(period));
        if (othersDocked || previous < 0)
            m_tabs->setCurrentIndex(t);
        else
            selectPeriod(periodAt(std::size_t(previous)));
    }
    showSelectedPanel();
}

bool HomePanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_tabs)
        return QWidget::eventFilter(watched, event);
    auto periodUnder = [this](const QPoint& pos) -> std::optional<ChartPeriod> {
        const int t = m_tabs->tabAt(pos);
        if (t < 0)
            return std::nullopt;
        return periodAt(std::size_t(m_tabs->tabData(t).toInt()));
    };
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        m_tabPressPos = static_cast<QMouseEvent*>(event)->position().toPoint();
        break;
    case QEvent::MouseButtonDblClick: {
        auto* me = static_cast<QMouseEvent*>(event);
        if (auto p = periodUnder(me->position().toPoint())) {
            detachPeriod(*p, me->globalPosition().toPoint());
            return true;
        }
        break;
    }
    case QEvent::MouseMove: {
        // A tab dragged well below the tab bar leaves the Home page for its own window, which
        // then follows the pointer until the button is released: it is dropped there.
        auto* me = static_cast<QMouseEvent*>(event);
        if (m_draggedOut) {
            graphDialog(*m_draggedOut)->moveToDropPoint(me->globalPosition().toPoint());
            return true;
        }
        if ((me->buttons() & Qt::LeftButton) && me->position().y() > m_tabs->height() + 30) {
            if (auto p = periodUnder(m_tabPressPos)) {
                m_draggedOut = *p;
                detachPeriod(*p, me->globalPosition().toPoint());
                return true;
            }
        }
        break;
    }
    case QEvent::MouseButtonRelease:
        if (m_draggedOut) {
            graphDialog(*m_draggedOut)
                ->moveToDropPoint(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
            m_draggedOut.reset();
            return true;
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
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
        syncCompanion();
        reopen();
        break;
    case Command::FirstCode:
    case Command::PrevCode:
    case Command::NextCode:
    case Command::LastCode:
        navigate(cmd);
        break;
    case Command::ToggleFavourite:
        toggleFavourite();
        break;
    case Command::FavouritesOnly:
        favouritesOnlySwitched();
        break;
    case Command::ReloadCodeList:
        reloadCodeList();
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
        m_ctx.document.working.undo();
        reloadAnnotations(); // also when the counter did not move
        m_documents->documentEdited();
        break;
    case Command::Redo:
        m_ctx.document.working.redo();
        reloadAnnotations();
        m_documents->documentEdited();
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

void HomePanel::navigate(Command which) {
    const auto target = navigationTarget(m_ctx.catalogue, m_ctx.currentCode, which, m_head->favouritesOnly());
    if (target)
        changeCurrentCode(*target);
}

void HomePanel::toggleFavourite() {
    if (!m_ctx.currentCode || *m_ctx.currentCode >= m_ctx.catalogue.size()) {
        m_head->setFavouriteChecked(false);
        return;
    }
    auto& entry = m_ctx.catalogue[*m_ctx.currentCode];
    entry.favourite = !entry.favourite;
    m_head->setFavouriteChecked(entry.favourite);
    m_documents->documentEdited(); // the marks are saved in the document
}

void HomePanel::favouritesOnlySwitched() {
    if (!m_head->favouritesOnly())
        return;
    const auto first = firstFavourite(m_ctx.catalogue);
    if (!first) {
        m_head->setFavouritesOnly(false); // nothing is marked: the mode cannot apply
        return;
    }
    changeCurrentCode(*first);
}

void HomePanel::reloadCodeList() {
    storeCurrentScale(); // while the current index still names the code it was taken from
    m_status->startWait();
    m_reopen->cancelAll(); // an opening of the old catalogue's code is of no use now
    const auto problems = LoadCodeListStep(m_ctx);
    BuildCatalogueStep(m_ctx);
    // The copies carry no splits; without them prices before a split would show unadjusted.
    AttachSplitsStep(m_ctx);
    m_ctx.currentCode.reset();
    MakeFirstEntryCurrentStep(m_ctx);
    openCurrentCode();
    if (!problems.empty())
        m_status->setText(qs(problems.front())); // after the opening, which clears the text
    m_status->stopWait();
}

void HomePanel::search() {
    m_search->search();
}

void HomePanel::showCurrentInHead() {
    const bool none = !m_ctx.currentCode || *m_ctx.currentCode >= m_ctx.catalogue.size();
    m_search->showCurrent(none ? nullptr : &m_ctx.catalogue[*m_ctx.currentCode]);
}

// ---- chart documents ----

void HomePanel::openStartupDocument() {
    m_head->setRecentFiles(m_documents->recentFiles());
    m_documents->offerKeptWork(); // before the command line's document, which asks about it
    if (!m_ctx.commandLine.empty())
        m_documents->openPath(QString::fromStdString(m_ctx.commandLine));
}

void HomePanel::documentReplaced() {
    // The marks changed with the document: favourites-only mode starts again from off.
    m_head->setFavouritesOnly(false);
    const bool open = m_ctx.currentCode && *m_ctx.currentCode < m_ctx.catalogue.size();
    m_head->setFavouriteChecked(open && m_ctx.catalogue[*m_ctx.currentCode].favourite);
    reloadAnnotations();
}

// ---- changing and opening the current code ----

void HomePanel::storeCurrentScale() {
    if (!m_ctx.currentCode)
        return;
    for (auto* panel : m_panels)
        chart::storeCodeScale(panel->state(), m_ctx.scale);
    emit command(Command::StoreScale, 0);
}

void HomePanel::changeCurrentCode(std::size_t index) {
    if (index >= m_ctx.catalogue.size())
        return;
    storeCurrentScale();
    m_ctx.currentCode = index;
    showCurrentInHead();
    reopen();
}

chart::OpenChartInput HomePanel::openInput() const {
    return chartInputFor(m_ctx, m_ctx.catalogue[*m_ctx.currentCode]);
}

void HomePanel::setBusy(bool busy) {
    for (auto* panel : m_panels)
        panel->setBusy(busy);
    if (busy)
        m_status->startWait();
    else
        m_status->stopWait();
}

void HomePanel::reopen() {
    cancelCompanionToday();
    updateAdPanel();
    if (!m_ctx.currentCode || *m_ctx.currentCode >= m_ctx.catalogue.size()) {
        openCurrentCode(); // nothing to load: shows the screen without a code
        return;
    }
    setBusy(true);
    m_reopen->start(openInput(), m_ctx.paths.priceDbFile, &m_ctx.priceJobs);
}

void HomePanel::reopenThenShow(const QString& statusText) {
    if (m_ctx.currentCode && *m_ctx.currentCode < m_ctx.catalogue.size())
        m_afterOpening = statusText; // shown when the chart is there
    else
        m_status->setText(statusText); // nothing to open, nothing clears it
    reopen();
}

void HomePanel::openCurrentCode() {
    cancelCompanionToday();
    updateAdPanel();
    showCurrentInHead();
    if (!m_ctx.currentCode || *m_ctx.currentCode >= m_ctx.catalogue.size()) {
        m_head->setNavigationEnabled(!m_ctx.catalogue.empty());
        m_head->setFavouriteChecked(false);
        m_series.reset();
        m_annotations.reset({});
        for (auto* panel : m_panels) {
            chart::ChartContent content;
            content.noCode = programNoCodeScreen(m_ctx.noticeText);
            panel->setSeries(nullptr, std::move(content));
        }
        return;
    }
    chart::OpenChartInput in = openInput();
    in.priceDb = &m_ctx.priceDb;
    showSeries(std::make_shared<chart::ChartSeries>(chart::OpenChart(in)));
}

void HomePanel::showSeries(std::shared_ptr<chart::ChartSeries> series) {
    setBusy(false);
    if (!m_ctx.currentCode || *m_ctx.currentCode >= m_ctx.catalogue.size() ||
        m_ctx.catalogue[*m_ctx.currentCode].code != series->code)
        return; // the current code changed while it was opened
    const market::CodeElm& entry = m_ctx.catalogue[*m_ctx.currentCode];
    // The code's stored scale (read here: the table belongs to the UI thread), else defaults.
    if (m_ctx.scaleDb.isOpen())
        m_ctx.scale = chart::LoadCodeScale(m_ctx.scaleDb, entry.code).value_or(chart::CodeScale{});
    else
        m_ctx.scale = series->scale;
    m_series = std::move(series);
    if (m_log && !m_series->log.empty()) {
        for (const auto& line : m_series->log)
            m_log->UpdLog(line);
        m_log->WriteLogTxt();
    }
    // The code's elements as of the current step; the panels hand them to their tools below.
    m_annotations.reset(entry.code);
    if (m_history)
        m_history->load(m_annotations);
    const chart::TitleText title{entry.code, entry.name, entry.market, entry.sector};
    for (std::size_t i = 0; i < 4; ++i) {
        chart::ChartContent content;
        content.title = title;
        m_panels[i]->setSeries(&m_series->period(periodAt(i)), std::move(content));
    }
    // Each panel has laid itself out and repainted (when shown) on taking its series.
    m_head->setFavouriteChecked(entry.favourite);
    m_head->setNavigationEnabled(true);
    // A message about an earlier search or code is stale now; one about the 更新 merge is not.
    m_status->setText(std::exchange(m_afterOpening, QString()));
    askCompanionToday();
    emit chartShown();
}

void HomePanel::reloadAnnotations() {
    m_annotations.reset(m_series ? m_series->code : std::string());
    if (m_history && m_series)
        m_history->load(m_annotations);
    for (auto* panel : m_panels)
        panel->annotationsReloaded();
}

void HomePanel::askCompanionToday() {
    const std::string today = framework::todayDate();
    if (!m_ctx.settings.use_moravel_day_data || !m_series || !chart::FindTodayBar(*m_series, today))
        return; // switched off, not a trading day, or today is already priced
    const market::CodeElm& entry = m_ctx.catalogue[*m_ctx.currentCode];
    m_status->startWait();
    m_today->start(app::companionPathsOf(m_ctx).socket, entry.code, entry.symbol, today);
}

void HomePanel::syncCompanion() {
    m_status->startWait();
    const auto r = app::SyncCompanionNow(m_ctx, m_log);
    m_status->stopWait();
    m_afterOpening.clear();
    if (r.outcome == acquisition::SyncOutcome::Failed)
        m_afterOpening = QString::fromUtf8(app::kSyncCancelledText);
    else if (r.outcome == acquisition::SyncOutcome::Refused)
        m_afterOpening = QString::fromStdString(r.status.message()); // another price-database job runs
    m_status->setText(m_afterOpening);
}

void HomePanel::cancelCompanionToday() {
    if (m_today->cancel())
        m_status->stopWait();
}

void HomePanel::applyToday(const std::string& code, std::uint64_t generation,
                           const market::TodayPrices& prices) {
    if (!m_series || m_series->code != code || generation != m_today->generation())
        return;
    if (!chart::MergeTodayPrices(*m_series, prices))
        return;
    for (auto* panel : m_panels)
        panel->relayout();
}

} // namespace tavora::app
