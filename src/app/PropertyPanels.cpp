#include "app/PropertyPanels.h"

#include "annotations/AnnotationHistory.h"
#include "annotations/ui/CtrlProp.h"
#include "annotations/ui/MemoProp.h"
#include "app/HomeLeftPanel.h"
#include "app/HomePanel.h"
#include "app/MainPanel.h"
#include "app/core/AppContext.h"
#include "app/core/Commands.h"
#include "chart/ChartSettings.h"
#include "chart/ui/GraphPanel.h"
#include "framework/ui/StatusBar.h"
#include "settings/SettingsStore.h"
#include "settings/ui/BunsekiP2.h"
#include "settings/ui/ColorP.h"

namespace tavora::app {

namespace {
constexpr int ColorWidth = 400;
constexpr int BunsekiWidth = 450;
constexpr int CtrlWidth = 500;
constexpr int MemoWidth = 500;
} // namespace

PropertyPanels::PropertyPanels(AppContext& ctx, MainPanel& main, HomePanel& home,
                               framework::ui::StatusBar& status)
    : QObject(&main), m_ctx(ctx), m_main(main), m_home(home), m_status(status) {
    m_color = new settings::ui::ColorP(
        [this](const settings::ChartColours& loaded, const settings::ChartColours& edited) {
            return saveColours(loaded, edited);
        });
    m_bunseki =
        new settings::ui::BunsekiP2({m_ctx.paths.bunsekiDb, &m_ctx.bunsekiList, [this] { m_home.reopen(); }});
    m_ctrl = new annotations::ui::CtrlProp(
        {[this](annotations::PropertyTool tool, const annotations::PropertyValues& values, bool picked) {
             confirmProperties(tool, values, picked);
         },
         [this](int yoko) { setRangePosition(yoko); }});
    m_memo = new annotations::ui::MemoProp(
        {[this](const annotations::MemoKey& key, const std::string& text) { confirmMemo(key, text); },
         m_ctx.paths.tmpDir, [this](const QString& line) { m_status.setText(line); }});
    for (framework::ui::SideSheetPanel* panel :
         std::initializer_list<framework::ui::SideSheetPanel*>{m_color, m_bunseki, m_ctrl, m_memo})
        m_main.addSheetPanel(panel);
    for (Command command : {Command::OpenColor, Command::OpenBunseki, Command::OpenCtrlProp})
        m_home.toolColumn()->setCommandEnabled(command, true);
    connect(&m_home, &HomePanel::memoEditRequested, this, &PropertyPanels::openMemo);
}

bool PropertyPanels::onCommand(Command command, int) {
    switch (command) {
    case Command::OpenColor:
        m_color->initPanel(m_ctx.settings);
        m_main.showSheetPanel(m_color, ColorWidth);
        return true;
    case Command::OpenBunseki:
        m_bunseki->initPanel();
        m_main.showSheetPanel(m_bunseki, BunsekiWidth);
        return true;
    case Command::OpenCtrlProp: {
        // All four charts carry the same tool and defaults; the day chart's stand for them.
        const chart::GraphViewState& day = m_home.graphPanel(market::ChartPeriod::Day)->state();
        const annotations::PropertyTool tool = annotations::propertyToolOf(day.tools);
        if (tool == annotations::PropertyTool::Select)
            m_ctrl->fillSelection(annotations::summarizeSelection(m_home.annotationLists(), m_home.selectedPeriod()));
        else
            m_ctrl->fill(tool, day.toolDefaults);
        m_main.showSheetPanel(m_ctrl, CtrlWidth);
        return true;
    }
    default:
        return false;
    }
}

void PropertyPanels::openMemo(market::ChartPeriod period, annotations::MemoElm* memo) {
    if (!memo)
        return;
    const annotations::GraphDrawList& list = m_home.annotationLists().list(period);
    m_memo->initPanel(annotations::memoKeyOf(list, *memo), memo->str);
    m_main.showSheetPanel(m_memo, MemoWidth);
}

void PropertyPanels::repaintCharts() {
    for (market::ChartPeriod p : market::kAllPeriods)
        m_home.graphPanel(p)->repaintChart();
}

bool PropertyPanels::saveColours(const settings::ChartColours& loaded, const settings::ChartColours& edited) {
    settings::Settings before = m_ctx.settings;
    settings::setChartColours(before, loaded);
    settings::Settings after = m_ctx.settings;
    settings::setChartColours(after, edited);
    const auto outcome = settings::SettingsStore(m_ctx.paths.setteiDb).saveColours(before, after);
    if (outcome == settings::SaveOutcome::Unchanged)
        return true;
    settings::setChartColours(m_ctx.settings, edited);
    for (market::ChartPeriod p : market::kAllPeriods)
        chart::applyPaintSettings(m_home.graphPanel(p)->state().paint, m_ctx.settings);
    repaintCharts();
    if (outcome == settings::SaveOutcome::Failed)
        m_status.setText("色の設定を保存できませんでした（settei."
                         "dbに書き込めません）。次回の起動では以前の色に戻ります。");
    return true;
}

void PropertyPanels::confirmProperties(annotations::PropertyTool tool,
                                       const annotations::PropertyValues& values, bool colourPicked) {
    using annotations::PropertyTool;
    if (tool == PropertyTool::None)
        return;
    if (tool == PropertyTool::Select) {
        // What is selected now, when apply is pressed (not when the panel opened).
        if (annotations::summarizeSelection(m_home.annotationLists(), m_home.selectedPeriod()).count == 0) {
            m_status.setText("選択されている要素がありません。変更は適用されませんでした。");
            return;
        }
        const auto parts = annotations::applyToSelection(m_home.annotationLists(), values, colourPicked);
        if (parts.empty())
            return; // nothing selected: nothing recorded
        if (auto* history = m_home.annotationHistory())
            history->recordGroupStep(parts);
        repaintCharts();
        return;
    }
    for (market::ChartPeriod p : market::kAllPeriods)
        annotations::applyToToolDefaults(tool, values, m_home.graphPanel(p)->state().toolDefaults);
    // The exit save writes the settings: they follow the charts' defaults.
    chart::takeToolSettings(m_ctx.settings,
                            m_home.graphPanel(market::ChartPeriod::Day)->state().toolDefaults);
}

void PropertyPanels::setRangePosition(int yoko) {
    for (market::ChartPeriod p : market::kAllPeriods)
        m_home.graphPanel(p)->state().toolDefaults.rangeNedanYoko = yoko;
    m_ctx.settings.rangenedan_yoko = yoko;
}

void PropertyPanels::confirmMemo(const annotations::MemoKey& key, const std::string& text) {
    annotations::MemoElm* memo = annotations::findMemo(m_home.annotationLists(), key);
    if (!memo) {
        m_status.setText("編集していたメモはもうありません（元に戻す・コードの切り替えなど）。変更は記録され"
                         "ませんでした。");
        return;
    }
    memo->str = text;
    if (auto* history = m_home.annotationHistory()) {
        annotations::GraphDrawElement* changed[] = {memo};
        history->recordStep(m_home.annotationLists().list(key.period), changed);
    }
    m_home.graphPanel(key.period)->repaintChart();
}

} // namespace tavora::app
