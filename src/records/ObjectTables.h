// Symbol tables of the table, hotspot, object and layout records.
#pragma once

#include "output/SymbolEntry.h"

extern const SymbolEntry kTableBeginFlags[];
extern const SymbolEntry kCellBorder[];
extern const SymbolEntry kCellFlags[];
extern const SymbolEntry kHotspotTypes[];
extern const SymbolEntry kHotspotFlags[];
extern const SymbolEntry kSectionBarFlags[];
extern const SymbolEntry kButtonFlags[];
extern const SymbolEntry kDdeFlags[];
extern const SymbolEntry kClipFormats[];
extern const SymbolEntry kOleFlags[];
extern const SymbolEntry kStorageFormats[];
extern const SymbolEntry kOleObjectFlags[];
extern const SymbolEntry kLayoutFlags[];
extern const SymbolEntry kLayoutTextFlags[];
extern const SymbolEntry kLayoutFieldFlags[];
extern const SymbolEntry kLayoutGraphicFlags[];
extern const SymbolEntry kStorageTypes[];
extern const SymbolEntry kLoadTypes[];
extern const SymbolEntry kLaunchObjects[];
extern const SymbolEntry kHideWhenFlags[];
extern const SymbolEntry kLaunchWhenFlags[];
extern const SymbolEntry kOleLaunchFlags[];
extern const SymbolEntry kCopyToFieldFlags[];
// Values whose bits have no names (the value in hex).
extern const SymbolEntry kUnnamed[];
