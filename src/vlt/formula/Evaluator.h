// Runs a program tree on a note. No loops exist and the tree is at most kMaxDepth deep, so a
// run always ends; runtime faults (wrong types, division by zero, an oversized value) give
// kFormulaRuntime, a damaged item value kBadValue.
#pragma once

#include "store/api/Status.h"
#include "vlt/formula/Ast.h"
#include "vlt/formula/NoteContext.h"
#include "vlt/formula/Value.h"

namespace vlt::formula {

// note may be null. A selecting program gives the number 1 or 0.
store::Status Run(const Program& program, const NoteContext* note, Value* result);

} // namespace vlt::formula
