#include "analysis/BunsekiEditModel.h"

#include "analysis/FormulaParser.h"
#include "framework/ColorText.h"

#include <algorithm>
#include <array>

namespace tavora::analysis {

namespace {

enum Cell : std::size_t { Name, Shown, Colour, Width, Sensyu, Formula, Kind, Param1, Param2 };

bool isDigits(const std::string& text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool isFormulaKind(const std::string& kind) {
    return kind.empty() || kind == "0";
}

bool validWindow(const std::string& text, int minimum) {
    return isDigits(text) && text.size() <= kWindowMaxDigits && std::stoi(text) >= minimum;
}

// The cells the detail gives a row; `row` keeps what the detail leaves alone.
void writeDetail(const BunsekiDetail& d, BunsekiRow& row) {
    row[Name] = d.name;
    row[Shown] = d.shown ? "1" : "0";
    row[Colour] = framework::ConvertCRtoTCHAR(d.colour);
    row[Width] = d.width;
    row[Sensyu] = d.sensyu;
    row[Formula] = d.formula;
    switch (d.kind) {
    case KindHanne:
        row[Param1] = d.hanneN;
        break;
    case KindChikouSpan:
        row[Param1] = d.chikouN;
        break;
    case KindSenkouSpan1:
        row[Param1] = d.span1Param1;
        row[Param2] = d.span1Param2;
        break;
    case KindSenkouSpan2:
        row[Param1] = d.span2Param;
        break;
    case KindMovingAverage:
        row[Param1] = d.smaN;
        break;
    case KindExponentialAverage:
        row[Param1] = d.emaN;
        break;
    case KindFormula:
        // "" and "0" both mean a formula graph: a row that is one keeps its text.
        if (!isFormulaKind(row[Kind])) {
            row[Kind] = "0";
            row[Param1].clear();
            row[Param2].clear();
        }
        return;
    default:
        return; // no kind chosen: kind and parameters stay
    }
    row[Kind] = std::to_string(d.kind);
}

} // namespace

bool isRoleGraphName(std::string_view name) {
    static constexpr std::array<std::string_view, 5> roles{"転換線", "基準線", "遅行スパン", "先行スパン1",
                                                           "先行スパン2"};
    return std::find(roles.begin(), roles.end(), name) != roles.end();
}

BunsekiDetail detailOfRow(const BunsekiRow& row) {
    BunsekiDetail d; // every control back to its default first
    d.name = row[Name];
    d.shown = row[Shown] == "1";
    d.colour = framework::ConvertTCHARtoCR(row[Colour]);
    if (const std::string& w = row[Width]; w.size() == 1 && w[0] >= '1' && w[0] <= '5')
        d.width = w;
    if (const std::string& s = row[Sensyu]; s == "1" || s == "2" || s == "3")
        d.sensyu = s;
    d.formula = row[Formula];
    const std::string& kind = row[Kind];
    if (isFormulaKind(kind))
        d.kind = KindFormula;
    else if (kind.size() == 1 && kind[0] >= '1' && kind[0] <= '6')
        d.kind = kind[0] - '0';
    switch (d.kind) {
    case KindHanne:
        d.hanneN = row[Param1];
        break;
    case KindChikouSpan:
        d.chikouN = row[Param1];
        break;
    case KindSenkouSpan1:
        d.span1Param1 = row[Param1];
        d.span1Param2 = row[Param2];
        break;
    case KindSenkouSpan2:
        d.span2Param = row[Param1];
        break;
    case KindMovingAverage:
        d.smaN = row[Param1];
        break;
    case KindExponentialAverage:
        d.emaN = row[Param1];
        break;
    default:
        break;
    }
    return d;
}

FormulaStatus formulaStatus(std::string_view formula) {
    const FormulaParse parsed = ParseFormula(formula);
    if (parsed.ok())
        return {true, "式を解釈できます。"};
    return {false, "式を解釈できません（" + formulaErrorText(parsed.error) + "）"};
}

std::optional<std::string> undrawnFormulaNotice(const BunsekiDetail& detail, const BunsekiRow& registered) {
    if (!isFormulaKind(registered[Kind]))
        return std::nullopt;
    if (registered[Formula].empty() && detail.kind != KindFormula)
        return std::nullopt; // a graph that never had a formula, registered as before
    const FormulaParse parsed = ParseFormula(registered[Formula]);
    if (parsed.ok())
        return std::nullopt;
    return "登録しましたが、式を解釈できないため、このグラフは描画されません。\n" +
           formulaErrorText(parsed.error);
}

std::optional<std::string> registrationProblem(const BunsekiDetail& d, bool kindEditable) {
    if (d.name.empty())
        return "グラフ名が入力されていません。";
    if (!kindEditable)
        return std::nullopt;
    // A half value over no bars never draws, and a long window overflows the computation.
    if (d.kind == KindHanne && !validWindow(d.hanneN, 1))
        return "半値の本数は1から9999までの数字で入力してください。";
    if (d.kind == KindChikouSpan && !validWindow(d.chikouN, 0))
        return "遅行スパンの本数は0から9999までの数字で入力してください。";
    if (d.kind == KindMovingAverage && !validWindow(d.smaN, 1))
        return "単純移動平均の本数は1から9999までの数字で入力してください。";
    if (d.kind == KindExponentialAverage && !validWindow(d.emaN, 1))
        return "指数移動平均の本数は1から9999までの数字で入力してください。";
    return std::nullopt;
}

BunsekiResult BunsekiEditModel::load(const std::string& dbPath) {
    m_rows.clear();
    m_loaded.clear();
    BunsekiResult read = ReadBunsekiRows(dbPath, m_rows);
    m_readable = read.ok;
    if (!read.ok)
        m_rows.clear();
    m_loaded = m_rows;
    return read;
}

std::optional<std::size_t> BunsekiEditModel::find(std::string_view name) const {
    for (std::size_t i = 0; i < m_rows.size(); ++i)
        if (m_rows[i][Name] == name)
            return i;
    return std::nullopt;
}

std::size_t BunsekiEditModel::registerDetail(const BunsekiDetail& detail) {
    if (const auto at = find(detail.name)) {
        writeDetail(detail, m_rows[*at]);
        return *at;
    }
    BunsekiRow row; // kind and parameters without a value stay empty
    writeDetail(detail, row);
    m_rows.push_back(std::move(row));
    return m_rows.size() - 1;
}

std::size_t BunsekiEditModel::addRows(const std::vector<BunsekiRow>& rows) {
    std::size_t added = 0;
    for (const BunsekiRow& row : rows) {
        if (find(row[Name]))
            continue;
        m_rows.push_back(row);
        ++added;
    }
    return added;
}

bool BunsekiEditModel::remove(std::string_view name) {
    const auto at = find(name);
    if (!at)
        return false;
    m_rows.erase(m_rows.begin() + std::ptrdiff_t(*at));
    return true;
}

void BunsekiEditModel::toggleShown(std::size_t row) {
    if (row < m_rows.size())
        m_rows[row][Shown] = m_rows[row][Shown] == "1" ? "0" : "1";
}

} // namespace tavora::analysis
