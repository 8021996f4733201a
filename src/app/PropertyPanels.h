#pragma once
// The side-sheet panels that edit the chart: the colour settings (373), the analysis-graph
// editor (127), the annotation properties (323) and the memo editor (147). Creates them once,
// opens them in the side sheet and carries out what their apply needs on the Home page's
// charts, the settings and the annotation history. The main panel routes these commands here.
// UI thread only.
#include "annotations/MemoEdit.h"
#include "annotations/ToolProperties.h"
#include "app/core/Commands.h"
#include "settings/ChartColours.h"

#include <QObject>

namespace tavora::annotations::ui {
class CtrlProp;
class MemoProp;
} // namespace tavora::annotations::ui
namespace tavora::framework::ui {
class StatusBar;
}
namespace tavora::settings::ui {
class BunsekiP2;
class ColorP;
} // namespace tavora::settings::ui

namespace tavora::app {

struct AppContext;
class HomePanel;
class MainPanel;

class PropertyPanels : public QObject {
    Q_OBJECT
public:
    PropertyPanels(AppContext& ctx, MainPanel& main, HomePanel& home, framework::ui::StatusBar& status);

    // Opens the panel of a command (373, 127, 323); false for another command.
    bool onCommand(Command command, int param);
    // 147: opens the memo editor for a memo of a period's chart.
    void openMemo(market::ChartPeriod period, annotations::MemoElm* memo);

    settings::ui::ColorP* colorPanel() const { return m_color; }
    settings::ui::BunsekiP2* bunsekiPanel() const { return m_bunseki; }
    annotations::ui::CtrlProp* ctrlPanel() const { return m_ctrl; }
    annotations::ui::MemoProp* memoPanel() const { return m_memo; }

private:
    // The colour save: compares, gives the new colours to the four charts, writes the twelve
    // keys and repaints; a failed write is reported in the status bar.
    bool saveColours(const settings::ChartColours& loaded, const settings::ChartColours& edited);
    // The annotation properties confirmed: a tool's defaults on the four charts and in the
    // settings, or the selected elements of the four periods as one step.
    void confirmProperties(annotations::PropertyTool tool, const annotations::PropertyValues& values,
                           bool colourPicked);
    void setRangePosition(int yoko);
    // The memo editor confirmed a new text: the memo is looked up again and recorded.
    void confirmMemo(const annotations::MemoKey& key, const std::string& text);
    void repaintCharts();

    AppContext& m_ctx;
    MainPanel& m_main;
    HomePanel& m_home;
    framework::ui::StatusBar& m_status;
    settings::ui::ColorP* m_color;
    settings::ui::BunsekiP2* m_bunseki;
    annotations::ui::CtrlProp* m_ctrl;
    annotations::ui::MemoProp* m_memo;
};

} // namespace tavora::app
