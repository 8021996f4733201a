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

// The detail panel's controls as values. `kind` 0 means no kind chosen; each kind keeps its
// own parameter fields as the panel has one control per kind.
struct BunsekiDetail {
    std::string name;
    bool shown = true; // a new graph is meant to be seen
    framework::ColorRef colour = 0;
    std::string width = "1";  // "1" to "5"
    std::string sensyu = "1"; // "1" solid, "2" dotted, "3" dashed
    std::string formula;
    int kind = 0;        // 1 半値, 2 遅行スパン, 3 先行スパン1, 4 先行スパン2
    std::string hanneN;  // 半値: "過去" N "本の半値"
    std::string chikouN; // 遅行スパン: "当日の終値を" N "本後ろに記入"
    std::string span1Param1 = "基準線";
    std::string span1Param2 = "転換線";
    std::string span2Param = "52";
    bool operator==(const BunsekiDetail&) const = default;
};

// The graph names with roles in the Ichimoku computations: their kind and window are not
// the user's to change.
bool isRoleGraphName(std::string_view name);

// The detail of a row: every field starts from its default, then takes the row's cells
// (a width, line type or kind the panel does not offer leaves the default).
BunsekiDetail detailOfRow(const BunsekiRow& row);

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
