#include "cli/PaintingSession.h"

#include "app/core/ChartOpening.h"
#include "app/core/Startup.h"
#include "cli/CliCommand.h"
#include "cli/CliSession.h"
#include "framework/Progress.h"
#include "framework/ui/QtPlatform.h"

#include <QGuiApplication>

namespace tavora::cli {

int runPaintingCommand(const std::function<int(app::AppContext&)>& body) {
    framework::ui::useOffscreenPlatformWithoutDisplay();
    static int argc = 1;
    static char appName[] = "tavora-cli";
    static char* argv[] = {appName, nullptr};
    QGuiApplication application(argc, argv);
    framework::NullProgress quiet;
    CliSession session(quiet);
    if (!session.start())
        return fail(session.error());
    app::runCatalogueStartup(session.context(), session.log(), quiet);
    return body(session.context());
}

bool openCodeChart(app::AppContext& ctx, const std::string& code, const market::CodeElm*& entry,
                   chart::ChartSeries& series, std::string& error) {
    entry = market::FindCode(ctx.catalogue, code);
    if (!entry) {
        error = "no code " + code + " in the code list";
        return false;
    }
    chart::OpenChartInput in = app::chartInputFor(ctx, *entry);
    in.priceDb = &ctx.priceDb;
    in.scaleDb = ctx.scaleDb.isOpen() ? &ctx.scaleDb : nullptr;
    series = chart::OpenChart(in);
    if (series.period(market::ChartPeriod::Day).bars.empty()) {
        error = "no prices stored for code " + code;
        return false;
    }
    return true;
}

} // namespace tavora::cli
