// The symbol tables shared by every decoder: colours, item types, fonts and the number and
// time formats. Each ends with kSymbolEnd.
#pragma once

#include "output/SymbolEntry.h"

namespace symtab {
extern const SymbolEntry kColorNames[];       // 240 named colours, indexes 0..239
extern const SymbolEntry kItemTypes[];        // data type of an item value
extern const SymbolEntry kFontFaces[];        // standard font faces
extern const SymbolEntry kFontAttributes[];   // font attribute flags
extern const SymbolEntry kNumberFormats[];    // "number-format"
extern const SymbolEntry kNumberAttributes[]; // "number-attributes"
extern const SymbolEntry kDateStyles[];       // "time-date"
extern const SymbolEntry kTimeStyles[];       // "time-time"
extern const SymbolEntry kZoneStyles[];       // "time-zone"
extern const SymbolEntry kTimeStructures[];   // "time-structure"
extern const SymbolEntry kListSeparators[];   // list separators of columns and fields

constexpr unsigned kColorCount = 240;
} // namespace symtab
