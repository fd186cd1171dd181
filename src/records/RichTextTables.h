// Symbol tables of the paragraph, text, field and document records.
#pragma once

#include "output/SymbolEntry.h"

extern const SymbolEntry kJustification[];
extern const SymbolEntry kTabTypes[];
extern const SymbolEntry kParagraphFlags[];
extern const SymbolEntry kStyleFlags[];
extern const SymbolEntry kFieldFlags[];
extern const SymbolEntry kKeywordStyles[];
extern const SymbolEntry kExtFieldFlags[];
extern const SymbolEntry kExtFieldFlags2[];
extern const SymbolEntry kEntryHelpers[];
extern const SymbolEntry kKeywordFlags[];
extern const SymbolEntry kFormFlags[];
extern const SymbolEntry kFormFlags2[];
