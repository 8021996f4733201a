// tavora-cli info: starts the core as the program does (without windows and network), then
// prints the application root, every database file with the row count of each table and the
// statements that created the table and its indexes, and the settings in effect (the KABU+
// password masked).
#include "cli/CliCommand.h"
#include "cli/CliSession.h"
#include "framework/Files.h"
#include "framework/ShownText.h"
#include "framework/Sql.h"
#include "settings/SettingsStore.h"

#include <iostream>
#include <string>
#include <vector>

namespace tavora::cli {

namespace {

const char* const kName = "info";

std::string relativeName(const std::string& root, const std::string& path) {
    return path.rfind(root + "/", 0) == 0 ? path.substr(root.size() + 1) : path;
}

// The stored CREATE statements of a table and then of its indexes (SQLite's own automatic
// indexes have none).
void printSchema(framework::ZSqlElement& db, const std::string& table) {
    framework::SQLList objects;
    objects.columns = {"sql"};
    framework::SQLListRow params;
    params.add(framework::SQLListElement::text("table", table));
    if (framework::SQL_exec(db,
                            "SELECT sql FROM sqlite_master WHERE tbl_name = ? AND sql IS NOT NULL "
                            "ORDER BY type = 'index', name;",
                            objects, params) != 0)
        return;
    for (const auto& row : objects.rows)
        std::cout << "      " << framework::shownLine(row.value("sql")) << "\n";
}

// "  table: N rows" for every table of an existing file; a missing file is said to be absent
// and is not created.
void printDatabase(const std::string& root, const std::string& path) {
    std::cout << "  " << relativeName(root, path);
    if (!framework::isliveFile(path)) {
        std::cout << " (absent)\n";
        return;
    }
    std::cout << "\n";
    framework::ZSqlElement db;
    framework::SQLList tables;
    tables.columns = {"name"};
    if (framework::SQL_Open(db, path) != 0 ||
        framework::SQL_exec(db, "SELECT name FROM sqlite_master WHERE type='table' ORDER BY name;", tables) !=
            0) {
        std::cout << "    cannot be read: " << db.lastError() << "\n";
        return;
    }
    for (const auto& row : tables.rows) {
        const std::string name = row.value("name");
        framework::SQLList count;
        if (framework::SQL_exec(db, "SELECT count(*) AS n FROM " + framework::quoteIdentifier(name) + ";",
                                count) == 0 &&
            !count.empty())
            std::cout << "    " << framework::shownText(name) << ": " << count.rows[0].value("n")
                      << " rows\n";
        else
            std::cout << "    " << framework::shownText(name) << ": cannot be counted: " << db.lastError()
                      << "\n";
        printSchema(db, name);
    }
}

int run(const std::vector<std::string>& args) {
    if (!args.empty())
        return usageError(kName, "unknown argument '" + args[0] + "'");
    framework::NullProgress quiet;
    CliSession session(quiet);
    if (!session.start())
        return fail(session.error());
    auto& ctx = session.context();
    const auto& p = ctx.paths;
    std::cout << "application root: " << framework::shownText(p.root) << "\n";
    std::cout << "version: " << ctx.versionText << "\n";
    std::cout << "databases:\n";
    for (const auto& path :
         {p.priceDbFile, p.setteiDb, p.graphdataFile, p.bunsekiDb, p.fileOpenHisDb, p.logDbFile})
        printDatabase(p.root, path);
    std::cout << "settings:\n";
    for (const auto& [key, value] : settings::SettingsStore::keyValues(ctx.settings)) {
        const bool masked = key == "kabupluspw" && !value.empty();
        std::cout << "  " << key << " = " << (masked ? "********" : framework::shownText(value)) << "\n";
    }
    std::cout << "code list in use: " << framework::shownText(p.codeListInUse) << "\n";
    return ExitOk;
}

const CliRegistration reg{
    {kName, "", "start the core and show the data folder, its databases and the settings", &run}};

} // namespace

} // namespace tavora::cli
