// Prints a program tree as normalised source: one space around binary operators, after commas
// and keywords, "; " between statements, and only the parentheses the precedence needs.
#pragma once

#include <string>

#include "vlt/formula/Ast.h"

namespace vlt::formula {

std::string Decompile(const Program& program);

} // namespace vlt::formula
