#pragma once
// The settings database "settei.db": table `koumokutb` of key and value texts. Reads every
// key of Settings at start-up and writes the colour keys, the exit keys or single keys back.
// Every call opens its own connection and closes it; a database that does not open leaves the
// defaults and skips a save silently. UI thread (or any one thread at a time).
#include "settings/Settings.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace tavora::settings {

inline constexpr const char* kSettingsFileName = "settei.db";
inline constexpr const char* kCreateSettingsTableSql =
    "CREATE TABLE 'koumokutb' (koumoku TEXT primary key,value TEXT,sonota1 TEXT);";
inline constexpr const char* kSelectSettingsSql = "select * from koumokutb;";
inline constexpr const char* kReplaceSettingSql = "REPLACE INTO 'koumokutb' (koumoku,value) values (?,?)";

// Keys of our own for the main window's rectangle.
inline constexpr const char* kWindowRectKeys[4] = {"apri_rect_left", "apri_rect_top", "apri_rect_right",
                                                   "apri_rect_bottom"};

using KeyValues = std::vector<std::pair<std::string, std::string>>;

// What a save that first compares did.
enum class SaveOutcome {
    Unchanged, // nothing differed: nothing written
    Saved,     // every row written
    Failed,    // the database did not open or a row failed: nothing of the save kept
};

class SettingsStore {
public:
    explicit SettingsStore(std::string path) : m_path(std::move(path)) {}

    // Every key in its order over the defaults; creates `koumokutb` when it cannot be read.
    Settings load() const;
    // Every stored key with its text; empty when the database does not open (the table is
    // created when it cannot be read). For keys that Settings does not hold (the CSV mapping).
    std::map<std::string, std::string> readStored() const;
    // Writes the rows with the REPLACE statement, one execution per row, in one transaction.
    // False when the database does not open or a row fails (nothing of the call is kept).
    bool write(const KeyValues& rows) const;

    // The colour save: when the ten chart colours and two grid styles of `edited` differ from
    // `loaded`, writes those twelve keys in their order; else writes nothing.
    SaveOutcome saveColours(const Settings& loaded, const Settings& edited) const;
    // The exit save: the window rectangle (when known) and the exit keys in their order.
    bool saveExit(const Settings& settings) const;

    // Every key read at start-up with its text as it would be stored, in reading order.
    static KeyValues keyValues(const Settings& settings);
    // The keys and texts of the colour save and of the exit save, in their orders.
    static KeyValues colourKeyValues(const Settings& settings);
    static KeyValues exitKeyValues(const Settings& settings);

    // The code-list file in use: the user's own list when one is set, then the downloaded
    // list when the automatic refresh is on.
    static std::string codeListInUse(const Settings& settings, const std::string& downloadedCodeList);

    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

} // namespace tavora::settings
