#pragma once
// The tree of a parsed analysis formula: numbers, the price series of a bar, unary minus,
// the four arithmetic operators and calls of the built-in functions. A formula can only ever
// compute arithmetic on bars: there are no names besides the series and the functions below.
// Plain values; any thread.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace tavora::analysis {

enum class FormulaOp : std::uint8_t {
    Number, // a decimal literal
    Series, // O H L C V
    Negate, // unary minus: one operand
    Add,    // binary operators: two operands
    Subtract,
    Multiply,
    Divide,
    Call, // a built-in function: its value operands and, for windowed ones, a count
};

enum class SeriesField : std::uint8_t { Open, High, Low, Close, Volume };

enum class FormulaFunction : std::uint8_t { MA, EMA, WMA, SUM, HHV, LLV, STD, REF, ABS, MAX, MIN };

// A built-in function: its name, how many value arguments it takes and whether a count (a
// positive integer literal: the window n or the distance k) follows them.
struct FunctionInfo {
    std::string_view name;
    FormulaFunction function;
    int valueArguments;
    bool hasCount;
};

// Every function, in the order of FormulaFunction.
std::span<const FunctionInfo> formulaFunctions();
const FunctionInfo& functionInfo(FormulaFunction f);
// The function of an upper-case name, or none.
std::optional<FormulaFunction> functionNamed(std::string_view name);
// The series of a one-letter upper-case name, or none.
std::optional<SeriesField> seriesNamed(std::string_view name);
char seriesLetter(SeriesField s);

// The largest count a function takes: four digits.
inline constexpr int kMaxFormulaCount = 9999;

struct FormulaNode {
    FormulaOp op = FormulaOp::Number;
    double number = 0.0;                            // Number: never negative (a minus is a Negate)
    SeriesField series = SeriesField::Close;        // Series
    FormulaFunction function = FormulaFunction::MA; // Call
    int count = 0;                                  // Call of a function with a count: 1 .. kMaxFormulaCount
    std::vector<std::unique_ptr<FormulaNode>> operands;

    static std::unique_ptr<FormulaNode> makeNumber(double v);
    static std::unique_ptr<FormulaNode> makeSeries(SeriesField s);
    static std::unique_ptr<FormulaNode> makeUnary(FormulaOp op, std::unique_ptr<FormulaNode> operand);
    static std::unique_ptr<FormulaNode> makeBinary(FormulaOp op, std::unique_ptr<FormulaNode> left,
                                                   std::unique_ptr<FormulaNode> right);
    static std::unique_ptr<FormulaNode> makeCall(FormulaFunction f,
                                                 std::vector<std::unique_ptr<FormulaNode>> args, int count);
};

// A binary operator: its symbol and how tightly it binds (higher binds tighter); all are
// left-associative. The parser, the printer and the tokenizer read this one table, so a new
// operator (a comparison, say) is one row here and its evaluation.
struct BinaryOperator {
    FormulaOp op;
    std::string_view symbol;
    int precedence;
};
std::span<const BinaryOperator> binaryOperators();
// The operator row of a binary op, or nullptr for any other op.
const BinaryOperator* binaryOperator(FormulaOp op);
bool isBinary(FormulaOp op);
// Binding of unary minus and of the atoms (numbers, series, calls): above every binary one.
inline constexpr int kUnaryPrecedence = 100;

// Whether two trees are the same formula (numbers compared exactly).
bool sameFormula(const FormulaNode& a, const FormulaNode& b);

} // namespace tavora::analysis
