#pragma once
// Writes a formula tree back as text: ASCII, no blanks, parentheses only where the binding of
// the operators needs them, numbers in their shortest exact decimal form. The text parses to
// the same tree and is never longer than a text that parsed to it. Pure; any thread.
#include "analysis/FormulaTree.h"

#include <string>

namespace tavora::analysis {

std::string PrintFormula(const FormulaNode& node);

} // namespace tavora::analysis
