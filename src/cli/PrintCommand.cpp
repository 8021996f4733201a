// tavora-cli print: a code's chart on graph-paper sheets written as an A4 PDF, with the print
// dialog's choices (and its defaults for every option left out). Prints "wrote FILE: N pages".
// Ctrl+C or SIGTERM before the file is complete leaves no file (and any old one as it was) and
// exits 130.
#include "app/core/AppContext.h"
#include "app/core/UserOutput.h"
#include "chart/OpenChart.h"
#include "cli/CliCommand.h"
#include "cli/Interruption.h"
#include "cli/PaintingSession.h"
#include "framework/Dates.h"
#include "printing/DocumentName.h"
#include "printing/RangeCheck.h"
#include "printing/SeriesSnapshot.h"
#include "printing/SheetDrawing.h"
#include "printing/ui/SheetOutput.h"

#include <charconv>
#include <climits>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace tavora::cli {

namespace {

const char* const kName = "print";

struct PrintOptions {
    std::string code;
    std::string out;
    std::string target; // where `out` is written: its links followed (app/core/UserOutput.h)
    printing::PrintChoices choices;
    bool fromGiven = false;
    std::optional<std::int64_t> step;
    std::optional<std::int64_t> lowest;
};

std::optional<std::int64_t> parseNumber(std::string_view text, std::int64_t min, std::int64_t max) {
    std::int64_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < min || value > max)
        return std::nullopt;
    return value;
}

// "YYYY-MM".
std::optional<printing::YearMonth> parseYearMonth(std::string_view text) {
    if (text.size() != 7 || text[4] != '-')
        return std::nullopt;
    auto year = parseNumber(text.substr(0, 4), 1000, 9999);
    auto month = parseNumber(text.substr(5, 2), 1, 12);
    if (!year || !month)
        return std::nullopt;
    return printing::YearMonth{int(*year), int(*month)};
}

// "50,10,5,1" or any part of it; "none" for no lines but the border.
std::optional<printing::GridLines> parseLines(std::string_view text) {
    printing::GridLines lines{false, false, false, false};
    if (text == "none")
        return lines;
    while (!text.empty()) {
        const auto comma = text.find(',');
        const std::string_view item = text.substr(0, comma);
        if (item == "50")
            lines.every50 = true;
        else if (item == "10")
            lines.every10 = true;
        else if (item == "5")
            lines.every5 = true;
        else if (item == "1")
            lines.fine = true;
        else
            return std::nullopt;
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    }
    return lines;
}

// Returns an error text for a usage error, empty when the arguments are good.
std::string parseArgs(const std::vector<std::string>& args, PrintOptions& o) {
    printing::PrintChoices& c = o.choices;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        std::string v;
        auto value = [&]() {
            if (i + 1 >= args.size())
                return false;
            v = args[++i];
            return true;
        };
        if (a == "--out") {
            if (!value() || v.empty())
                return "--out needs a file name";
            o.out = v;
        } else if (a == "--period") {
            auto p = value() ? market::periodFromLetter(v) : std::nullopt;
            if (!p)
                return "--period needs d, w, m or y";
            c.period = *p;
        } else if (a == "--from" || a == "--to") {
            auto ym = value() ? parseYearMonth(v) : std::nullopt;
            if (!ym)
                return a + " needs a month as YYYY-MM";
            (a == "--from" ? c.start : c.end) = *ym;
            o.fromGiven = o.fromGiven || a == "--from";
        } else if (a == "--orientation") {
            if (!value() || (v != "portrait" && v != "landscape"))
                return "--orientation needs portrait or landscape";
            c.orientation =
                v == "portrait" ? printing::Orientation::Portrait : printing::Orientation::Landscape;
        } else if (a == "--bar") {
            if (!value() || (v != "wide" && v != "narrow"))
                return "--bar needs wide or narrow";
            c.barCells = v == "wide" ? 2 : 1;
        } else if (a == "--scheme") {
            if (!value() || (v != "blue" && v != "grey"))
                return "--scheme needs blue or grey";
            c.scheme = v == "blue" ? printing::LineScheme::Blue : printing::LineScheme::Grey;
        } else if (a == "--step") {
            o.step = value() ? parseNumber(v, 1, 1'000'000'000) : std::nullopt;
            if (!o.step)
                return "--step needs a price above 0";
        } else if (a == "--lowest") {
            o.lowest = value() ? parseNumber(v, 0, 1'000'000'000'000) : std::nullopt;
            if (!o.lowest)
                return "--lowest needs a price of 0 or more";
        } else if (a == "--lines") {
            auto lines = value() ? parseLines(v) : std::nullopt;
            if (!lines)
                return "--lines needs a list of 50, 10, 5 and 1 (or none)";
            c.lines = *lines;
        } else if (!a.empty() && a[0] == '-') {
            return "unknown option '" + a + "'";
        } else if (o.code.empty()) {
            o.code = a;
        } else {
            return "more than one code given";
        }
    }
    if (o.code.empty())
        return "no code given";
    if (o.out.empty())
        return "--out FILE.pdf is required";
    return {};
}

int print(app::AppContext& ctx, PrintOptions& o) {
    const market::CodeElm* entry = nullptr;
    chart::ChartSeries series;
    std::string error;
    if (!openCodeChart(ctx, o.code, entry, series, error))
        return fail(error);

    const framework::YmdDate today =
        framework::parseDate(framework::todayDate()).value_or(framework::todayYmd());
    const printing::PrintSnapshot snapshot = printing::snapshotOfSeries(
        series, {entry->code, entry->name, entry->market, entry->sector}, series.scale, ctx.settings, today);

    printing::PrintChoices& c = o.choices;
    if (!o.fromGiven)
        c.start = printing::initialChoices(today.year).start;
    if (c.period == market::ChartPeriod::Year) {
        // Year charts print whole years, as the dialog's fixed month boxes do.
        c.start.month = 1;
        if (!c.end.empty())
            c.end.month = 1;
    }
    c.step = o.step ? *o.step : printing::stepChoices(c.period, snapshot.period(c.period).gridYen).step;
    c.lowest = o.lowest
                   ? *o.lowest
                   : printing::lowestPrice(snapshot, c, printing::sheetGeometry(c.orientation)).value_or(0);

    // A range with nothing to print is refused rather than written as blank sheets.
    if (const auto check = printing::checkRange(snapshot.period(c.period), c.start, c.end); !check.ok())
        return fail(printing::rangeRefusalText(check));

    const printing::SheetInput input = printing::makeSheetInput(snapshot, c, true);
    const auto result = printing::ui::writeSheetsPdf(
        o.target, input, printing::documentTitle(entry->name, c.period), 1, INT_MAX, &cancelOnInterrupt());
    if (result.cancelled)
        return cancelledExit(o.out + " was not written");
    if (!result.ok)
        return fail("cannot write " + o.out + ": " + result.error);
    std::cout << "wrote " << o.out << ": " << result.pages << (result.pages == 1 ? " page" : " pages") << "\n";
    return std::cout.flush() ? ExitOk : fail("cannot write to standard output");
}

int run(const std::vector<std::string>& args) {
    PrintOptions options;
    if (std::string error = parseArgs(args, options); !error.empty())
        return usageError(kName, error);
    // Checked before anything starts: a refused path costs no start-up and no lock.
    const framework::OutputTarget target = app::checkUserOutput(options.out);
    if (!target.ok())
        return fail(target.reason);
    options.target = target.resolved.string();
    cancelOnInterrupt(); // a signal while the program starts is seen before the file is written
    return runPaintingCommand([&](app::AppContext& ctx) { return print(ctx, options); });
}

CliRegistration reg{{kName,
                     "CODE --out FILE.pdf [--period d|w|m|y] [--from YYYY-MM] [--to YYYY-MM] "
                     "[--orientation portrait|landscape] [--bar wide|narrow] [--scheme blue|grey] [--step N] "
                     "[--lowest N] [--lines 50,10,5,1]",
                     "print a code's chart on graph-paper sheets into an A4 PDF; a range without prices is refused",
                     &run}};

} // namespace

} // namespace tavora::cli
