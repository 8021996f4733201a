#include "analysis/FormulaPrinter.h"

#include <charconv>

namespace tavora::analysis {

namespace {

int precedenceOf(const FormulaNode& n) {
    const BinaryOperator* op = binaryOperator(n.op);
    return op ? op->precedence : kUnaryPrecedence;
}

void print(const FormulaNode& n, std::string& out);

void printOperand(const FormulaNode& n, bool parenthesise, std::string& out) {
    if (parenthesise)
        out += '(';
    print(n, out);
    if (parenthesise)
        out += ')';
}

void print(const FormulaNode& n, std::string& out) {
    switch (n.op) {
    case FormulaOp::Number: {
        // Fixed notation: the parser reads no exponent.
        char buf[400];
        const auto r = std::to_chars(buf, buf + sizeof buf, n.number, std::chars_format::fixed);
        out.append(buf, r.ec == std::errc() ? r.ptr : buf);
        return;
    }
    case FormulaOp::Series:
        out += seriesLetter(n.series);
        return;
    case FormulaOp::Negate:
        out += '-';
        printOperand(*n.operands[0], precedenceOf(*n.operands[0]) < kUnaryPrecedence, out);
        return;
    case FormulaOp::Call: {
        const FunctionInfo& info = functionInfo(n.function);
        out += info.name;
        out += '(';
        for (std::size_t i = 0; i < n.operands.size(); ++i) {
            if (i > 0)
                out += ',';
            print(*n.operands[i], out);
        }
        if (info.hasCount)
            out += ',' + std::to_string(n.count);
        out += ')';
        return;
    }
    default: {
        // Binary: every operator is left-associative, so a right operand of the same
        // binding needs parentheses and a left one does not.
        const BinaryOperator* op = binaryOperator(n.op);
        printOperand(*n.operands[0], precedenceOf(*n.operands[0]) < op->precedence, out);
        out += op->symbol;
        printOperand(*n.operands[1], precedenceOf(*n.operands[1]) <= op->precedence, out);
        return;
    }
    }
}

} // namespace

std::string PrintFormula(const FormulaNode& node) {
    std::string out;
    print(node, out);
    return out;
}

} // namespace tavora::analysis
