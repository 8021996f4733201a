// tavora-cli render: one period of a code's chart painted as a chart panel shows it right after
// loading, written as a PNG, JPEG or BMP picture as the file name's extension says, and the
// path written printed. Without a code, the screen shown when no code is open.
#include "annotations/CodeAnnotations.h"
#include "annotations/DocumentFile.h"
#include "annotations/DocumentHistory.h"
#include "app/NoCodeScreen.h"
#include "app/core/AppContext.h"
#include "app/core/UserOutput.h"
#include "chart/OpenChart.h"
#include "chart/ui/ChartImage.h"
#include "cli/CliCommand.h"
#include "cli/PaintingSession.h"
#include "framework/Dates.h"
#include "framework/Files.h"
#include "framework/ShownText.h"

#include <QBuffer>
#include <QImageWriter>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace tavora::cli {

namespace {

const char* const kName = "render";

// Why a document could not be read: the reader's message is a headline, the path and then the
// reason; the path is named by the caller, so the reason (else the headline) is kept.
std::string readFailureReason(const std::string& message) {
    const auto first = message.find('\n');
    const auto second = first == std::string::npos ? first : message.find('\n', first + 1);
    if (second == std::string::npos)
        return message.substr(0, first);
    return message.substr(second + 1);
}

struct RenderOptions {
    std::string code; // empty: the no-code screen
    market::ChartPeriod period = market::ChartPeriod::Day;
    int width = 1200;
    int height = 700;
    std::string out; // empty: CODE-PERIOD.png
    const char* format = "png";
    std::string document; // a chart document whose annotations are drawn; empty: none
    std::string target;   // where `out` is written: its links followed (app/core/UserOutput.h)
};

// The picture format of a file name's extension (case ignored); null for any other.
const char* formatOfExtension(const std::string& path) {
    const auto dot = path.find_last_of("./");
    if (dot == std::string::npos || path[dot] != '.')
        return nullptr;
    std::string ext = path.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    if (ext == "png")
        return "png";
    if (ext == "jpg" || ext == "jpeg")
        return "jpg";
    if (ext == "bmp")
        return "bmp";
    return nullptr;
}

std::optional<int> parsePositive(std::string_view text) {
    int value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value <= 0)
        return std::nullopt;
    return value;
}

// Returns an error text for a usage error, empty when the arguments are good.
std::string parseArgs(const std::vector<std::string>& args, RenderOptions& o) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= args.size())
                return false;
            into = args[++i];
            return true;
        };
        std::string v;
        if (a == "--period") {
            if (!value(v))
                return "--period needs d, w, m or y";
            auto p = market::periodFromLetter(v);
            if (!p)
                return "unknown period '" + v + "' (d, w, m or y)";
            o.period = *p;
        } else if (a == "--size") {
            if (!value(v))
                return "--size needs WIDTHxHEIGHT";
            auto x = v.find('x');
            auto w = x == std::string::npos ? std::nullopt : parsePositive(std::string_view(v).substr(0, x));
            auto h = x == std::string::npos ? std::nullopt : parsePositive(std::string_view(v).substr(x + 1));
            if (!w || !h)
                return "bad size '" + v + "' (WIDTHxHEIGHT, e.g. 1200x700)";
            if (!chart::ui::chartImageSizeAllowed(*w, *h))
                return "size " + v + " is too large (at most " + std::to_string(chart::ui::kMaxChartImageSide) +
                       " pixels a side and " + std::to_string(chart::ui::kMaxChartImagePixels) + " pixels in all)";
            o.width = *w;
            o.height = *h;
        } else if (a == "--document") {
            if (!value(o.document) || o.document.empty())
                return "--document needs a chart document (.tvrd)";
        } else if (a == "--out") {
            if (!value(o.out) || o.out.empty())
                return "--out needs a file name";
        } else if (!a.empty() && a[0] == '-') {
            return "unknown option '" + a + "'";
        } else if (o.code.empty()) {
            o.code = a;
        } else {
            return "more than one code given";
        }
    }
    if (!o.document.empty() && o.code.empty())
        return "--document needs a code";
    if (o.out.empty())
        o.out = (o.code.empty() ? std::string("nocode") : o.code) + "-" +
                std::string(market::periodLetter(o.period)) + ".png";
    o.format = formatOfExtension(o.out);
    if (!o.format)
        return "cannot tell the picture format of '" + o.out + "' (.png, .jpg or .bmp)";
    return {};
}

// The annotations a document holds for the code, as saved (step 0).
bool loadDocumentAnnotations(const std::string& file, annotations::CodeAnnotations& lists, std::string& error) {
    auto read = annotations::readDocument(file);
    if (!read.ok()) {
        error = read.notADocument ? file + " is not a Tavora chart document"
                                  : "cannot read " + file + ": " + readFailureReason(read.error);
        return false;
    }
    annotations::ChartDocument document;
    document.working = std::move(read.document);
    annotations::DocumentHistory(document).load(lists);
    return true;
}

int render(app::AppContext& ctx, const RenderOptions& o) {
    chart::ui::ChartImageRequest request;
    request.period = o.period;
    request.settings = ctx.settings;
    request.size = QSize(o.width, o.height);
    request.noCode = app::programNoCodeScreen(ctx.noticeText);
    std::optional<framework::YmdDate> today = framework::parseDate(framework::todayDate());
    request.today = today.value_or(framework::todayYmd());

    chart::ChartSeries series;
    annotations::CodeAnnotations lists;
    if (!o.document.empty()) {
        lists.reset(o.code);
        std::string error;
        if (!loadDocumentAnnotations(o.document, lists, error))
            return fail(error);
        request.annotations = lists.list(o.period).chartAnnotations();
    }
    if (!o.code.empty()) {
        const market::CodeElm* entry = nullptr;
        std::string error;
        if (!openCodeChart(ctx, o.code, entry, series, error))
            return fail(error);
        request.series = &series.period(o.period);
        request.scale = series.scale;
        request.title = {entry->code, entry->name, entry->market, entry->sector};
    }

    QImage image = chart::ui::renderChartImage(request);
    if (image.isNull())
        return fail("cannot make an image of " + std::to_string(o.width) + "x" + std::to_string(o.height));
    // Encoded in memory, then written aside and renamed into place: a run stopped halfway
    // leaves the old file or none, and a failed write says why (a full disk) instead of the
    // encoder's "Unknown error".
    QByteArray encoded;
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, o.format);
    if (!writer.write(image))
        return fail("cannot encode the picture for " + o.out + ": " + writer.errorString().toStdString());
    std::string error;
    if (!framework::WriteZFileAtomic(
            o.target, std::string_view(encoded.constData(), std::size_t(encoded.size())), -1, &error))
        return fail("cannot write " + o.out + ": " + error);
    std::printf("%s\n", framework::shownText(o.out).c_str());
    return std::fflush(stdout) == 0 ? ExitOk : fail("cannot write to standard output");
}

int run(const std::vector<std::string>& args) {
    RenderOptions options;
    if (std::string error = parseArgs(args, options); !error.empty())
        return usageError(kName, error);
    // Checked before anything starts: a refused path costs no start-up and no lock.
    const framework::OutputTarget target = app::checkUserOutput(options.out);
    if (!target.ok())
        return fail(target.reason);
    options.target = target.resolved.string();
    return runPaintingCommand([&](app::AppContext& ctx) { return render(ctx, options); });
}

CliRegistration reg{{kName,
                     "[CODE] [--period d|w|m|y] [--size WIDTHxHEIGHT] [--out FILE.png|.jpg|.bmp] [--document FILE.tvrd]",
                     "paint a code's chart (or the screen without a code), with a document's annotations, into "
                     "a picture file",
                     &run}};

} // namespace

} // namespace tavora::cli
