#pragma once
// Choosing a pointer tool from the tool column: the same tool on all four chart panels, the
// pressed button alone kept pressed, and clicking the pressed button again leaves no tool.
// An operation another tool left half done is ended first. UI thread only.
#include "chart/GraphViewState.h"

#include <array>

namespace tavora::chart::ui {
class GraphPanel;
}

namespace tavora::app {

class HomeLeftPanel;

// The pointer-tool commands of the tool column: 110, 144, 111, 112, 114, 115, 535, 551, 146.
inline constexpr std::array<int, 9> kToolCommands{110, 144, 111, 112, 114, 115, 535, 551, 146};
bool isToolCommand(int command);
using ToolFlag = bool chart::ToolFlags::*;
// The flag of a tool command; null for another command.
ToolFlag toolFlagOf(int command);

// A tool button was clicked (its checked state already toggled).
void selectTool(int command, const std::array<chart::ui::GraphPanel*, 4>& panels, HomeLeftPanel& column);

} // namespace tavora::app
