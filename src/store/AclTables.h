// Symbol tables of access control lists: access levels, entry flags and list flags.
#pragma once

#include "output/SymbolEntry.h"

namespace acltables {
extern const SymbolEntry kAccessLevel[];
extern const SymbolEntry kEntryFlags[];
extern const SymbolEntry kListFlags[];
} // namespace acltables
