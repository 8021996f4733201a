#include "app/CurrentCodeController.h"

#include "annotations/AnnotationHistory.h"
#include "app/CodeNavigation.h"
#include "app/CodeSearch.h"
#include "app/HomeHeadPanel.h"
#include "app/NoCodeScreen.h"
#include "app/ReopenWorker.h"
#include "app/TodayQuery.h"
#include "app/core/AppContext.h"
#include "app/core/CatalogueStartup.h"
#include "app/core/ChartOpening.h"
#include "app/core/CompanionSync.h"
#include "chart/ChartGeometry.h"
#include "chart/ui/GraphPanel.h"
#include "framework/Dates.h"
#include "framework/Log.h"
#include "framework/ui/StatusBar.h"

#include <utility>

namespace tavora::app {

using market::ChartPeriod;

CurrentCodeController::CurrentCodeController(AppContext& ctx, Views views, QObject* parent)
    : QObject(parent), m_ctx(ctx), m_views(views), m_reopen(new ReopenWorker(this)),
      m_today(new TodayQuery(this)) {
    connect(m_reopen, &ReopenWorker::opened, this, &CurrentCodeController::showSeries);
    connect(m_today, &TodayQuery::answered, this, &CurrentCodeController::applyToday);
    connect(m_today, &TodayQuery::finished, m_views.status, &framework::ui::StatusBar::stopWait);
}

CurrentCodeController::~CurrentCodeController() = default;

bool CurrentCodeController::hasCurrent() const {
    return m_ctx.currentCode && *m_ctx.currentCode < m_ctx.catalogue.size();
}

// ---- which code is current

void CurrentCodeController::navigate(Command which) {
    const auto target =
        navigationTarget(m_ctx.catalogue, m_ctx.currentCode, which, m_views.head->favouritesOnly());
    if (target)
        changeCurrentCode(*target);
}

void CurrentCodeController::toggleFavourite() {
    if (!hasCurrent()) {
        m_views.head->setFavouriteChecked(false);
        return;
    }
    auto& entry = m_ctx.catalogue[*m_ctx.currentCode];
    entry.favourite = !entry.favourite;
    m_views.head->setFavouriteChecked(entry.favourite);
    emit favouritesEdited();
}

void CurrentCodeController::favouritesOnlySwitched() {
    if (!m_views.head->favouritesOnly())
        return;
    const auto first = firstFavourite(m_ctx.catalogue);
    if (!first) {
        m_views.head->setFavouritesOnly(false); // nothing is marked: the mode cannot apply
        return;
    }
    changeCurrentCode(*first);
}

void CurrentCodeController::reloadCodeList() {
    storeCurrentScale(); // while the current index still names the code it was taken from
    m_views.status->startWait();
    m_reopen->cancelAll(); // an opening of the old catalogue's code is of no use now
    const auto problems = LoadCodeListStep(m_ctx);
    BuildCatalogueStep(m_ctx);
    // The copies carry no splits; without them prices before a split would show unadjusted.
    AttachSplitsStep(m_ctx);
    m_ctx.currentCode.reset();
    MakeFirstEntryCurrentStep(m_ctx);
    openCurrentCode();
    if (!problems.empty())
        m_views.status->setText(
            QString::fromStdString(problems.front())); // after the opening, which clears the text
    m_views.status->stopWait();
}

void CurrentCodeController::changeCurrentCode(std::size_t index) {
    if (index >= m_ctx.catalogue.size())
        return;
    storeCurrentScale();
    m_ctx.currentCode = index;
    showCurrentInHead();
    reopen();
}

void CurrentCodeController::documentReplaced() {
    // The marks changed with the document: favourites-only mode starts again from off.
    m_views.head->setFavouritesOnly(false);
    m_views.head->setFavouriteChecked(hasCurrent() && m_ctx.catalogue[*m_ctx.currentCode].favourite);
    reloadAnnotations();
}

void CurrentCodeController::showCurrentInHead() {
    m_views.search->showCurrent(hasCurrent() ? &m_ctx.catalogue[*m_ctx.currentCode] : nullptr);
}

void CurrentCodeController::storeCurrentScale() {
    if (!m_ctx.currentCode)
        return;
    for (auto* panel : m_views.panels)
        chart::storeCodeScale(panel->state(), m_ctx.scale);
    emit scaleStored();
}

// ---- opening the current code

chart::OpenChartInput CurrentCodeController::openInput() const {
    return chartInputFor(m_ctx, m_ctx.catalogue[*m_ctx.currentCode]);
}

void CurrentCodeController::setBusy(bool busy) {
    for (auto* panel : m_views.panels)
        panel->setBusy(busy);
    if (busy)
        m_views.status->startWait();
    else
        m_views.status->stopWait();
}

void CurrentCodeController::reopen() {
    cancelCompanionToday();
    emit opening();
    if (!hasCurrent()) {
        openCurrentCode(); // nothing to load: shows the screen without a code
        return;
    }
    setBusy(true);
    m_reopen->start(openInput(), m_ctx.paths.priceDbFile, &m_ctx.priceJobs);
}

void CurrentCodeController::reopenThenShow(const QString& statusText) {
    if (hasCurrent())
        m_afterOpening = statusText; // shown when the chart is there
    else
        m_views.status->setText(statusText); // nothing to open, nothing clears it
    reopen();
}

void CurrentCodeController::refresh() {
    syncCompanion();
    reopen();
}

void CurrentCodeController::openCurrentCode() {
    cancelCompanionToday();
    emit opening();
    showCurrentInHead();
    if (!hasCurrent()) {
        showNoCode();
        return;
    }
    chart::OpenChartInput in = openInput();
    in.priceDb = &m_ctx.priceDb;
    showSeries(std::make_shared<chart::ChartSeries>(chart::OpenChart(in)));
}

void CurrentCodeController::showNoCode() {
    m_views.head->setNavigationEnabled(!m_ctx.catalogue.empty());
    m_views.head->setFavouriteChecked(false);
    m_series.reset();
    m_annotations.reset({});
    for (auto* panel : m_views.panels) {
        chart::ChartContent content;
        content.noCode = programNoCodeScreen(m_ctx.noticeText);
        panel->setSeries(nullptr, std::move(content));
    }
}

void CurrentCodeController::showSeries(std::shared_ptr<chart::ChartSeries> series) {
    setBusy(false);
    if (!hasCurrent() || m_ctx.catalogue[*m_ctx.currentCode].code != series->code)
        return; // the current code changed while it was opened
    const market::CodeElm& entry = m_ctx.catalogue[*m_ctx.currentCode];
    // The code's stored scale (read here: the table belongs to the UI thread), else defaults.
    if (m_ctx.scaleDb.isOpen())
        m_ctx.scale = chart::LoadCodeScale(m_ctx.scaleDb, entry.code).value_or(chart::CodeScale{});
    else
        m_ctx.scale = series->scale;
    m_series = std::move(series);
    writeOpeningLog();
    // The code's elements as of the current step; the panels hand them to their tools below.
    m_annotations.reset(entry.code);
    if (m_history)
        m_history->load(m_annotations);
    const chart::TitleText title{entry.code, entry.name, entry.market, entry.sector};
    for (std::size_t i = 0; i < m_views.panels.size(); ++i) {
        chart::ChartContent content;
        content.title = title;
        m_views.panels[i]->setSeries(&m_series->period(market::kAllPeriods[i]), std::move(content));
    }
    // Each panel has laid itself out and repainted (when shown) on taking its series.
    m_views.head->setFavouriteChecked(entry.favourite);
    m_views.head->setNavigationEnabled(true);
    // A message about an earlier search or code is stale now; one about the 更新 merge is not.
    m_views.status->setText(std::exchange(m_afterOpening, QString()));
    askCompanionToday();
    emit chartShown();
}

void CurrentCodeController::writeOpeningLog() {
    if (!m_log || m_series->log.empty())
        return;
    for (const auto& line : m_series->log)
        m_log->UpdLog(line);
    m_log->WriteLogTxt();
}

void CurrentCodeController::reloadAnnotations() {
    m_annotations.reset(m_series ? m_series->code : std::string());
    if (m_history && m_series)
        m_history->load(m_annotations);
    for (auto* panel : m_views.panels)
        panel->annotationsReloaded();
}

// ---- today's bar

void CurrentCodeController::askCompanionToday() {
    const std::string today = framework::todayDate();
    if (!m_ctx.settings.use_moravel_day_data || !m_series || !chart::FindTodayBar(*m_series, today))
        return; // switched off, not a trading day, or today is already priced
    const market::CodeElm& entry = m_ctx.catalogue[*m_ctx.currentCode];
    m_views.status->startWait();
    m_today->start(app::companionPathsOf(m_ctx).socket, entry.code, entry.symbol, today);
}

void CurrentCodeController::syncCompanion() {
    m_views.status->startWait();
    const auto r = app::SyncCompanionNow(m_ctx, m_log);
    m_views.status->stopWait();
    m_afterOpening.clear();
    if (r.outcome == acquisition::SyncOutcome::Failed)
        m_afterOpening = QString::fromUtf8(app::kSyncCancelledText);
    else if (r.outcome == acquisition::SyncOutcome::Refused)
        m_afterOpening = QString::fromStdString(r.status.message()); // another price-database job runs
    m_views.status->setText(m_afterOpening);
}

void CurrentCodeController::cancelCompanionToday() {
    if (m_today->cancel())
        m_views.status->stopWait();
}

void CurrentCodeController::applyToday(const std::string& code, std::uint64_t generation,
                                       const market::TodayPrices& prices) {
    if (!m_series || m_series->code != code || generation != m_today->generation())
        return;
    if (!chart::MergeTodayPrices(*m_series, prices))
        return;
    for (auto* panel : m_views.panels)
        panel->relayout();
}

} // namespace tavora::app
