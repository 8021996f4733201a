#include "analysis/FormulaTree.h"

#include <array>

namespace tavora::analysis {

namespace {

constexpr std::array<FunctionInfo, 11> kFunctions{{
    {"MA", FormulaFunction::MA, 1, true},
    {"EMA", FormulaFunction::EMA, 1, true},
    {"WMA", FormulaFunction::WMA, 1, true},
    {"SUM", FormulaFunction::SUM, 1, true},
    {"HHV", FormulaFunction::HHV, 1, true},
    {"LLV", FormulaFunction::LLV, 1, true},
    {"STD", FormulaFunction::STD, 1, true},
    {"REF", FormulaFunction::REF, 1, true},
    {"ABS", FormulaFunction::ABS, 1, false},
    {"MAX", FormulaFunction::MAX, 2, false},
    {"MIN", FormulaFunction::MIN, 2, false},
}};

constexpr std::array<BinaryOperator, 4> kBinaryOperators{{
    {FormulaOp::Add, "+", 10},
    {FormulaOp::Subtract, "-", 10},
    {FormulaOp::Multiply, "*", 20},
    {FormulaOp::Divide, "/", 20},
}};

constexpr std::array<char, 5> kSeriesLetters{'O', 'H', 'L', 'C', 'V'};

} // namespace

std::span<const FunctionInfo> formulaFunctions() {
    return kFunctions;
}

const FunctionInfo& functionInfo(FormulaFunction f) {
    return kFunctions[static_cast<std::size_t>(f)];
}

std::optional<FormulaFunction> functionNamed(std::string_view name) {
    for (const auto& f : kFunctions)
        if (f.name == name)
            return f.function;
    return std::nullopt;
}

std::optional<SeriesField> seriesNamed(std::string_view name) {
    if (name.size() != 1)
        return std::nullopt;
    for (std::size_t i = 0; i < kSeriesLetters.size(); ++i)
        if (kSeriesLetters[i] == name[0])
            return static_cast<SeriesField>(i);
    return std::nullopt;
}

char seriesLetter(SeriesField s) {
    return kSeriesLetters[static_cast<std::size_t>(s)];
}

std::span<const BinaryOperator> binaryOperators() {
    return kBinaryOperators;
}

const BinaryOperator* binaryOperator(FormulaOp op) {
    for (const auto& b : kBinaryOperators)
        if (b.op == op)
            return &b;
    return nullptr;
}

bool isBinary(FormulaOp op) {
    return binaryOperator(op) != nullptr;
}

std::unique_ptr<FormulaNode> FormulaNode::makeNumber(double v) {
    auto n = std::make_unique<FormulaNode>();
    n->op = FormulaOp::Number;
    n->number = v;
    return n;
}

std::unique_ptr<FormulaNode> FormulaNode::makeSeries(SeriesField s) {
    auto n = std::make_unique<FormulaNode>();
    n->op = FormulaOp::Series;
    n->series = s;
    return n;
}

std::unique_ptr<FormulaNode> FormulaNode::makeUnary(FormulaOp op, std::unique_ptr<FormulaNode> operand) {
    auto n = std::make_unique<FormulaNode>();
    n->op = op;
    n->operands.push_back(std::move(operand));
    return n;
}

std::unique_ptr<FormulaNode> FormulaNode::makeBinary(FormulaOp op, std::unique_ptr<FormulaNode> left,
                                                     std::unique_ptr<FormulaNode> right) {
    auto n = std::make_unique<FormulaNode>();
    n->op = op;
    n->operands.push_back(std::move(left));
    n->operands.push_back(std::move(right));
    return n;
}

std::unique_ptr<FormulaNode>
FormulaNode::makeCall(FormulaFunction f, std::vector<std::unique_ptr<FormulaNode>> args, int count) {
    auto n = std::make_unique<FormulaNode>();
    n->op = FormulaOp::Call;
    n->function = f;
    n->count = count;
    n->operands = std::move(args);
    return n;
}

bool sameFormula(const FormulaNode& a, const FormulaNode& b) {
    if (a.op != b.op || a.operands.size() != b.operands.size())
        return false;
    switch (a.op) {
    case FormulaOp::Number:
        if (a.number != b.number)
            return false;
        break;
    case FormulaOp::Series:
        if (a.series != b.series)
            return false;
        break;
    case FormulaOp::Call:
        if (a.function != b.function || a.count != b.count)
            return false;
        break;
    default:
        break;
    }
    for (std::size_t i = 0; i < a.operands.size(); ++i)
        if (!sameFormula(*a.operands[i], *b.operands[i]))
            return false;
    return true;
}

} // namespace tavora::analysis
