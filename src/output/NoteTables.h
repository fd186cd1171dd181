// Symbol tables of notes: note classes, open flags and note flags.
#pragma once

#include "output/SymbolEntry.h"

namespace notetables {
// Bit 15 names the default design element of its kind.
extern const SymbolEntry kNoteClass[];
extern const SymbolEntry kOpenFlags[];
extern const SymbolEntry kNoteFlags[];
} // namespace notetables
