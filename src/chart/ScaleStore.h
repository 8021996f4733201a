#pragma once
// The per-code chart scales: table `graphdata_tb` in "graphdata.tvd". At start-up the file is
// copied into an in-memory database that every later read and write uses; at exit the
// in-memory table replaces the file's content. The file is untrusted input: only tables with
// plain names and a single CREATE TABLE statement are copied. UI thread.
#include "chart/CodeScale.h"
#include "framework/Sql.h"

#include <optional>
#include <string>
#include <vector>

namespace tavora::chart {

inline constexpr const char* kScaleFileName = "graphdata.tvd";
inline constexpr const char* kCreateScaleTableSql =
    "CREATE TABLE IF NOT EXISTS 'graphdata_tb' (code TEXT PRIMARY KEY,d_x_haba_p TEXT,d_y_ichimemori TEXT,"
    "w_x_haba_p TEXT,w_y_ichimemori TEXT,m_x_haba_p TEXT,m_y_ichimemori TEXT,y_x_haba_p TEXT,y_y_ichimemori "
    "TEXT,"
    "sonota1 TEXT,sonota2 TEXT,sonota3 TEXT,sonota4 TEXT,sonota5 TEXT,sonota6 TEXT,sonota7 TEXT,sonota8 TEXT,"
    "sonota9 TEXT,sonota10 TEXT,sonota11 TEXT,sonota12 TEXT,sonota13 TEXT,sonota14 TEXT,sonota15 TEXT,"
    "sonota16 TEXT,sonota17 TEXT)";
inline constexpr const char* kUpsertScaleSql =
    "INSERT INTO 'graphdata_tb' (code,d_x_haba_p,d_y_ichimemori,w_x_haba_p,w_y_ichimemori,m_x_haba_p,"
    "m_y_ichimemori,y_x_haba_p,y_y_ichimemori,sonota1,sonota2,sonota3,sonota4) values "
    "(?,?,?,?,?,?,?,?,?,?,?,?,?) on conflict(code) do update set d_x_haba_p = ?,d_y_ichimemori = "
    "?,w_x_haba_p = ?,w_y_ichimemori = ?,m_x_haba_p = ?,m_y_ichimemori = ?,y_x_haba_p = ?,y_y_ichimemori = "
    "?,sonota1 = ?,sonota2 = ?,sonota3 = ?,sonota4 = ?;";
inline constexpr const char* kSelectScaleSql = "select * from graphdata_tb where code = ?";

// The one reader of a stored scale row (the chart opening and the scale store use it): the
// code's row applied over `current`. A pitch or tick column that is missing or NULL keeps the
// current value; a fixed interval that is missing or NULL is 0; a value that is not a number
// or lies outside its bounds (CodeScale.h) takes the default (pitch 3, tick 5, interval 0).
// None when the table has no row for the code or cannot be read.
std::optional<CodeScale> readCodeScale(framework::ZSqlElement& db, const std::string& code,
                                       const CodeScale& current);

// What the copy into memory did.
struct ScaleCopyResult {
    bool fileOpened = false;
    std::vector<std::string> copied;  // tables now in memory
    std::vector<std::string> skipped; // "usertable", crafted names and definitions
};

class ScaleStore {
public:
    // Borrows the in-memory connection (the context's scale connection).
    explicit ScaleStore(framework::ZSqlElement& memory) : m_memory(memory) {}

    // Opens a fresh in-memory database in the connection and copies the file into it; the
    // file and `graphdata_tb` are created when missing. The in-memory table exists afterwards
    // even when the file could not be read.
    ScaleCopyResult loadFile(const std::string& filePath);
    // Replaces the file's `graphdata_tb` rows with the in-memory ones and closes the in-memory
    // database. False when the file does not open or the copy fails (the file keeps its rows).
    bool writeBack(const std::string& filePath);

    // The stored scale of a code (readCodeScale over `current`); the defaults (pitch 3, tick 5,
    // intervals 0) without a row.
    CodeScale load(const std::string& code, const CodeScale& current) const;
    // Stores a code's scale with the upsert (every value bound for the insert and the update).
    bool save(const std::string& code, const CodeScale& scale);

private:
    framework::ZSqlElement& m_memory;
};

} // namespace tavora::chart
