#include "app/core/ChartOpening.h"

#include "market/MarketCalendar.h"

namespace tavora::app {

chart::OpenChartInput chartInputFor(const AppContext& ctx, const market::CodeElm& entry) {
    chart::OpenChartInput in;
    in.code = entry.code;
    in.splits = entry.splits;
    in.calendarPath = market::ChooseCalendar(entry, ctx.paths.marketDayDir);
    in.definitions = ctx.bunsekiList;
    return in;
}

} // namespace tavora::app
