#pragma once
// Command 375 ("印刷"): the chart print dialog over the main window, fed with snapshots of the
// Home page's four chart panels and told whenever the Home page shows another series. UI
// thread only.
#include "printing/PrintSnapshot.h"

class QWidget;

namespace tavora::printing::ui {
class DataPrintDialog;
}

namespace tavora::app {

struct AppContext;
class HomePanel;

// What the Home page's panels show now, with the current code's title.
printing::PrintSnapshot homeSnapshot(const AppContext& ctx, const HomePanel& home);

// Opens the dialog over `mainWindow`, creating it on first use (`dialog` keeps it; it is a
// child of `owner` and lives as long as it does).
void openPrintDialog(printing::ui::DataPrintDialog*& dialog, AppContext& ctx, HomePanel& home, QWidget* owner,
                     QWidget* mainWindow);

} // namespace tavora::app
