#pragma once
// Choosing a pointer tool from the tool column: the same tool on all four chart panels, the
// pressed button alone kept pressed, and clicking the pressed button again leaves no tool.
// An operation another tool left half done is ended first. UI thread only.
#include "app/core/Commands.h"
#include "chart/GraphViewState.h"

#include <array>

namespace tavora::chart::ui {
class GraphPanel;
}

namespace tavora::app {

class HomeLeftPanel;

// The pointer-tool commands of the tool column.
inline constexpr std::array<Command, 9> kToolCommands{
    Command::CrossCursor, Command::TimePrice, Command::Takayasu, Command::RangeTime, Command::RangeNedan,
    Command::Line,        Command::TextTool,  Command::MemoTool, Command::SelectTool};
bool isToolCommand(Command command);
using ToolFlag = bool chart::ToolFlags::*;
// The flag of a tool command; null for another command.
ToolFlag toolFlagOf(Command command);

// A tool button was clicked (its checked state already toggled).
void selectTool(Command command, const std::array<chart::ui::GraphPanel*, 4>& panels, HomeLeftPanel& column);

} // namespace tavora::app
