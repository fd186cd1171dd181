// Text items whose characters are single flags: which table names them, from the item's name
// and the class of the note that holds it.
#pragma once

#include <cstdint>
#include <string_view>

#include "output/SymbolEntry.h"

class CFieldWriter;

// True when some note class gives the item's name a table: only then does FlagCharTable need
// the class, which costs a look-up of the note.
bool IsFlagItemName(std::string_view itemName);

// Null when the item holds no flag characters known for that note class.
const SymbolEntry* FlagCharTable(std::string_view itemName, std::uint16_t noteClass);

// The characters named, as a comment; nothing when no table applies.
void WriteFlagItemComment(CFieldWriter& w, std::string_view itemName, std::uint16_t noteClass,
                          const char* text, std::size_t length);
