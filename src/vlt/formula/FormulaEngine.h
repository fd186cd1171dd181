// The formula engine as the store engine uses it: run compiled formulas on notes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "store/api/Status.h"
#include "vlt/formula/NoteContext.h"

namespace vlt::formula {

// Runs compiled bytes on a note (null: no note). *result receives the 16-bit type word followed
// by the value (text 0x500, text list 0x501, number 0x300, number range 0x301, time 0x400, time
// range 0x401). *selected tells whether the result is true. Never reads outside `compiled`.
store::Status Evaluate(const std::uint8_t* compiled, std::size_t length, const NoteContext* note,
                       std::vector<std::uint8_t>* result, bool* selected);

// Validates compiled bytes once, so that a computation can be started from them.
store::Status Validate(const std::uint8_t* compiled, std::size_t length);

} // namespace vlt::formula
