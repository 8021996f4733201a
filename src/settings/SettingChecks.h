#pragma once
// The checks a value passes before a settings page (or tavora-cli config) stores it under its
// key, and the text stored when it does. Pure functions; any thread.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavora::settings {

// Credentials and other texts are at most this many bytes (the settings' text buffers).
inline constexpr std::size_t kMaxSettingTextBytes = 259;

struct SettingCheck {
    bool ok = false;
    std::string value; // the text to store (normalised: a URL without its trailing "/")
    std::string error; // why the value is refused (Japanese, shown to the user)
    std::string errorEnglish; // the same in English, for tavora-cli
};

// The keys a user may set from outside the chart (the settings pages' keys, the backup check
// box and the server addresses), in a stable order.
const std::vector<std::string>& userSettableKeys();
bool isUserSettableKey(std::string_view key);
// True for keys whose value must never be shown or taken from a command line.
bool isSecretKey(std::string_view key);

// Checks `value` for `key`. An unknown key is refused.
SettingCheck checkSetting(std::string_view key, std::string_view value);

// The individual checks, for pages that check as the user types. Each returns the error text,
// none when the value is fine.
// KABU+ user id: UTF-8, at most 259 bytes, no control character and no ":" (the id and
// password travel as "id:password" in HTTP Basic authentication).
std::optional<std::string> checkKabuPlusId(std::string_view id);
// KABU+ password: UTF-8, at most 259 bytes, no control character.
std::optional<std::string> checkKabuPlusPassword(std::string_view password);
// A service address: "https://host[:port][/path]" without user, query or fragment.
std::optional<std::string> checkHttpsUrl(std::string_view url);
// An optional file that must exist when given (a CA file, the user's code list).
std::optional<std::string> checkOptionalFile(std::string_view path);

} // namespace tavora::settings
