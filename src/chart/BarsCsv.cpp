#include "chart/BarsCsv.h"

#include <string>
#include <string_view>

namespace tavora::chart {

namespace {

// A field as CSV: quoted (with inner quotes doubled) only when it holds a separator, a quote
// or a line break.
void writeField(std::ostream& out, std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        out << text;
        return;
    }
    out << '"';
    for (char c : text) {
        if (c == '"')
            out << '"';
        out << c;
    }
    out << '"';
}

} // namespace

void WriteBarsCsv(const PeriodSeries& series, std::ostream& out) {
    out << "date,open,high,low,close,volume,split,nodata";
    for (std::size_t g = 0; g < series.graphs.size(); ++g) {
        out << ',';
        writeField(out, series.graphs[g].name);
    }
    out << '\n';
    std::string line;
    for (std::size_t i = series.bars.size(); i-- > 0;) {
        const market::KeisenElm& bar = series.bars[i];
        line.clear();
        line.append(bar.date).append(1, ',');
        line.append(bar.openText()).append(1, ',');
        line.append(bar.highText()).append(1, ',');
        line.append(bar.lowText()).append(1, ',');
        line.append(bar.closeText()).append(1, ',');
        line.append(std::to_string(bar.volume)).append(1, ',');
        line.append(bar.split).append(1, ',');
        line.append(bar.noData ? "1" : "0");
        out << line;
        for (std::size_t g = 0; g < series.graphs.size(); ++g) {
            out << ',';
            const auto& graph = series.graphs[g];
            if (i < graph.count())
                out << graph.value(i);
        }
        out << '\n';
    }
}

} // namespace tavora::chart
