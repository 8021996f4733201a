#include "app/PrintRoute.h"

#include "app/AppIcon.h"
#include "app/HomePanel.h"
#include "app/core/AppContext.h"
#include "chart/ui/GraphPanel.h"
#include "framework/Dates.h"
#include "printing/ui/DataPrintDialog.h"

namespace tavora::app {

printing::PrintSnapshot homeSnapshot(const AppContext& ctx, const HomePanel& home) {
    std::array<const chart::GraphViewState*, 4> states{};
    for (std::size_t i = 0; i < states.size(); ++i)
        states[i] = &home.graphPanel(market::kAllPeriods[i])->state();
    const chart::ChartSeries* series = home.series();
    const bool open = series && ctx.currentCode && *ctx.currentCode < ctx.catalogue.size() &&
                      ctx.catalogue[*ctx.currentCode].code == series->code;
    if (!open)
        return printing::takeSnapshot(states, nullptr);
    const market::CodeElm& entry = ctx.catalogue[*ctx.currentCode];
    const chart::TitleText title{entry.code, entry.name, entry.market, entry.sector};
    return printing::takeSnapshot(states, &title);
}

void openPrintDialog(printing::ui::DataPrintDialog*& dialog, AppContext& ctx, HomePanel& home, QWidget* owner,
                     QWidget* mainWindow) {
    if (!dialog) {
        dialog = new printing::ui::DataPrintDialog([&ctx, &home] { return homeSnapshot(ctx, home); },
                                                   framework::todayYmd().year, owner);
        dialog->setWindowIcon(appIcon());
        QObject::connect(&home, &HomePanel::chartShown, dialog, &printing::ui::DataPrintDialog::chartChanged);
    }
    dialog->openOver(mainWindow);
}

} // namespace tavora::app
