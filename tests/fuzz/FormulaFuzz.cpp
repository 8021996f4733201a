// Formula text as a user or a stored table may hold it, evaluated over fuzzed bars: the text
// (first part), then bytes that make the bars. Invariants: a formula that parses prints back
// to a text, no longer than the one typed, that parses to the same tree; a formula that does
// not parse says where it stopped, inside the text; evaluation gives one value per bar and
// every value is finite or missing.
#include "FuzzSupport.h"
#include "analysis/BarSeries.h"
#include "analysis/FormulaEvaluator.h"
#include "analysis/FormulaParser.h"
#include "analysis/FormulaPrinter.h"

#include <cmath>
#include <limits>

using namespace tavora;

namespace {

// A price from two bytes: missing, zero, or a value from tiny to near the largest double.
double price(fuzz::FuzzInput& in) {
    const std::uint8_t kind = in.byte();
    const double v = static_cast<double>(in.byte()) + 1.0;
    switch (kind % 8) {
    case 0:
        return std::numeric_limits<double>::quiet_NaN();
    case 1:
        return 0.0;
    case 2:
        return v * 1e-300;
    case 3:
        return v * 1e300;
    case 4:
        return -v;
    default:
        return v * (kind / 8 + 1) / 4.0;
    }
}

analysis::BarSeries bars(fuzz::FuzzInput& in) {
    analysis::BarSeries s;
    const std::size_t count = in.byte();
    for (std::size_t i = 0; i < count && !in.rest().empty(); ++i) {
        s.open.push_back(price(in));
        s.high.push_back(price(in));
        s.low.push_back(price(in));
        s.close.push_back(price(in));
        s.volume.push_back(price(in));
        s.priced.push_back(1);
    }
    return s;
}

std::size_t characters(std::string_view text) {
    std::size_t n = 0;
    for (char c : text)
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput in(data, size);
    const std::string_view text = in.part();
    const analysis::FormulaParse parsed = analysis::ParseFormula(text);
    if (!parsed.ok()) {
        fuzz::check(parsed.error.position <= characters(text), "error position past the text");
        fuzz::check(!analysis::formulaErrorText(parsed.error).empty(), "error without a message");
        return 0;
    }
    const std::string printed = analysis::PrintFormula(*parsed.tree);
    fuzz::check(printed.size() <= text.size(), "printed text longer than the typed one", printed);
    const analysis::FormulaParse again = analysis::ParseFormula(printed);
    fuzz::check(again.ok(), "printed text does not parse", printed);
    fuzz::check(analysis::sameFormula(*parsed.tree, *again.tree), "printed text parses to another tree",
                printed);

    const analysis::BarSeries series = bars(in);
    const std::vector<double> values = analysis::EvaluateFormula(*parsed.tree, series);
    fuzz::check(values.size() == series.size(), "not one value per bar");
    for (double v : values)
        fuzz::check(std::isnan(v) || std::isfinite(v), "an infinite value", printed);
    return 0;
}
