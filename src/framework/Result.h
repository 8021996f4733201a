#pragma once
// How the core says that something failed. `Result<>` is success or a Failure; `Result<T>` is
// a T or a Failure. A Failure carries the text the window shows (Japanese) and the same in
// English for tavora-cli; the core never decides how the user is told, the caller shows one of
// the two. Plain values: any thread, handed over like any other result.
//
//     Result<> save(...);                       return {};  /  return Failure{"…", "…"};
//     Result<PriceRow> read(...);               return row; /  return Failure{"…", "…"};
//     if (auto r = read(...); !r) status(r.message()); else use(*r);
//     if (!r) return r.failure();               // hands a failure on to a caller of another T
#include <string>
#include <type_traits>
#include <utility>
#include <variant>

namespace tavora::framework {

struct Failure {
    std::string message; // shown in the window (status bar, message box, result text)
    std::string english; // the same in English, one line, for tavora-cli

    // A text that reads the same in both places: SQLite's or the system's own message, a path.
    static Failure untranslated(std::string text) { return {text, std::move(text)}; }
};

template <class T = void> class Result;

namespace detail {
template <class U> inline constexpr bool isResult = false;
template <class T> inline constexpr bool isResult<Result<T>> = true;
// What a Result<T> takes as its value: anything that converts to T, but never a Failure or
// another Result (a T such as std::any could hold either).
template <class U, class T>
concept ResultValue = std::is_convertible_v<U&&, T> && !std::is_same_v<std::remove_cvref_t<U>, Failure> &&
                      !isResult<std::remove_cvref_t<U>>;
} // namespace detail

template <class T> class [[nodiscard]] Result {
public:
    template <detail::ResultValue<T> U = T>
    Result(U&& value) : m_state(std::in_place_index<0>, std::forward<U>(value)) {}
    Result(Failure failure) : m_state(std::in_place_index<1>, std::move(failure)) {}

    bool ok() const { return m_state.index() == 0; }
    explicit operator bool() const { return ok(); }

    // The value; only when ok().
    T& value() & { return std::get<0>(m_state); }
    const T& value() const& { return std::get<0>(m_state); }
    T&& value() && { return std::get<0>(std::move(m_state)); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }

    // The failure; only when !ok().
    const Failure& failure() const { return std::get<1>(m_state); }
    // The two texts of the failure; empty on success.
    const std::string& message() const { return ok() ? empty() : failure().message; }
    const std::string& english() const { return ok() ? empty() : failure().english; }

private:
    static const std::string& empty() {
        static const std::string none;
        return none;
    }
    std::variant<T, Failure> m_state;
};

template <> class [[nodiscard]] Result<void> {
public:
    Result() = default; // success
    Result(Failure failure) : m_failure(std::move(failure)), m_ok(false) {}

    bool ok() const { return m_ok; }
    explicit operator bool() const { return ok(); }

    // The failure; only when !ok().
    const Failure& failure() const { return m_failure; }
    // The two texts of the failure; empty on success.
    const std::string& message() const { return m_failure.message; }
    const std::string& english() const { return m_failure.english; }

private:
    Failure m_failure;
    bool m_ok = true;
};

} // namespace tavora::framework
