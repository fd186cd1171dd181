// The names of record signatures, per kind of stream.
#pragma once

#include "output/SymbolEntry.h"

extern const SymbolEntry kRichTextSignatures[]; // the later records, then the base table
extern const SymbolEntry kBaseSignatures[];     // records every rich-text kind knows
extern const SymbolEntry kLayoutSignatures[];   // navigator drawing records, then the base
extern const SymbolEntry kDatasetSignatures[];
extern const SymbolEntry kQuerySignatures[];
extern const SymbolEntry kActionSignatures[];
