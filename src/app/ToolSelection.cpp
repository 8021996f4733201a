#include "app/ToolSelection.h"

#include "app/HomeLeftPanel.h"
#include "chart/ui/GraphPanel.h"

#include <QToolButton>

#include <algorithm>

namespace tavora::app {

bool isToolCommand(Command command) {
    return std::find(kToolCommands.begin(), kToolCommands.end(), command) != kToolCommands.end();
}

ToolFlag toolFlagOf(Command command) {
    using F = chart::ToolFlags;
    switch (command) {
    case Command::CrossCursor:
        return &F::cross;
    case Command::TimePrice:
        return &F::timePrice;
    case Command::Takayasu:
        return &F::takayasu;
    case Command::RangeTime:
        return &F::rangeTime;
    case Command::RangeNedan:
        return &F::rangeNedan;
    case Command::Line:
        return &F::line;
    case Command::TextTool:
        return &F::text;
    case Command::MemoTool:
        return &F::memo;
    case Command::SelectTool:
        return &F::select;
    default:
        return nullptr;
    }
}

void selectTool(Command command, const std::array<chart::ui::GraphPanel*, 4>& panels, HomeLeftPanel& column) {
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
    for (Command other : kToolCommands)
        if (QToolButton* b = column.button(other))
            b->setChecked(other == command && pressed);
    column.update();
}

} // namespace tavora::app
