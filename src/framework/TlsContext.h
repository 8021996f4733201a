#pragma once
// The TLS client context of the reference-data session: created once at start-up, shared by
// every control and data connection (and the update check's), freed at shutdown. Peers are
// verified against the system trust store plus an optional CA file. Thread-safe once built.
#include <memory>
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

    SSL_CTX* get() const { return m_ctx; }

private:
    explicit TlsContext(SSL_CTX* ctx) : m_ctx(ctx) {}
    SSL_CTX* m_ctx = nullptr;
};

// The text of the oldest OpenSSL error queued on this thread (the queue is cleared).
std::string takeTlsErrorText();

} // namespace tavora::framework
