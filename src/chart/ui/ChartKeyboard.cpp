#include "chart/ui/ChartKeyboard.h"

#include <QKeyEvent>

namespace tavora::chart::ui {

std::optional<ChartAction> chartActionForKey(int key, Qt::KeyboardModifiers modifiers) {
    // Shortcuts with Ctrl, Alt or Meta belong to the window (undo, quit...), not the chart.
    if (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return std::nullopt;
    const bool shift = modifiers & Qt::ShiftModifier;
    switch (key) {
    case Qt::Key_Left:
        return shift ? ChartAction::PageBack : ChartAction::ScrollBack;
    case Qt::Key_Right:
        return shift ? ChartAction::PageForward : ChartAction::ScrollForward;
    case Qt::Key_Home:
        return ChartAction::Oldest;
    case Qt::Key_End:
        return ChartAction::Newest;
    case Qt::Key_Plus:
    case Qt::Key_Equal: // the unshifted "+" key of many keyboards
        return ChartAction::WiderBars;
    case Qt::Key_Minus:
    case Qt::Key_Underscore:
        return ChartAction::NarrowerBars;
    case Qt::Key_F:
        return ChartAction::FitPrices;
    case Qt::Key_Delete:
        return shift ? std::nullopt : std::optional(ChartAction::DeleteSelection);
    case Qt::Key_PageUp:
        return ChartAction::PreviousCode;
    case Qt::Key_PageDown:
        return ChartAction::NextCode;
    case Qt::Key_1:
    case Qt::Key_2:
    case Qt::Key_3:
    case Qt::Key_4:
        return static_cast<ChartAction>(int(ChartAction::ShowDay) + (key - Qt::Key_1));
    default:
        return std::nullopt;
    }
}

std::optional<ChartAction> chartActionForKey(const QKeyEvent& event) {
    return chartActionForKey(event.key(), event.modifiers() & ~Qt::KeypadModifier);
}

ChartAction chartActionForWheel(int direction, Qt::KeyboardModifiers modifiers) {
    if (modifiers & Qt::ControlModifier)
        return direction < 0 ? ChartAction::WiderBars : ChartAction::NarrowerBars;
    return direction < 0 ? ChartAction::PricesUp : ChartAction::PricesDown;
}

bool isHomeAction(ChartAction action) {
    return action >= ChartAction::PreviousCode;
}

} // namespace tavora::chart::ui
