#include "app/ToolSelection.h"

#include "app/HomeLeftPanel.h"
#include "chart/ui/GraphPanel.h"

#include <QToolButton>

#include <algorithm>

namespace tavora::app {

bool isToolCommand(int command) {
    return std::find(kToolCommands.begin(), kToolCommands.end(), command) != kToolCommands.end();
}

ToolFlag toolFlagOf(int command) {
    using F = chart::ToolFlags;
    switch (command) {
    case 110:
        return &F::cross;
    case 144:
        return &F::timePrice;
    case 111:
        return &F::takayasu;
    case 112:
        return &F::rangeTime;
    case 114:
        return &F::rangeNedan;
    case 115:
        return &F::line;
    case 535:
        return &F::text;
    case 551:
        return &F::memo;
    case 146:
        return &F::select;
    default:
        return nullptr;
    }
}

void selectTool(int command, const std::array<chart::ui::GraphPanel*, 4>& panels, HomeLeftPanel& column) {
    const ToolFlag flag = toolFlagOf(command);
    if (!flag)
        return;
    QToolButton* clicked = column.button(command);
    const bool pressed = clicked && clicked->isChecked();
    for (chart::ui::GraphPanel* panel : panels) {
        panel->abandonToolOperation();
        panel->state().tools.clear();
        if (pressed)
            panel->state().tools.*flag = true;
    }
    for (int other : kToolCommands)
        if (QToolButton* b = column.button(other))
            b->setChecked(other == command && pressed);
    column.update();
}

} // namespace tavora::app
