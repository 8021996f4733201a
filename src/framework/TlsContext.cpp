#include "framework/TlsContext.h"

#include <openssl/err.h>
#include <openssl/ssl.h>

#include <csignal>

namespace tavora::framework {

std::string takeTlsErrorText() {
    unsigned long code = ERR_get_error();
    ERR_clear_error();
    if (code == 0)
        return "no TLS error text";
    char buf[256];
    ERR_error_string_n(code, buf, sizeof buf);
    return buf;
}

std::shared_ptr<TlsContext> TlsContext::create(const std::string& caFile, std::string& warning) {
    // OpenSSL writes to sockets with plain send(): a peer that has gone away must give an
    // error, not end the program with SIGPIPE.
    std::signal(SIGPIPE, SIG_IGN);
    OPENSSL_init_ssl(0, nullptr);

    SSL_CTX* ctx = SSL_CTX_new(TLS_client_method());
    if (!ctx) {
        warning = "TLS context: " + takeTlsErrorText();
        return nullptr;
    }
    std::shared_ptr<TlsContext> result(new TlsContext(ctx));
    SSL_CTX_set_options(ctx, SSL_OP_ALL);
    SSL_CTX_set_min_proto_version(ctx, TLS1_2_VERSION);
    SSL_CTX_set_verify(ctx, SSL_VERIFY_PEER, nullptr);
    if (!caFile.empty() && SSL_CTX_load_verify_locations(ctx, caFile.c_str(), nullptr) != 1)
        warning = "CA file " + caFile + " not loaded: " + takeTlsErrorText();
    return result;
}

SSL_CTX* TlsContext::get() const {
    std::call_once(m_trustStoreLoaded, [this] {
        if (SSL_CTX_set_default_verify_paths(m_ctx) != 1) {
            std::lock_guard lock(m_problemMutex);
            m_trustStoreProblem = "system trust store: " + takeTlsErrorText();
        }
    });
    return m_ctx;
}

std::string TlsContext::trustStoreProblem() const {
    std::lock_guard lock(m_problemMutex);
    return m_trustStoreProblem;
}

TlsContext::~TlsContext() {
    SSL_CTX_free(m_ctx);
}

} // namespace tavora::framework
