#pragma once
// The TLS client context of the reference-data session: created once at start-up, shared by
// every control and data connection (and the update check's), freed at shutdown. Peers are
// verified against the system trust store plus an optional CA file. The system store (a parse
// of the whole CA bundle) is loaded by the first get(), on the thread that first connects, so
// a start-up that never reaches a server never pays for it. Thread-safe.
#include <memory>
#include <mutex>
#include <string>

typedef struct ssl_ctx_st SSL_CTX;

namespace tavora::framework {

class TlsContext {
public:
    // A new client context. caFile, when not empty, is trusted besides the system store;
    // when it cannot be read, warning says so and only the system store is used.
    // Null (with warning holding the reason) only when OpenSSL cannot build a context.
    static std::shared_ptr<TlsContext> create(const std::string& caFile, std::string& warning);

    ~TlsContext();
    TlsContext(const TlsContext&) = delete;
    TlsContext& operator=(const TlsContext&) = delete;

    // The context for a handshake, with the system trust store loaded (the first call loads
    // it; a concurrent call waits for that).
    SSL_CTX* get() const;
    // Why the system trust store could not be loaded; empty when it was, or when no get() has
    // loaded it yet (never waits).
    std::string trustStoreProblem() const;

private:
    explicit TlsContext(SSL_CTX* ctx) : m_ctx(ctx) {}
    SSL_CTX* m_ctx = nullptr;
    mutable std::once_flag m_trustStoreLoaded;
    mutable std::mutex m_problemMutex;
    mutable std::string m_trustStoreProblem;
};

// The text of the oldest OpenSSL error queued on this thread (the queue is cleared).
std::string takeTlsErrorText();

} // namespace tavora::framework
