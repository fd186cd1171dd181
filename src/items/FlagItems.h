// Text items whose characters are single flags: which table names them, from the item's name
// and the class of the note that holds it.
#pragma once

#include <cstdint>
#include <string_view>

#include "output/SymbolEntry.h"

class CFieldWriter;

// Null when the item holds no flag characters known for that note class.
const SymbolEntry* FlagCharTable(std::string_view itemName, std::uint16_t noteClass);

// The characters named, as a comment; nothing when no table applies.
void WriteFlagItemComment(CFieldWriter& w, std::string_view itemName, std::uint16_t noteClass,
                          const char* text, std::size_t length);
