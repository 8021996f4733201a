#pragma once
// What the analysis-graph editor edits, without its widgets: the rows of `bunsekitb` as read
// when the editor opened (the loaded copy) and as edited since, the detail form of one row,
// and the rules of "登録" and "削除". Nothing is written until the apply hands rows() and
// loaded() to SaveBunsekiTable. UI thread.
#include "analysis/BunsekiTable.h"
#include "framework/Canvas.h"

#include <optional>
#include <string>
#include <vector>

namespace tavora::analysis {

// Longest graph name, in characters.
inline constexpr std::size_t kGraphNameMaxCharacters = 127;
// Longest window N, in digits.
inline constexpr std::size_t kWindowMaxDigits = 4;

// No kind chosen in the detail panel: registering keeps a row's kind and parameters.
inline constexpr int kNoKind = -1;

// The detail panel's controls as values. `kind` is the chosen kind (KindFormula for "式") or
// kNoKind; each kind keeps its own parameter fields as the panel has one control per kind.
struct BunsekiDetail {
    std::string name;
    bool shown = true; // a new graph is meant to be seen
    framework::ColorRef colour = 0;
    std::string width = "1";  // "1" to "5"
    std::string sensyu = "1"; // "1" solid, "2" dotted, "3" dashed
    std::string formula;
    int kind =
        kNoKind; // 0 式, 1 半値, 2 遅行スパン, 3 先行スパン1, 4 先行スパン2, 5 単純移動平均, 6 指数移動平均
    std::string hanneN;  // 半値: "過去" N "本の半値"
    std::string chikouN; // 遅行スパン: "当日の終値を" N "本後ろに記入"
    std::string smaN;    // 単純移動平均: "過去" N "本の移動平均"
    std::string emaN;    // 指数移動平均: "過去" N "本の指数移動平均"
    std::string span1Param1 = "基準線";
    std::string span1Param2 = "転換線";
    std::string span2Param = "52";
    bool operator==(const BunsekiDetail&) const = default;
};

// The graph names with roles in the Ichimoku computations: their kind and window are not
// the user's to change.
bool isRoleGraphName(std::string_view name);

// The detail of a row: every field starts from its default, then takes the row's cells
// (a width, line type or kind the panel does not offer leaves the default; an empty kind or
// "0" is a formula graph).
BunsekiDetail detailOfRow(const BunsekiRow& row);

// What the formula field says while the user types: whether the formula parses, and where
// and why it stops when it does not. `ok` false means the graph would draw nothing.
struct FormulaStatus {
    bool ok = false;
    std::string text;
};
FormulaStatus formulaStatus(std::string_view formula);
// After "登録": the notice that a formula graph will not be drawn because its formula does not
// parse, or none. Said for a row of kind 0 whose formula was written, or when "式" was chosen.
std::optional<std::string> undrawnFormulaNotice(const BunsekiDetail& detail, const BunsekiRow& registered);

// Why the detail cannot be registered (the message to show), or none. `kindEditable` is false
// for a role graph, whose kind and window are shown but not editable.
std::optional<std::string> registrationProblem(const BunsekiDetail& detail, bool kindEditable);

class BunsekiEditModel {
public:
    // Reads the rows and makes the loaded copy. On failure the model stays empty and
    // unreadable: the caller must not offer to register, delete or apply.
    BunsekiResult load(const std::string& dbPath);
    bool readable() const { return m_readable; }

    const std::vector<BunsekiRow>& rows() const { return m_rows; }
    const std::vector<BunsekiRow>& loaded() const { return m_loaded; }
    bool changed() const { return !BunsekiRowsEqual(m_rows, m_loaded); }

    // The index of the row named exactly `name`, or none.
    std::optional<std::size_t> find(std::string_view name) const;
    // "登録": updates the row of the detail's name, else appends one. Returns its index.
    // The caller has checked registrationProblem().
    std::size_t registerDetail(const BunsekiDetail& detail);
    // The rows of a template appended at the end, each as an ordinary row; a row whose name
    // is already in the table is left as it is there. Returns how many were added.
    std::size_t addRows(const std::vector<BunsekiRow>& rows);
    // "削除": removes the row of the name; false when there is none.
    bool remove(std::string_view name);
    // The shown cell of a row between "1" and "0".
    void toggleShown(std::size_t row);
    // After a save: the rows are what is stored.
    void markSaved() { m_loaded = m_rows; }

private:
    std::vector<BunsekiRow> m_rows;
    std::vector<BunsekiRow> m_loaded;
    bool m_readable = false;
};

} // namespace tavora::analysis
