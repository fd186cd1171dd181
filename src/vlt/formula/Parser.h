// Parses formula source into a program tree, or reports the first syntax error with its span.
#pragma once

#include <string_view>

#include "vlt/formula/Ast.h"
#include "vlt/formula/Lexer.h"

namespace vlt::formula {

bool Parse(std::string_view source, Program* program, SyntaxError* error);

} // namespace vlt::formula
