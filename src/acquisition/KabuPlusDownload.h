#pragma once
// The KABU+ daily download: fetches the all-stock price file of each chosen trading day over
// HTTPS with the user's account and keeps it, unchanged, in a download folder, from which the
// price CSV registration takes it.
//
// A day counts as stored only when the server answered 200, the transfer completed, and the
// body is not empty and not an HTML page; the file is written under a temporary name and
// renamed. 401 or 403 stops the run (the account is wrong); any other failure is counted and
// the run goes on with the next day. Each day's transfer is bounded in time as a whole
// (HttpsOptions::totalTimeoutSeconds, the setting kabuplus_file_timeout): a day that takes
// longer fails with a reason naming its file and the bound. Between requests the run pauses 1
// to 4 seconds at random; the cancel flag ends the pause or the transfer in progress at once
// (that day is not stored, the days before it stay) and ends the run. The account never
// reaches a status or log text.
//
// RunKabuPlusDownload runs on a worker thread (the desktop's download worker) or on the
// caller's thread (tavora-cli); the caller holds a PriceJob::Download ticket. The request is
// built from the application context by app/core/AcquisitionPlaces.h.
#include "acquisition/HttpsFetcher.h"
#include "acquisition/KabuPlusDays.h"
#include "framework/Progress.h"

#include <atomic>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavora::acquisition {

// Status texts.
inline constexpr const char* kNoCredentialsText = "kabu+のid,パスワードが設定されていません。";
inline constexpr const char* kDownloadStartText = "ダウンロード開始";
inline constexpr const char* kNothingToDownloadText = "ダウンロードするデータがありません。";
inline constexpr const char* kNoSessionText = "ダウンロード失敗　インターネットを開けませんでした。";
inline constexpr const char* kAuthenticationFailedText =
    "KABU+の認証に失敗しました。ユーザーIDとパスワードを確認してください。ダウンロードを中止します。";
inline constexpr const char* kDownloadCancelledText = "ダウンロードを中止しました。";

struct KabuPlusRequest {
    std::string baseUrl;                  // the setting kabuplus_url
    std::string caFile;                   // the setting kabuplus_cafile
    std::string user;                     // kabuplusid
    std::string password;                 // kabupluspw
    std::string downloadDir;              // where the day files are kept (created when missing)
    std::vector<framework::YmdDate> days; // oldest first
    int pauseMinMs = 1000;
    int pauseMaxMs = 4000;
    HttpsOptions limits; // size and time bounds (user, password and CA file are set from above)
};

struct DayOutcome {
    framework::YmdDate day;
    bool stored = false;
    std::string path;   // the stored file
    std::string reason; // why it was not stored
};

struct KabuPlusReport {
    std::vector<DayOutcome> days; // the days handled, in order
    std::size_t stored = 0;
    std::size_t failed = 0;
    bool authenticationFailed = false;
    bool cancelled = false;
    std::string fatal;      // why the run could not start (credentials, CA file, no handle)
    std::string fatalEnglish; // the same in English, for tavora-cli
    std::string statusText; // the last text shown

    std::vector<std::string> storedPaths() const;
    // Everything asked for was fetched (or there was nothing to fetch).
    bool ok() const { return fatal.empty() && !authenticationFailed && !cancelled && failed == 0; }
};

// Why a reply is not a day file to keep; none when it is.
std::optional<std::string> kabuPlusReplyProblem(const HttpsReply& reply);
// True when the body holds "<html" or "<!doctype html" in any case: an error page.
bool looksLikeHtml(std::string_view body);
// "%d 件中 成功 %d件　失敗 %d件 %s": days handled, stored, failed, the day's "YYYYMMDD".
std::string downloadProgressText(std::size_t handled, std::size_t stored, std::size_t failed,
                                 const framework::YmdDate& day);

KabuPlusReport RunKabuPlusDownload(const KabuPlusRequest& request, framework::ProgressSink& sink,
                                   const std::atomic<bool>* cancel = nullptr);

} // namespace tavora::acquisition
