// Options of a dump that walks collapsed nodes too, the rest left as they are by default.
#pragma once

#include "tree/DumpToFile.h"

inline DumpOptions CollapsedDump() {
    DumpOptions options;
    options.includeCollapsed = true;
    return options;
}
