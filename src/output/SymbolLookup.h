// Symbol tables read backwards: the value a name stands for, for texts that give values by the
// names the dump shows.
#pragma once

#include <cstdint>
#include <string_view>

#include "output/SymbolEntry.h"

// The value of the row named `name` (names compare exactly); false when no row has it.
bool SymbolValueOf(const SymbolEntry* table, std::string_view name, std::uint32_t* value);
