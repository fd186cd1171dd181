// The symbol tables of view formats and collations. Each ends with kSymbolEnd.
#pragma once

#include "output/SymbolEntry.h"

namespace viewtab {
extern const SymbolEntry kViewStyles[];
extern const SymbolEntry kViewFlags[];
extern const SymbolEntry kColumnSignatures[];
extern const SymbolEntry kColumnFlags1[];
extern const SymbolEntry kColumnFlags2[];
extern const SymbolEntry kFormatDataTypes[];
extern const SymbolEntry kTableSignatures[];
extern const SymbolEntry kSpacings[];

extern const SymbolEntry kCollationFlags[];
extern const SymbolEntry kCollationSignatures[];
extern const SymbolEntry kKeyFlags[];
extern const SymbolEntry kDescriptorSignatures[];
extern const SymbolEntry kKeyTypes[];
} // namespace viewtab
