#pragma once
// HTTPS GET of whole files into memory with libcurl, one handle reused for every request of a
// run (so the TLS session and connection are kept). HTTP Basic credentials are handed to
// libcurl (never a hand-built header); the peer is verified against the system trust store
// plus an optional CA file; every reply is bounded in size and in time. Owned and used by one
// thread.
#include <atomic>
#include <cstddef>
#include <memory>
#include <string>

namespace tavora::acquisition {

struct HttpsOptions {
    std::string user;
    std::string password;
    std::string caFile; // trusted besides the system store; empty for none
    std::string userAgent = "Tavora";
    std::size_t maxBodyBytes = std::size_t{64} << 20;
    long connectTimeoutMs = 15000;
    long lowSpeedBytesPerSecond = 1024; // a transfer slower than this ...
    long lowSpeedSeconds = 30;          // ... for this long is given up
    // One request from connecting to the last byte: a server that drips just fast enough to
    // pass the low-speed check still ends here (the setting kabuplus_file_timeout).
    long totalTimeoutSeconds = 120;
};

struct HttpsReply {
    long status = 0;       // the HTTP status, 0 when none arrived
    bool complete = false; // the transfer ended normally (whole body, as announced)
    std::string body;
    std::string error;     // the transfer error, empty when complete
    bool tooLarge = false; // the body passed maxBodyBytes and was abandoned
    bool timedOut = false; // totalTimeoutSeconds passed and the transfer was abandoned
    bool cancelled = false; // the cancel flag was raised and the transfer was abandoned
};

class HttpsFetcher {
public:
    explicit HttpsFetcher(HttpsOptions options);
    ~HttpsFetcher();
    HttpsFetcher(const HttpsFetcher&) = delete;
    HttpsFetcher& operator=(const HttpsFetcher&) = delete;

    // False when libcurl could not make a handle.
    bool ready() const;
    // GETs the URL (https only, no redirects followed). `cancel`, when raised during the
    // transfer, abandons it within about a second (libcurl looks at least once a second,
    // also while the server sends nothing).
    HttpsReply get(const std::string& url, const std::atomic<bool>* cancel = nullptr);

private:
    struct Handle;
    std::unique_ptr<Handle> m_handle;
    HttpsOptions m_options;
};

} // namespace tavora::acquisition
