#pragma once
// Sets (or unsets) an environment variable for one test and restores the previous value.
#include <cstdlib>
#include <optional>
#include <string>

namespace tavora::test {

class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : ScopedEnv(name) {
        ::setenv(name, value.c_str(), 1);
    }
    ScopedEnv(const char* name, std::nullopt_t) : ScopedEnv(name) { ::unsetenv(name); }
    ~ScopedEnv() {
        if (m_old)
            ::setenv(m_name, m_old->c_str(), 1);
        else
            ::unsetenv(m_name);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    explicit ScopedEnv(const char* name) : m_name(name) {
        if (const char* old = std::getenv(name))
            m_old = old;
    }

    const char* m_name;
    std::optional<std::string> m_old;
};

} // namespace tavora::test
