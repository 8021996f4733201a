#include "acquisition/HttpsFetcher.h"

#include <curl/curl.h>
#include <openssl/ssl.h>

#include <chrono>
#include <mutex>

namespace tavora::acquisition {

namespace {

void initCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

using Clock = std::chrono::steady_clock;

// What the callbacks of one transfer share.
struct Transfer {
    std::string* body;
    std::size_t maxBytes;
    const std::atomic<bool>* cancel;
    Clock::time_point deadline;
    bool tooLarge = false;
    bool timedOut = false;
    bool cancelled = false;
};

std::size_t onBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto* t = static_cast<Transfer*>(user);
    const std::size_t n = size * count;
    if (t->body->size() + n > t->maxBytes) {
        t->tooLarge = true;
        return 0; // makes libcurl stop with a write error
    }
    t->body->append(data, n);
    return n;
}

// Called often while data flows and about once a second while none does: the one place that
// ends a transfer on cancel or at its time bound (a non-zero return aborts it).
int onProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    auto* t = static_cast<Transfer*>(user);
    if (t->cancel && t->cancel->load())
        t->cancelled = true;
    else if (Clock::now() >= t->deadline)
        t->timedOut = true;
    return t->cancelled || t->timedOut ? 1 : 0;
}

std::string timedOutText(long seconds, std::size_t received, curl_off_t announced) {
    std::string text = "not complete within " + std::to_string(seconds) + " s (" + std::to_string(received);
    if (announced > 0)
        text += " of " + std::to_string(announced);
    return text + " bytes received)";
}

// Adds the configured CA file to the trust store libcurl built from the system's.
CURLcode addCaFile(CURL*, void* sslCtx, void* user) {
    const auto* caFile = static_cast<const std::string*>(user);
    if (!caFile->empty() &&
        SSL_CTX_load_verify_locations(static_cast<SSL_CTX*>(sslCtx), caFile->c_str(), nullptr) != 1)
        return CURLE_SSL_CACERT_BADFILE;
    return CURLE_OK;
}

} // namespace

struct HttpsFetcher::Handle {
    CURL* curl = nullptr;
    char error[CURL_ERROR_SIZE] = {};
    ~Handle() {
        if (curl)
            curl_easy_cleanup(curl);
    }
};

HttpsFetcher::HttpsFetcher(HttpsOptions options)
    : m_handle(std::make_unique<Handle>()), m_options(std::move(options)) {
    initCurlOnce();
    CURL* c = curl_easy_init();
    m_handle->curl = c;
    if (!c)
        return;
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, m_handle->error);
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "https");
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(c, CURLOPT_USERAGENT, m_options.userAgent.c_str());
    curl_easy_setopt(c, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC));
    curl_easy_setopt(c, CURLOPT_USERNAME, m_options.user.c_str());
    curl_easy_setopt(c, CURLOPT_PASSWORD, m_options.password.c_str());
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!m_options.caFile.empty()) {
        curl_easy_setopt(c, CURLOPT_SSL_CTX_FUNCTION, &addCaFile);
        curl_easy_setopt(c, CURLOPT_SSL_CTX_DATA, &m_options.caFile);
    }
    curl_easy_setopt(c, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, m_options.connectTimeoutMs);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, m_options.lowSpeedBytesPerSecond);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, m_options.lowSpeedSeconds);
    // The bound itself is kept by onProgress, which can say so; this only backs it up.
    curl_easy_setopt(c, CURLOPT_TIMEOUT, m_options.totalTimeoutSeconds + 5);
    curl_easy_setopt(c, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(m_options.maxBodyBytes));
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &onBody);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, &onProgress);
}

HttpsFetcher::~HttpsFetcher() = default;

bool HttpsFetcher::ready() const {
    return m_handle->curl != nullptr;
}

HttpsReply HttpsFetcher::get(const std::string& url, const std::atomic<bool>* cancel) {
    HttpsReply reply;
    CURL* c = m_handle->curl;
    if (!c) {
        reply.error = "no transfer handle";
        return reply;
    }
    const auto deadline = Clock::now() + std::chrono::seconds(m_options.totalTimeoutSeconds);
    Transfer transfer{&reply.body, m_options.maxBodyBytes, cancel, deadline};
    m_handle->error[0] = '\0';
    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, &transfer);
    const CURLcode rc = curl_easy_perform(c);
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &reply.status);
    reply.tooLarge = transfer.tooLarge || rc == CURLE_FILESIZE_EXCEEDED;
    reply.complete = rc == CURLE_OK;
    reply.cancelled = !reply.complete && transfer.cancelled;
    reply.timedOut = !reply.complete && transfer.timedOut;
    if (!reply.complete) {
        curl_off_t announced = -1;
        curl_easy_getinfo(c, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced);
        if (reply.cancelled)
            reply.error = "cancelled";
        else if (reply.timedOut)
            reply.error = timedOutText(m_options.totalTimeoutSeconds, reply.body.size(), announced);
        else if (reply.tooLarge)
            reply.error = "the reply is larger than " + std::to_string(m_options.maxBodyBytes >> 20) + " MiB";
        else
            reply.error = m_handle->error[0] ? m_handle->error : curl_easy_strerror(rc);
    }
    return reply;
}

} // namespace tavora::acquisition
