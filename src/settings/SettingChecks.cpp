#include "settings/SettingChecks.h"

#include "framework/Encoding.h"
#include "framework/Files.h"
#include "market/CodeList.h"
#include "settings/Settings.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace tavora::settings {

namespace {

// A refusal in the pages' Japanese and in tavora-cli's English.
struct Refusal {
    std::string ja;
    std::string en;
};
using Checked = std::optional<Refusal>;

std::optional<std::string> japanese(const Checked& bad) {
    return bad ? std::optional(bad->ja) : std::nullopt;
}

bool hasControl(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x20 || u == 0x7F;
    });
}

// Common to every free text: UTF-8, bounded, no control character.
Checked checkText(std::string_view text, const char* what, const char* whatEn) {
    const std::string en(whatEn);
    if (!framework::isValidUtf8(text))
        return Refusal{std::string(what) + "の文字コードが正しくありません。",
                       "the " + en + " is not valid UTF-8"};
    if (text.size() > kMaxSettingTextBytes)
        return Refusal{
            std::string(what) + "が長すぎます（" + std::to_string(kMaxSettingTextBytes) + "バイトまで）。",
            "the " + en + " is too long (at most " + std::to_string(kMaxSettingTextBytes) + " bytes)"};
    if (hasControl(text))
        return Refusal{std::string(what) + "に制御文字は使えません。",
                       "the " + en + " holds a control character"};
    return std::nullopt;
}

Checked checkFlag(std::string_view value) {
    if (value == "0" || value == "1")
        return std::nullopt;
    return Refusal{"0 か 1 を指定してください。", "give 0 or 1"};
}

bool isHostChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.';
}

Checked checkHost(std::string_view host) {
    if (host.empty() || host.size() > 253 || !std::all_of(host.begin(), host.end(), isHostChar) ||
        host.front() == '.' || host.front() == '-')
        return Refusal{"ホスト名が正しくありません。", "not a host name"};
    return std::nullopt;
}

Checked checkPort(std::string_view port) {
    const Refusal refusal{"ポート番号は 1 から 65535 の数で指定してください。",
                          "give the port as a number from 1 to 65535"};
    if (port.empty() || port.size() > 5 ||
        !std::all_of(port.begin(), port.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return refusal;
    const int n = std::stoi(std::string(port));
    if (n < 1 || n > 65535)
        return refusal;
    return std::nullopt;
}

Checked checkAdpanel(std::string_view value) {
    for (const char* known : {kAdpanelNotView, kAdpanelView, kAdpanelLargeView})
        if (value == known)
            return std::nullopt;
    const std::string names =
        "ADPANEL_WIDTH_TYPE_NOT_VIEW, ADPANEL_WIDTH_TYPE_VIEW, ADPANEL_WIDTH_TYPE_LARGE_VIEW";
    return Refusal{names + " のいずれかを指定してください。", "give one of " + names};
}

std::string withoutTrailingSlashes(std::string_view url) {
    std::string s(url);
    while (!s.empty() && s.back() == '/')
        s.pop_back();
    return s;
}

// A whole number of seconds within the file time bound's range.
Checked checkFileTimeout(std::string_view value) {
    const std::string low = std::to_string(kMinFileTimeoutSeconds);
    const std::string high = std::to_string(kMaxFileTimeoutSeconds);
    const Refusal message{"秒数は " + low + " から " + high + " の整数で指定してください。",
                          "give the seconds as a whole number from " + low + " to " + high};
    if (value.empty() || value.size() > 5 ||
        !std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return message;
    const int n = std::stoi(std::string(value));
    if (n < kMinFileTimeoutSeconds || n > kMaxFileTimeoutSeconds)
        return message;
    return std::nullopt;
}

enum class Kind { Flag, Id, Password, Url, Host, Port, File, CodeList, Adpanel, Seconds };

struct KeyRule {
    const char* key;
    Kind kind;
};

constexpr KeyRule kRules[] = {
    {"kabuplusid", Kind::Id},        {"kabupluspw", Kind::Password},
    {"kabuplus_url", Kind::Url},     {"kabuplus_cafile", Kind::File},
    {"codelistcsvpath", Kind::CodeList}, {"codeauto_ch", Kind::Flag},
    {"sync_moravel_db", Kind::Flag}, {"use_moravel_day_data", Kind::Flag},
    {"buckupcreate_ch", Kind::Flag}, {"adpanel_view_type", Kind::Adpanel},
    {"site_url", Kind::Url},         {"refserver_host", Kind::Host},
    {"refserver_port", Kind::Port},  {"refserver_cafile", Kind::File},
    {"kabuplus_file_timeout", Kind::Seconds},
};

const KeyRule* ruleOf(std::string_view key) {
    for (const auto& rule : kRules)
        if (key == rule.key)
            return &rule;
    return nullptr;
}

} // namespace

const std::vector<std::string>& userSettableKeys() {
    static const std::vector<std::string> keys = [] {
        std::vector<std::string> k;
        for (const auto& rule : kRules)
            k.emplace_back(rule.key);
        return k;
    }();
    return keys;
}

bool isUserSettableKey(std::string_view key) {
    return ruleOf(key) != nullptr;
}

bool isSecretKey(std::string_view key) {
    return key == "kabupluspw";
}

namespace {

Checked idRefusal(std::string_view id) {
    if (auto bad = checkText(id, "ユーザーID", "user id"))
        return bad;
    if (id.find(':') != std::string_view::npos)
        return Refusal{"ユーザーIDに「:」は使えません。", "the user id cannot hold \":\""};
    return std::nullopt;
}

Checked urlRefusal(std::string_view url) {
    constexpr std::string_view scheme = "https://";
    if (auto bad = checkText(url, "アドレス", "address"))
        return bad;
    if (url.substr(0, scheme.size()) != scheme)
        return Refusal{"アドレスは https:// で始めてください。", "the address must begin with https://"};
    const std::string_view rest = url.substr(scheme.size());
    const std::string_view authority = rest.substr(0, rest.find('/'));
    if (rest.find_first_of("?#@ \\") != std::string_view::npos)
        return Refusal{"アドレスにユーザー名、?、#、空白は使えません。",
                       "the address cannot hold a user name, ?, # or blanks"};
    const auto colon = authority.rfind(':');
    if (colon != std::string_view::npos) {
        if (auto bad = checkPort(authority.substr(colon + 1)))
            return bad;
        return checkHost(authority.substr(0, colon));
    }
    return checkHost(authority);
}

Checked fileRefusal(std::string_view path) {
    if (path.empty())
        return std::nullopt;
    if (auto bad = checkText(path, "ファイル名", "file name"))
        return bad;
    if (!framework::isliveFile(std::string(path)))
        return Refusal{"ファイルが見つかりません: " + std::string(path),
                       "no such file: " + std::string(path)};
    return std::nullopt;
}

} // namespace

std::optional<std::string> checkKabuPlusId(std::string_view id) {
    return japanese(idRefusal(id));
}

std::optional<std::string> checkKabuPlusPassword(std::string_view password) {
    return japanese(checkText(password, "パスワード", "password"));
}

std::optional<std::string> checkHttpsUrl(std::string_view url) {
    return japanese(urlRefusal(url));
}

std::optional<std::string> checkOptionalFile(std::string_view path) {
    return japanese(fileRefusal(path));
}

SettingCheck checkSetting(std::string_view key, std::string_view value) {
    SettingCheck check;
    const KeyRule* rule = ruleOf(key);
    if (!rule) {
        check.error = "設定できない項目です: " + std::string(key);
        check.errorEnglish = "not a settable key: " + std::string(key);
        return check;
    }
    Checked bad;
    std::string stored(value);
    switch (rule->kind) {
    case Kind::Flag:
        bad = checkFlag(value);
        break;
    case Kind::Id:
        bad = idRefusal(value);
        break;
    case Kind::Password:
        bad = checkText(value, "パスワード", "password");
        break;
    case Kind::Url:
        stored = withoutTrailingSlashes(value);
        bad = urlRefusal(stored);
        break;
    case Kind::Host:
        bad = checkHost(value);
        break;
    case Kind::Port:
        bad = checkPort(value);
        break;
    case Kind::File:
    case Kind::CodeList:
        bad = fileRefusal(value);
        // A list without entries would leave the catalogue empty at the next start.
        if (!bad && !value.empty() && rule->kind == Kind::CodeList)
            if (auto listed = market::CheckCodeListFile(std::string(value)); !listed)
                bad = Refusal{listed.message(), listed.english()};
        if (!bad && !value.empty()) { // the program reads it from wherever it runs
            std::error_code ec;
            const auto absolute = std::filesystem::absolute(std::string(value), ec);
            if (!ec)
                stored = absolute.lexically_normal().string();
        }
        break;
    case Kind::Adpanel:
        bad = checkAdpanel(value);
        break;
    case Kind::Seconds:
        bad = checkFileTimeout(value);
        if (!bad)
            stored = std::to_string(std::stoi(stored)); // "0120" is stored as 120
        break;
    }
    if (bad) {
        check.error = bad->ja;
        check.errorEnglish = bad->en;
        return check;
    }
    check.ok = true;
    check.value = std::move(stored);
    return check;
}

} // namespace tavora::settings
