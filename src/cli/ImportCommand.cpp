// tavora-cli import: registers price CSV files through the column mapping, as the データ取込
// page does: the stored mapping (the KABU+ layout out of the box) changed by the options, a
// backup first when asked (or when the setting says so), then each file in one all-or-nothing
// write. Prints "registered FILE: R rows, K skipped" or "refused FILE: reason" per file and
// the total; with --preview prints the rows the first file gives instead, registering nothing.
// Ctrl+C or SIGTERM stops the run before the next file (the files before it stay registered,
// each whole) and exits 130.
#include "app/core/AppContext.h"
#include "app/core/CatalogueStartup.h"
#include "cli/CliCommand.h"
#include "cli/CliSession.h"
#include "cli/CodeArgument.h"
#include "cli/Interruption.h"
#include "cli/RegistrationReport.h"
#include "cli/TextProgress.h"
#include "csv/CsvMappingStore.h"
#include "csv/CsvPreview.h"
#include "csv/PriceRegistration.h"
#include "framework/ShownText.h"
#include "market/StockCode.h"

#include <charconv>
#include <cstdio>
#include <functional>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace tavora::cli {

namespace {

const char* const kName = "import";

struct Options {
    std::vector<std::string> files;
    std::vector<std::function<void(csv::CsvMapping&)>> changes; // applied over the stored mapping
    std::optional<bool> backup;
    bool preview = false;
    std::optional<std::string> code; // --code: the code of files without a code column
};

std::optional<int> number(std::string_view text, int low, int high) {
    int value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < low || value > high)
        return std::nullopt;
    return value;
}

// "ROLE=VALUE" split at the first "=", with ROLE one of the seven used rows.
std::optional<std::pair<csv::MappingRow, std::string>> roleValue(const std::string& text) {
    const auto eq = text.find('=');
    if (eq == std::string::npos)
        return std::nullopt;
    auto row = csv::mappingRowOfRole(text.substr(0, eq));
    if (!row)
        return std::nullopt;
    return std::make_pair(*row, text.substr(eq + 1));
}

// Reads one option and its value; returns an error text for wrong usage, empty when fine.
std::string readOption(const std::string& name, const std::string& value, Options& o) {
    using namespace csv;
    if (name == "--separator") {
        if (value != "comma" && value != "tab")
            return "--separator takes comma or tab";
        const auto s = value == "tab" ? CsvSeparator::Tab : CsvSeparator::Comma;
        o.changes.push_back([s](CsvMapping& m) { m.separator = s; });
    } else if (name == "--by") {
        if (value != "columns" && value != "titles")
            return "--by takes columns or titles";
        const auto by = value == "titles" ? CsvMatchBy::Titles : CsvMatchBy::Columns;
        o.changes.push_back([by](CsvMapping& m) { m.matchBy = by; });
    } else if (name == "--column") {
        auto rv = roleValue(value);
        auto column = rv ? number(rv->second, 0, 1000) : std::nullopt;
        if (!column)
            return "--column takes ROLE=N with ROLE one of code, date, open, high, low, close, volume and N "
                   "a "
                   "column number (0: not in the file)";
        o.changes.push_back([row = rv->first, c = *column](CsvMapping& m) { m.rows[row].column = c; });
    } else if (name == "--title") {
        auto rv = roleValue(value);
        if (!rv)
            return "--title takes ROLE=TEXT with ROLE one of code, date, open, high, low, close, volume (an "
                   "empty "
                   "TEXT: not in the file)";
        o.changes.push_back([row = rv->first, t = rv->second](CsvMapping& m) { m.rows[row].title = t; });
    } else if (name == "--start") {
        auto line = number(value, 1, 3);
        if (!line)
            return "--start takes 1, 2 or 3";
        o.changes.push_back([l = *line](CsvMapping& m) { m.dataStart = l; });
    } else if (name == "--encoding") {
        std::optional<framework::CsvEncoding> e;
        for (auto c :
             {framework::CsvEncoding::Utf8, framework::CsvEncoding::Utf16, framework::CsvEncoding::ShiftJis})
            if (value == encodingText(c))
                e = c;
        if (!e)
            return "--encoding takes UTF-8, UTF-16 or Shift-JIS";
        o.changes.push_back([e = *e](CsvMapping& m) { m.encoding = e; });
    } else if (name == "--quote") {
        const auto q = value == "none"     ? std::optional(CsvQuote::None)
                       : value == "double" ? std::optional(CsvQuote::Double)
                       : value == "single" ? std::optional(CsvQuote::Single)
                                           : std::nullopt;
        if (!q)
            return "--quote takes none, double or single";
        o.changes.push_back([q = *q](CsvMapping& m) { m.quote = q; });
    } else if (name == "--zero") {
        o.changes.push_back([value](CsvMapping& m) { m.zeroText = value; });
    } else if (name == "--code") {
        o.code = value;
        o.changes.push_back([value](CsvMapping& m) {
            m.codeGiven = true;
            m.givenCode = value;
        });
    }
    return {};
}

// Parses the arguments; returns an error text for wrong usage.
std::string parse(const std::vector<std::string>& args, Options& o) {
    static const char* const withValue[] = {"--separator", "--by",    "--column", "--title", "--start",
                                            "--encoding",  "--quote", "--zero",   "--code"};
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--backup" || a == "--no-backup") {
            o.backup = a == "--backup";
            continue;
        }
        if (a == "--preview") {
            o.preview = true;
            continue;
        }
        if (a == "--") {
            o.files.insert(o.files.end(), args.begin() + static_cast<long>(i) + 1, args.end());
            break;
        }
        if (!a.starts_with("--")) {
            o.files.push_back(a);
            continue;
        }
        const auto eq = a.find('=');
        const std::string name = a.substr(0, eq);
        bool known = false;
        for (const char* n : withValue)
            known = known || name == n;
        if (!known)
            return "unknown option " + name;
        std::string value;
        if (eq != std::string::npos)
            value = a.substr(eq + 1);
        else if (i + 1 < args.size())
            value = args[++i];
        else
            return name + " needs a value";
        if (auto error = readOption(name, value, o); !error.empty())
            return error;
    }
    if (o.files.empty())
        return "no file given";
    return {};
}

int preview(const std::string& file, const csv::CsvMapping& mapping) {
    const auto p = csv::previewPriceCsv(file, mapping);
    if (!p.error.empty())
        return fail("refused " + file + ": " + p.errorEnglish);
    for (const auto& cells : p.rows) {
        std::string line;
        for (const auto& cell : cells)
            line += (line.empty() ? "" : ",") + framework::shownText(cell);
        std::printf("%s\n", line.c_str());
    }
    std::cerr << p.parsedRows << " rows, " << p.skipped << " skipped\n";
    for (const auto& skip : p.skips)
        std::cerr << "  line " << skip.line << ": " << framework::shownLine(skip.reasonEnglish) << "\n";
    return std::fflush(stdout) == 0 ? ExitOk : fail("cannot write the preview");
}

int run(const std::vector<std::string>& args) {
    Options o;
    if (auto error = parse(args, o); !error.empty())
        return usageError(kName, error);
    if (o.code) {
        const market::StockCode code = market::foldStockCode(*o.code);
        if (!code.ok())
            return fail("--code " + escapedCode(*o.code) + " cannot be a code: " + codeProblemName(code.problem));
    }
    const std::atomic<bool>& cancel = cancelOnInterrupt();
    TextProgress progress;
    CliSession session(progress);
    if (!session.start())
        return fail(session.error());
    app::AppContext& ctx = session.context();
    csv::CsvMapping mapping = csv::loadCsvMapping(ctx.paths.setteiDb);
    for (const auto& change : o.changes)
        change(mapping);
    if (o.preview)
        return preview(o.files.front(), mapping);

    csv::RegistrationRequest request;
    request.files.assign(o.files.begin(), o.files.end());
    request.mapping = mapping;
    request.priceDbDir = ctx.paths.priceDbDir;
    request.backupDir = ctx.paths.backupDir;
    request.backupFirst = o.backup.value_or(ctx.settings.buckupcreate_ch);
    for (const auto& line : app::LoadCodeListStep(ctx))
        session.log().UpdLog(line);
    for (const auto& entry : ctx.csvCodeList)
        request.catalogueCodes.push_back(entry.code);
    return registerAndReport(session, request, progress, &cancel);
}

CliRegistration reg{
    {kName,
     "FILE... [--separator comma|tab] [--by columns|titles] [--column ROLE=N]... [--title ROLE=TEXT]... "
     "[--start 1|2|3] [--encoding UTF-8|UTF-16|Shift-JIS] [--quote none|double|single] [--zero TEXT] "
     "[--code CODE] [--backup|--no-backup] [--preview]",
     "register price CSV files through the column mapping (ROLE: code, date, open, high, low, close, volume; "
     "column 0 or an empty title: not in the file; --code: the code of files without a code column)",
     &run}};

} // namespace

} // namespace tavora::cli
