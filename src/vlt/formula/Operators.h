// The operators of the language over values: arithmetic, concatenation, comparison, membership.
#pragma once

#include "store/api/Status.h"
#include "vlt/formula/Ast.h"
#include "vlt/formula/Value.h"

namespace vlt::formula {

// For every binary operator but `and` and `or` (those short-circuit in the evaluator).
store::Status ApplyBinary(Op op, const Value& a, const Value& b, Value* out);
store::Status Negate(const Value& a, Value* out);
// Joins evaluated list elements: nested lists are flattened, all elements must be of one kind.
store::Status MakeList(const std::vector<Value>& elements, Value* out);

} // namespace vlt::formula
