#pragma once
// What the データ取込 page and the price jobs need from the main window: the side sheet, the
// reopening of the current code and the status bar. UI thread only.
#include <QString>

#include <functional>

namespace tavora::framework::ui {
class SideSheetPanel;
class StatusBar;
} // namespace tavora::framework::ui

namespace tavora::csv::ui {

struct DataPageHost {
    std::function<void(framework::ui::SideSheetPanel*)> addSheetPanel;
    std::function<void(framework::ui::SideSheetPanel*, int width)> openSheet;
    std::function<bool()> closeSheet; // false when the user kept the sheet open
    // Opens the current code again and then shows `statusText` (the opening clears the text).
    std::function<void(const QString& statusText)> reopenCurrentCode;
    framework::ui::StatusBar* status = nullptr;
};

} // namespace tavora::csv::ui
