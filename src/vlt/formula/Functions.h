// The function library: one table row per function (name, id, arity, implementation).
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "store/api/Status.h"
#include "vlt/formula/NoteContext.h"
#include "vlt/formula/Value.h"

namespace vlt::formula {

// Arguments arrive evaluated; the count is within the row's arity. note may be null.
using FunctionImpl = store::Status (*)(const NoteContext* note, std::vector<Value>& args,
                                       Value* out);

struct FunctionInfo {
    std::uint8_t id; // stored in compiled formulas; never reuse or renumber
    const char* name;
    std::uint8_t minArgs;
    std::uint8_t maxArgs;
    FunctionImpl impl;
};

const FunctionInfo* FindFunction(std::string_view name);
const FunctionInfo* FunctionById(std::uint8_t id);
// Every row, for documentation checks and tests.
const std::vector<FunctionInfo>& AllFunctions();

} // namespace vlt::formula
