#include "acquisition/KabuPlusDownload.h"

#include "framework/Files.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <thread>

namespace tavora::acquisition {

namespace {

bool cancelled(const std::atomic<bool>* cancel) {
    return cancel && cancel->load();
}

// Sleeps `ms` milliseconds in short slices, returning early (false) when cancelled.
bool pause(int ms, const std::atomic<bool>* cancel) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < until) {
        if (cancelled(cancel))
            return false;
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
            std::chrono::milliseconds(20), until - std::chrono::steady_clock::now()));
    }
    return !cancelled(cancel);
}

int randomPause(const KabuPlusRequest& request) {
    static thread_local std::mt19937 random{std::random_device{}()};
    const int low = std::max(0, request.pauseMinMs);
    const int high = std::max(low, request.pauseMaxMs);
    return std::uniform_int_distribution<int>(low, high)(random);
}

bool isAuthenticationStatus(long status) {
    return status == 401 || status == 403;
}

// Why the run cannot start, in Japanese and (into `english`) in English; empty when it can.
std::string setupProblem(const KabuPlusRequest& request, std::string& english) {
    if (request.user.empty() || request.password.empty()) {
        english = "no KABU+ id and password are set";
        return kNoCredentialsText;
    }
    if (!request.caFile.empty() && !framework::isliveFile(request.caFile)) {
        english = "cannot read the KABU+ certificate file " + request.caFile;
        return "KABU+ の証明書ファイルを読めません: " + request.caFile;
    }
    if (!framework::CreateZDirectory(request.downloadDir)) {
        english = "cannot create the download folder " + request.downloadDir;
        return "ダウンロード先のフォルダを作れません: " + request.downloadDir;
    }
    return {};
}

} // namespace

std::vector<std::string> KabuPlusReport::storedPaths() const {
    std::vector<std::string> paths;
    for (const auto& d : days)
        if (d.stored)
            paths.push_back(d.path);
    return paths;
}

bool looksLikeHtml(std::string_view body) {
    static constexpr std::string_view marks[] = {"<html", "<!doctype html"};
    for (std::size_t i = 0; i < body.size(); ++i) {
        if (body[i] != '<')
            continue;
        for (auto mark : marks) {
            if (body.size() - i < mark.size())
                continue;
            bool same = true;
            for (std::size_t k = 1; k < mark.size() && same; ++k) {
                const char c = body[i + k];
                same = (c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) == mark[k];
            }
            if (same)
                return true;
        }
    }
    return false;
}

std::optional<std::string> kabuPlusReplyProblem(const HttpsReply& reply) {
    if (reply.status != 200 && reply.status != 0)
        return "HTTP " + std::to_string(reply.status) + (reply.complete ? "" : " (" + reply.error + ")");
    if (!reply.complete)
        return reply.error.empty() ? std::string("the transfer did not complete") : reply.error;
    if (reply.status != 200)
        return std::string("no HTTP reply");
    if (reply.body.empty())
        return std::string("the file is empty");
    if (looksLikeHtml(reply.body))
        return std::string("an HTML page instead of the CSV file");
    return std::nullopt;
}

std::string downloadProgressText(std::size_t handled, std::size_t stored, std::size_t failed,
                                 const framework::YmdDate& day) {
    char text[160];
    std::snprintf(text, sizeof text, "%zu 件中 成功 %zu件　失敗 %zu件 %s", handled, stored, failed,
                  compactDate(day).c_str());
    return text;
}

KabuPlusReport RunKabuPlusDownload(const KabuPlusRequest& request, framework::ProgressSink& sink,
                                   const std::atomic<bool>* cancel) {
    KabuPlusReport report;
    auto finish = [&](std::string text) {
        report.statusText = std::move(text);
        sink.percent(-1);
        sink.status(report.statusText);
        return report;
    };
    if (auto problem = setupProblem(request, report.fatalEnglish); !problem.empty()) {
        report.fatal = problem;
        return finish(problem);
    }
    sink.status(kDownloadStartText);
    HttpsOptions options = request.limits;
    options.user = request.user;
    options.password = request.password;
    options.caFile = request.caFile;
    HttpsFetcher fetcher(options);
    if (!fetcher.ready()) {
        report.fatal = kNoSessionText;
        report.fatalEnglish = "download failed: cannot open an HTTPS session";
        return finish(kNoSessionText);
    }
    if (request.days.empty())
        return finish(kNothingToDownloadText);

    const std::size_t total = request.days.size();
    for (std::size_t i = 0; i < total; ++i) {
        const auto& day = request.days[i];
        DayOutcome outcome{day, false, {}, {}};
        const HttpsReply reply = fetcher.get(kabuPlusUrl(request.baseUrl, day), cancel);
        if (reply.cancelled) { // the day in transfer is dropped; the days before stay
            report.cancelled = true;
            return finish(kDownloadCancelledText);
        }
        if (isAuthenticationStatus(reply.status)) {
            report.authenticationFailed = true;
            sink.logLine("ダウンロード失敗_" + compactDate(day) + ": HTTP " + std::to_string(reply.status));
            return finish(kAuthenticationFailedText);
        }
        if (reply.timedOut) {
            outcome.reason = kabuPlusFileName(day) + ": " + reply.error;
        } else if (auto problem = kabuPlusReplyProblem(reply)) {
            outcome.reason = *problem;
        } else {
            const std::string path = request.downloadDir + "/" + kabuPlusFileName(day);
            std::string error;
            if (framework::WriteZFileAtomic(path, reply.body, -1, &error)) {
                outcome.stored = true;
                outcome.path = path;
            } else {
                outcome.reason = "cannot write the file: " + error;
            }
        }
        if (outcome.stored) {
            ++report.stored;
        } else {
            ++report.failed;
            sink.logLine("ダウンロード失敗_" + compactDate(day) + ": " + outcome.reason);
        }
        report.days.push_back(std::move(outcome));
        sink.percent(static_cast<int>((i + 1) * 100 / total));
        sink.status(downloadProgressText(i + 1, report.stored, report.failed, day));
        if (i + 1 == total)
            break;
        if (!pause(randomPause(request), cancel)) {
            report.cancelled = true;
            return finish(kDownloadCancelledText);
        }
    }
    return finish(downloadProgressText(total, report.stored, report.failed, request.days.back()));
}

} // namespace tavora::acquisition
