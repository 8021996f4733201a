#include "settings/SettingsStore.h"

#include "framework/ColorText.h"
#include "framework/Files.h"
#include "framework/Sql.h"
#include "settings/ScaleBounds.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <map>
#include <type_traits>
#include <variant>

namespace tavora::settings {

using framework::SQLList;
using framework::SQLListElement;
using framework::SQLListRow;
using framework::ZSqlElement;

namespace {

struct ColourField {
    Colour Settings::*field;
};
// A flag stored as "%d": on for any non-zero number.
struct NumberFlag {
    bool Settings::*field;
};
// A flag that is on only when stored exactly as "1".
struct StrictFlag {
    bool Settings::*field;
};
using Field = std::variant<ColourField, NumberFlag, StrictFlag, int Settings::*, std::string Settings::*>;

struct Key {
    const char* name;
    Field field;
};

// Every key read at start-up, in reading order.
const std::vector<Key>& allKeys() {
    using S = Settings;
    static const std::vector<Key> keys{
        {"CreateDataPath", &S::CreateDataPath},
        {"grbuckcr", ColourField{&S::grbuckcr}},
        {"hiduke_sencr", ColourField{&S::hiduke_sencr}},
        {"nedan_sencr", ColourField{&S::nedan_sencr}},
        {"title_cr", ColourField{&S::title_cr}},
        {"yousen_buckcr", ColourField{&S::yousen_buckcr}},
        {"yousen_sencr", ColourField{&S::yousen_sencr}},
        {"insen_buckcr", ColourField{&S::insen_buckcr}},
        {"insen_sencr", ColourField{&S::insen_sencr}},
        {"dekidaka_buckcr", ColourField{&S::dekidaka_buckcr}},
        {"dekidaka_sencr", ColourField{&S::dekidaka_sencr}},
        {"takayasu_cr", ColourField{&S::takayasu_cr}},
        {"rangetimesen_cr", ColourField{&S::rangetimesen_cr}},
        {"rangetimefont_cr", ColourField{&S::rangetimefont_cr}},
        {"rangenedansen_cr", ColourField{&S::rangenedansen_cr}},
        {"rangenedanfont_cr", ColourField{&S::rangenedanfont_cr}},
        {"linesen_cr", ColourField{&S::linesen_cr}},
        {"x_sen_cb", &S::x_sen_cb},
        {"y_sen_cb", &S::y_sen_cb},
        {"jyuji_sencr", ColourField{&S::jyuji_sencr}},
        {"jyuji_fontcr", ColourField{&S::jyuji_fontcr}},
        {"jyuji_sensyu", &S::jyuji_sensyu},
        {"jyuji_font", &S::jyuji_font},
        {"jyuji_fontsize", &S::jyuji_fontsize},
        {"timenehaba_sencr", ColourField{&S::timenehaba_sencr}},
        {"timenehaba_fontcr", ColourField{&S::timenehaba_fontcr}},
        {"timenehaba_sensyu", &S::timenehaba_sensyu},
        {"timenehaba_font", &S::timenehaba_font},
        {"timenehaba_fontsize", &S::timenehaba_fontsize},
        {"takayasu_font", &S::takayasu_font},
        {"takayasu_fontsize", &S::takayasu_fontsize},
        {"rangetime_font", &S::rangetime_font},
        {"rangetime_fontsize", &S::rangetime_fontsize},
        {"rangetime_sensyu", &S::rangetime_sensyu},
        {"rangenedan_font", &S::rangenedan_font},
        {"rangenedan_fontsize", &S::rangenedan_fontsize},
        {"rangenedan_sensyu", &S::rangenedan_sensyu},
        {"rangenedan_yoko", &S::rangenedan_yoko},
        {"linefont_cr", ColourField{&S::linefont_cr}},
        {"line_sensyu", &S::line_sensyu},
        {"text_cr", ColourField{&S::text_cr}},
        {"text_font", &S::text_font},
        {"text_fontsize", &S::text_fontsize},
        {"memo_cr", ColourField{&S::memo_cr}},
        {"memo_font", &S::memo_font},
        {"memo_fontsize", &S::memo_fontsize},
        {"d_x_haba_p", &S::d_x_haba_p},
        {"d_y_ichimemori", &S::d_y_ichimemori},
        {"w_x_haba_p", &S::w_x_haba_p},
        {"w_y_ichimemori", &S::w_y_ichimemori},
        {"m_x_haba_p", &S::m_x_haba_p},
        {"m_y_ichimemori", &S::m_y_ichimemori},
        {"y_x_haba_p", &S::y_x_haba_p},
        {"y_y_ichimemori", &S::y_y_ichimemori},
        {"codeauto_ch", NumberFlag{&S::codeauto_ch}},
        {"buckupcreate_ch", NumberFlag{&S::buckupcreate_ch}},
        {"kabuplusid", &S::kabuplusid},
        {"kabupluspw", &S::kabupluspw},
        {"codelistcsvpath", &S::codelistcsvpath},
        {"sync_moravel_db", StrictFlag{&S::sync_moravel_db}},
        {"use_moravel_day_data", StrictFlag{&S::use_moravel_day_data}},
        {"adpanel_view_type", &S::adpanel_view_type},
        {"site_url", &S::site_url},
        {"refserver_host", &S::refserver_host},
        {"refserver_port", &S::refserver_port},
        {"refserver_cafile", &S::refserver_cafile},
        {"kabuplus_url", &S::kabuplus_url},
        {"kabuplus_cafile", &S::kabuplus_cafile},
        {"kabuplus_file_timeout", &S::kabuplus_file_timeout},
    };
    return keys;
}

const char* const kColourKeys[] = {"grbuckcr",        "hiduke_sencr",   "nedan_sencr",  "title_cr",
                                   "yousen_buckcr",   "yousen_sencr",   "insen_buckcr", "insen_sencr",
                                   "dekidaka_buckcr", "dekidaka_sencr", "x_sen_cb",     "y_sen_cb"};

const char* const kExitKeys[] = {
    "jyuji_sencr",      "jyuji_fontcr",        "jyuji_sensyu",      "jyuji_font",       "jyuji_fontsize",
    "timenehaba_sencr", "timenehaba_fontcr",   "timenehaba_sensyu", "timenehaba_font",  "timenehaba_fontsize",
    "takayasu_cr",      "takayasu_font",       "takayasu_fontsize", "rangetimesen_cr",  "rangetimefont_cr",
    "rangetime_font",   "rangetime_fontsize",  "rangetime_sensyu",  "rangenedansen_cr", "rangenedanfont_cr",
    "rangenedan_font",  "rangenedan_fontsize", "rangenedan_sensyu", "rangenedan_yoko",  "linesen_cr",
    "linefont_cr",      "line_sensyu",         "text_cr",           "text_font",        "text_fontsize",
    "memo_cr",          "memo_font",           "memo_fontsize",     "d_x_haba_p",       "d_y_ichimemori",
    "w_x_haba_p",       "w_y_ichimemori",      "m_x_haba_p",        "m_y_ichimemori",   "y_x_haba_p",
    "y_y_ichimemori",   "buckupcreate_ch"};

const Key& keyNamed(std::string_view name) {
    for (const auto& key : allKeys())
        if (name == key.name)
            return key;
    std::abort(); // the key lists above name only keys of allKeys()
}

void readKey(Settings& s, const Key& key, const std::string& text) {
    std::visit(
        [&](auto field) {
            using F = decltype(field);
            if constexpr (std::is_same_v<F, ColourField>)
                s.*(field.field) = framework::ConvertTCHARtoCR(text);
            else if constexpr (std::is_same_v<F, NumberFlag>)
                s.*(field.field) = std::atoi(text.c_str()) != 0;
            else if constexpr (std::is_same_v<F, StrictFlag>)
                s.*(field.field) = text == "1";
            else if constexpr (std::is_same_v<F, int Settings::*>)
                s.*field = std::atoi(text.c_str());
            else
                s.*field = text;
        },
        key.field);
}

std::string keyText(const Settings& s, const Key& key) {
    return std::visit(
        [&](auto field) -> std::string {
            using F = decltype(field);
            if constexpr (std::is_same_v<F, ColourField>)
                return framework::ConvertCRtoTCHAR(s.*(field.field));
            else if constexpr (std::is_same_v<F, NumberFlag> || std::is_same_v<F, StrictFlag>)
                return s.*(field.field) ? "1" : "0";
            else if constexpr (std::is_same_v<F, int Settings::*>)
                return std::to_string(s.*field);
            else
                return s.*field;
        },
        key.field);
}

// Opens the file, created 0600 when missing: it holds the KABU+ password.
bool openStore(const std::string& path, ZSqlElement& db) {
    if (!framework::isliveFile(path)) {
        int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0)
            ::close(fd);
    }
    if (framework::SQL_Open(db, path) != 0)
        return false;
    framework::SetZFileMode(path, 0600);
    return true;
}

// The last-used pitch and tick sizes go straight into the chart geometry: a stored value
// outside the zoom steps takes the default (the same bounds as the per-code scale).
void keepScaleInBounds(Settings& s) {
    const Settings defaults;
    for (auto field : {&Settings::d_x_haba_p, &Settings::w_x_haba_p, &Settings::m_x_haba_p, &Settings::y_x_haba_p})
        if (!kPitchBounds.contains(s.*field))
            s.*field = defaults.*field;
    for (auto field : {&Settings::d_y_ichimemori, &Settings::w_y_ichimemori, &Settings::m_y_ichimemori,
                       &Settings::y_y_ichimemori})
        if (!kTickBounds.contains(s.*field))
            s.*field = defaults.*field;
}

} // namespace

std::map<std::string, std::string> SettingsStore::readStored() const {
    std::map<std::string, std::string> stored;
    ZSqlElement db;
    if (!openStore(m_path, db))
        return stored;
    SQLList rows;
    rows.columns = {"koumoku", "value"};
    if (framework::SQL_exec(db, kSelectSettingsSql, rows) != 0) {
        framework::SQL_exec(db, kCreateSettingsTableSql);
        return stored;
    }
    for (const auto& r : rows.rows)
        stored[r.value("koumoku")] = r.value("value");
    return stored;
}

Settings SettingsStore::load() const {
    Settings s;
    const std::map<std::string, std::string> stored = readStored();
    for (const auto& key : allKeys()) {
        if (auto it = stored.find(key.name); it != stored.end())
            readKey(s, key, it->second);
        // Without a stored label colour, a label takes its line's colour.
        else if (std::string_view(key.name) == "jyuji_fontcr")
            s.jyuji_fontcr = s.jyuji_sencr;
        else if (std::string_view(key.name) == "linefont_cr")
            s.linefont_cr = s.linesen_cr;
    }
    keepScaleInBounds(s);
    if (s.kabuplus_file_timeout < kMinFileTimeoutSeconds || s.kabuplus_file_timeout > kMaxFileTimeoutSeconds)
        s.kabuplus_file_timeout = kDefaultFileTimeoutSeconds;
    WindowRect r;
    int* parts[] = {&r.left, &r.top, &r.right, &r.bottom};
    bool complete = true;
    for (int i = 0; i < 4; ++i) {
        auto it = stored.find(kWindowRectKeys[i]);
        complete = complete && it != stored.end();
        if (it != stored.end())
            *parts[i] = std::atoi(it->second.c_str());
    }
    if (complete && r.right > r.left && r.bottom > r.top)
        s.windowRect = r;
    return s;
}

bool SettingsStore::write(const KeyValues& rows) const {
    ZSqlElement db;
    if (!openStore(m_path, db))
        return false;
    SQLList probe;
    if (framework::SQL_exec(db, kSelectSettingsSql, probe) != 0)
        framework::SQL_exec(db, kCreateSettingsTableSql);
    SQLList params;
    for (const auto& [key, value] : rows) {
        SQLListRow row;
        row.add(SQLListElement::text("koumoku", key));
        row.add(SQLListElement::text("value", value));
        params.rows.push_back(std::move(row));
    }
    framework::SqlTransaction transaction(db);
    if (!transaction.active() || framework::ExecSqlElm2(db, kReplaceSettingSql, params) != 0)
        return false;
    return transaction.commit() == 0;
}

KeyValues SettingsStore::keyValues(const Settings& settings) {
    KeyValues out;
    for (const auto& key : allKeys())
        out.emplace_back(key.name, keyText(settings, key));
    return out;
}

KeyValues SettingsStore::colourKeyValues(const Settings& settings) {
    KeyValues out;
    for (const char* name : kColourKeys)
        out.emplace_back(name, keyText(settings, keyNamed(name)));
    return out;
}

KeyValues SettingsStore::exitKeyValues(const Settings& settings) {
    KeyValues out;
    for (const char* name : kExitKeys)
        out.emplace_back(name, keyText(settings, keyNamed(name)));
    return out;
}

SaveOutcome SettingsStore::saveColours(const Settings& loaded, const Settings& edited) const {
    const KeyValues rows = colourKeyValues(edited);
    if (rows == colourKeyValues(loaded))
        return SaveOutcome::Unchanged;
    return write(rows) ? SaveOutcome::Saved : SaveOutcome::Failed;
}

bool SettingsStore::saveExit(const Settings& settings) const {
    KeyValues rows;
    if (const auto& r = settings.windowRect) {
        const int parts[] = {r->left, r->top, r->right, r->bottom};
        for (int i = 0; i < 4; ++i)
            rows.emplace_back(kWindowRectKeys[i], std::to_string(parts[i]));
    }
    for (auto& kv : exitKeyValues(settings))
        rows.push_back(std::move(kv));
    return write(rows);
}

std::string SettingsStore::codeListInUse(const Settings& settings, const std::string& downloadedCodeList) {
    std::string path = downloadedCodeList;
    if (!settings.codelistcsvpath.empty())
        path = settings.codelistcsvpath;
    if (settings.codeauto_ch)
        path = downloadedCodeList;
    return path;
}

} // namespace tavora::settings
