// Handles and identifiers shared by the store families.
#pragma once

#include <cstdint>

namespace store {

using DbHandle = std::uint32_t;      // an open database or directory; 0: none
using NoteHandle = std::uint32_t;    // an open note; 0: none
using NoteId = std::uint32_t;        // a note's ID within its database; 0: none
using ComputeHandle = std::uint32_t; // a started computation of a compiled formula; 0: none

} // namespace store
