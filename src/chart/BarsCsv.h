#pragma once
// The bars of one period with their analysis values as CSV text (tavora-cli bars): a header
// "date,open,high,low,close,volume,split,nodata" and one column per graph list, then one row
// per bar from the oldest to the newest. Pure function; any thread.
#include "chart/OpenChart.h"

#include <ostream>

namespace tavora::chart {

void WriteBarsCsv(const PeriodSeries& series, std::ostream& out);

} // namespace tavora::chart
