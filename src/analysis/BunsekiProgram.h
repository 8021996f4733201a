#pragma once
// What a definition draws, made once when the definitions are loaded: the parsed formula of a
// kind 0 graph (nothing when the text does not parse: the graph draws nothing and its text is
// kept as it is), MA(C,N) for kind 5 and EMA(C,N) for kind 6 with N from `sonota2` (nothing
// when N is not a positive number). Other kinds have none. Pure; any thread.
#include "analysis/BunsekiElement.h"
#include "analysis/FormulaTree.h"

#include <memory>
#include <string_view>

namespace tavora::analysis {

std::shared_ptr<const FormulaNode> BunsekiProgramOf(int kind, std::string_view formula,
                                                    std::string_view param1);
// Sets the definition's program from its kind, formula and first parameter.
void CompileBunsekiProgram(BunsekiElement& definition);
// Every definition of the list.
void CompileBunsekiPrograms(BunsekiList& list);

} // namespace tavora::analysis
