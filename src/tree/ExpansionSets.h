// The types that Expand Lots expands when it starts on a node of each type. Defaults are built
// in; the settings may replace them at start-up.
#pragma once

#include "tree/TypeSet.h"

namespace expansion {
const CTypeSet& SetFor(unsigned type); // unknown types give an empty set
void Replace(unsigned type, const CTypeSet& set);
CTypeSet DefaultFor(unsigned type);
void ResetToDefaults();
} // namespace expansion
