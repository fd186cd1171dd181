#include "output/SymbolLookup.h"

namespace {
// Tables are constants of the program; the bound only keeps a faulty link from looping.
constexpr std::size_t kMaxRows = 4096;
} // namespace

bool SymbolValueOf(const SymbolEntry* table, std::string_view name, std::uint32_t* value) {
    const SymbolEntry* row = table;
    for (std::size_t walked = 0; row && walked < kMaxRows; ++walked) {
        if (row->mask == kSymbolDirective) {
            row = (row->value == kSymbolContinue && row->next) ? row->next : row + 1;
            continue;
        }
        if (!row->name)
            return false;
        if (name == row->name) {
            *value = row->value;
            return true;
        }
        ++row;
    }
    return false;
}
