#include "analysis/FormulaParser.h"

#include "analysis/FormulaLexer.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

namespace tavora::analysis {

namespace {

using NodePtr = std::unique_ptr<FormulaNode>;

// A parsed piece and the height of its tree.
struct Piece {
    NodePtr node;
    int height = 0;
};

// Thrown inside the parser only, caught by ParseFormula: the first error ends the parse.
struct Stop {
    FormulaError error;
};

class Parser {
public:
    explicit Parser(std::vector<FormulaToken> tokens) : m_tokens(std::move(tokens)) {}

    NodePtr parseAll() {
        if (peek().kind == FormulaTokenKind::End)
            fail(FormulaErrorCode::Empty);
        Piece p = parseLevel(0);
        if (peek().kind != FormulaTokenKind::End)
            fail(peek().kind == FormulaTokenKind::CloseParen
                     ? FormulaErrorCode::ExpectedOperator
                     : errorForUnexpected(FormulaErrorCode::ExpectedOperator));
        return std::move(p.node);
    }

private:
    const FormulaToken& peek() const { return m_tokens[m_at]; }
    const FormulaToken& take() { return m_tokens[std::min(m_at++, m_tokens.size() - 1)]; }

    [[noreturn]] void fail(FormulaErrorCode code, std::string subject = {}) const {
        const FormulaToken& t = peek();
        throw Stop{{code, t.position, t.kind == FormulaTokenKind::End, std::move(subject)}};
    }
    // A token the tokenizer already found wrong speaks for itself.
    FormulaErrorCode errorForUnexpected(FormulaErrorCode otherwise) const {
        switch (peek().kind) {
        case FormulaTokenKind::Invalid:
            fail(FormulaErrorCode::BadCharacter, peek().text);
        case FormulaTokenKind::BadNumber:
            fail(FormulaErrorCode::BadNumber, peek().text);
        default:
            return otherwise;
        }
    }

    // Counts nesting while a parenthesis, call or minus sign is being parsed.
    struct Nest {
        Parser& p;
        explicit Nest(Parser& parser) : p(parser) {
            if (++p.m_nesting > kMaxFormulaNesting)
                p.fail(FormulaErrorCode::TooDeep);
        }
        ~Nest() { --p.m_nesting; }
        Nest(const Nest&) = delete;
        Nest& operator=(const Nest&) = delete;
    };

    Piece checked(NodePtr node, int height) {
        if (height > kMaxFormulaHeight)
            fail(FormulaErrorCode::TooDeep);
        return {std::move(node), height};
    }

    // The distinct precedences of the operator table, lowest first.
    static const std::vector<int>& levels() {
        static const std::vector<int> table = [] {
            std::vector<int> v;
            for (const auto& op : binaryOperators())
                v.push_back(op.precedence);
            std::sort(v.begin(), v.end());
            v.erase(std::unique(v.begin(), v.end()), v.end());
            return v;
        }();
        return table;
    }

    const BinaryOperator* operatorAt(int precedence) const {
        if (peek().kind != FormulaTokenKind::Operator)
            return nullptr;
        for (const auto& op : binaryOperators())
            if (op.symbol == peek().text && op.precedence == precedence)
                return &op;
        return nullptr;
    }

    Piece parseLevel(std::size_t level) {
        if (level >= levels().size())
            return parseUnary();
        Piece left = parseLevel(level + 1);
        while (const BinaryOperator* op = operatorAt(levels()[level])) {
            take();
            Piece right = parseLevel(level + 1);
            const int h = std::max(left.height, right.height) + 1;
            left = checked(FormulaNode::makeBinary(op->op, std::move(left.node), std::move(right.node)), h);
        }
        return left;
    }

    Piece parseUnary() {
        if (peek().kind == FormulaTokenKind::Operator && peek().text == "-") {
            Nest nest(*this);
            take();
            Piece operand = parseUnary();
            return checked(FormulaNode::makeUnary(FormulaOp::Negate, std::move(operand.node)),
                           operand.height + 1);
        }
        return parsePrimary();
    }

    Piece parsePrimary() {
        const FormulaToken& t = peek();
        switch (t.kind) {
        case FormulaTokenKind::Number:
            return {FormulaNode::makeNumber(parseNumber(t)), 1};
        case FormulaTokenKind::Name:
            return parseName();
        case FormulaTokenKind::OpenParen: {
            Nest nest(*this);
            take();
            Piece inner = parseLevel(0);
            expectClose(FormulaErrorCode::ExpectedCloseParen, {});
            return inner;
        }
        default:
            fail(errorForUnexpected(FormulaErrorCode::ExpectedValue));
        }
    }

    double parseNumber(const FormulaToken& t) {
        // Below 10^15 a whole number is exact in a double, so it prints back as typed; a larger
        // one could print one digit longer (99...9 becomes 100...0) than the text it came from.
        double v = 0.0;
        const auto r = std::from_chars(t.text.data(), t.text.data() + t.text.size(), v);
        if (r.ec != std::errc() || !(v < kNumberLimit))
            fail(FormulaErrorCode::NumberTooLarge, t.text);
        take();
        return v;
    }

    void expectClose(FormulaErrorCode code, const std::string& subject) {
        if (peek().kind != FormulaTokenKind::CloseParen)
            fail(errorForUnexpected(code), subject);
        take();
    }

    Piece parseName() {
        const std::string name = peek().text;
        if (const auto s = seriesNamed(name)) {
            take();
            return {FormulaNode::makeSeries(*s), 1};
        }
        const auto f = functionNamed(name);
        if (!f)
            fail(FormulaErrorCode::UnknownName, name);
        const FunctionInfo& info = functionInfo(*f);
        const std::string form = functionCallForm(*f);
        take();
        if (peek().kind != FormulaTokenKind::OpenParen)
            fail(errorForUnexpected(FormulaErrorCode::ExpectedOpenParen), form);
        Nest nest(*this);
        take();
        std::vector<NodePtr> args;
        int height = 0;
        for (int i = 0; i < info.valueArguments; ++i) {
            if (i > 0)
                expectComma(form);
            Piece a = parseLevel(0);
            height = std::max(height, a.height);
            args.push_back(std::move(a.node));
        }
        int count = 0;
        if (info.hasCount) {
            expectComma(form);
            count = parseCount(form);
        }
        expectClose(FormulaErrorCode::ExpectedCloseParen, form);
        return checked(FormulaNode::makeCall(*f, std::move(args), count), height + 1);
    }

    void expectComma(const std::string& form) {
        if (peek().kind != FormulaTokenKind::Comma)
            fail(errorForUnexpected(FormulaErrorCode::ExpectedComma), form);
        take();
    }

    int parseCount(const std::string& form) {
        const FormulaToken& t = peek();
        const bool digitsOnly =
            t.kind == FormulaTokenKind::Number && t.text.find('.') == std::string::npos && t.text.size() <= 4;
        const int value = digitsOnly ? std::stoi(t.text) : 0;
        if (value < 1) {
            errorForUnexpected(FormulaErrorCode::BadCount);
            fail(FormulaErrorCode::BadCount, form);
        }
        take();
        return value;
    }

    std::vector<FormulaToken> m_tokens;
    std::size_t m_at = 0;
    int m_nesting = 0;
};

std::size_t characterCount(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(
        text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string reasonJapanese(const FormulaError& e) {
    switch (e.code) {
    case FormulaErrorCode::Empty:
        return "式が入力されていません";
    case FormulaErrorCode::TooLong:
        return "式が長すぎます（4,095バイトまで）";
    case FormulaErrorCode::BadCharacter:
        return "「" + e.subject + "」は式に使えない文字です";
    case FormulaErrorCode::BadNumber:
        return "数「" + e.subject + "」の書き方が正しくありません（小数点の前後に数字が必要です）";
    case FormulaErrorCode::NumberTooLarge:
        return "数「" + e.subject + "」が大きすぎます（1000兆未満で書きます）";
    case FormulaErrorCode::UnknownName:
        return "「" + e.subject + "」という系列や関数はありません";
    case FormulaErrorCode::ExpectedValue:
        return "ここには数、O H L C V、関数、または括弧が必要です";
    case FormulaErrorCode::ExpectedOperator:
        return "ここには演算子（+ - * /）か式の終わりが必要です";
    case FormulaErrorCode::ExpectedOpenParen:
        return "関数名の後には「(」が必要です（" + e.subject + "）";
    case FormulaErrorCode::ExpectedComma:
        return "引数が足りません（" + e.subject + "）";
    case FormulaErrorCode::ExpectedCloseParen:
        return e.subject.empty() ? "「)」が必要です" : "「)」が必要です（" + e.subject + "）";
    case FormulaErrorCode::BadCount:
        return "本数は1から9999までの整数で書きます（" + e.subject + "）";
    case FormulaErrorCode::TooDeep:
        return "式の入れ子が深すぎます";
    }
    return {};
}

std::string reasonEnglish(const FormulaError& e) {
    switch (e.code) {
    case FormulaErrorCode::Empty:
        return "the formula is empty";
    case FormulaErrorCode::TooLong:
        return "the formula is longer than 4,095 bytes";
    case FormulaErrorCode::BadCharacter:
        return "'" + e.subject + "' has no place in a formula";
    case FormulaErrorCode::BadNumber:
        return "the number '" + e.subject + "' needs digits on both sides of its point";
    case FormulaErrorCode::NumberTooLarge:
        return "the number '" + e.subject + "' is too large (it must be below 10^15)";
    case FormulaErrorCode::UnknownName:
        return "there is no series or function named '" + e.subject + "'";
    case FormulaErrorCode::ExpectedValue:
        return "a number, O H L C V, a function or a parenthesis is needed here";
    case FormulaErrorCode::ExpectedOperator:
        return "an operator (+ - * /) or the end of the formula is needed here";
    case FormulaErrorCode::ExpectedOpenParen:
        return "'(' must follow the function name (" + e.subject + ")";
    case FormulaErrorCode::ExpectedComma:
        return "too few arguments (" + e.subject + ")";
    case FormulaErrorCode::ExpectedCloseParen:
        return e.subject.empty() ? "')' is needed" : "')' is needed (" + e.subject + ")";
    case FormulaErrorCode::BadCount:
        return "the count must be a whole number from 1 to 9999 (" + e.subject + ")";
    case FormulaErrorCode::TooDeep:
        return "the formula is nested too deeply";
    }
    return {};
}

} // namespace

std::string functionCallForm(FormulaFunction f) {
    const FunctionInfo& info = functionInfo(f);
    std::string s(info.name);
    s += '(';
    s += info.valueArguments == 2 ? "a,b" : "x";
    if (info.hasCount)
        s += f == FormulaFunction::REF ? ",k" : ",n";
    s += ')';
    return s;
}

std::string formulaErrorText(const FormulaError& e) {
    if (e.code == FormulaErrorCode::Empty || e.code == FormulaErrorCode::TooLong)
        return reasonJapanese(e);
    const std::string where = e.atEnd ? "式の終わり" : std::to_string(e.position + 1) + "文字目";
    return where + ": " + reasonJapanese(e);
}

std::string formulaErrorEnglish(const FormulaError& e) {
    if (e.code == FormulaErrorCode::Empty || e.code == FormulaErrorCode::TooLong)
        return reasonEnglish(e);
    const std::string where = e.atEnd ? "at the end" : "at character " + std::to_string(e.position + 1);
    return where + ": " + reasonEnglish(e);
}

framework::Failure formulaFailure(const FormulaError& e) {
    return {formulaErrorText(e), formulaErrorEnglish(e)};
}

FormulaParse ParseFormula(std::string_view text) {
    FormulaParse result;
    if (text.size() > kMaxFormulaBytes) {
        result.error = {
            FormulaErrorCode::TooLong, characterCount(text.substr(0, kMaxFormulaBytes)), false, {}};
        return result;
    }
    try {
        result.tree = Parser(TokenizeFormula(text)).parseAll();
    } catch (const Stop& stop) {
        result.error = stop.error;
    }
    return result;
}

} // namespace tavora::analysis
