#include "analysis/BunsekiProgram.h"

#include "analysis/FormulaParser.h"

#include <vector>

namespace tavora::analysis {

std::shared_ptr<const FormulaNode> BunsekiProgramOf(int kind, std::string_view formula,
                                                    std::string_view param1) {
    if (kind == KindFormula) {
        FormulaParse parsed = ParseFormula(formula);
        return parsed.ok() ? std::shared_ptr<const FormulaNode>(std::move(parsed.tree)) : nullptr;
    }
    if (kind != KindMovingAverage && kind != KindExponentialAverage)
        return nullptr;
    const int n = AtoiText(param1);
    if (n < 1)
        return nullptr;
    std::vector<std::unique_ptr<FormulaNode>> args;
    args.push_back(FormulaNode::makeSeries(SeriesField::Close));
    return FormulaNode::makeCall(kind == KindMovingAverage ? FormulaFunction::MA : FormulaFunction::EMA,
                                 std::move(args), n);
}

void CompileBunsekiProgram(BunsekiElement& definition) {
    definition.program = BunsekiProgramOf(definition.kind, definition.formula, definition.param1);
}

void CompileBunsekiPrograms(BunsekiList& list) {
    for (std::size_t i = 0; i < list.size(); ++i)
        CompileBunsekiProgram(list[i]);
}

} // namespace tavora::analysis
