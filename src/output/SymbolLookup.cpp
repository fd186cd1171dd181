#include "output/SymbolLookup.h"

bool SymbolValueOf(const SymbolEntry* table, std::string_view name, std::uint32_t* value) {
    bool found = false;
    ForEachSymbol(table, [&](const SymbolEntry& row) {
        if (name != row.name)
            return true;
        *value = row.value;
        found = true;
        return false;
    });
    return found;
}
