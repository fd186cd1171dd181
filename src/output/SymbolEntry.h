// Symbol tables: constant rows that name enumerated values, single flags and bit-field values.
//
// Row kinds, by mask:
//   kSymbolEnumerated  the whole value must equal `value`
//   0                  a single flag: the bits of `value` must all be set
//   other              the bits under `mask` must equal `value`
//   kSymbolDirective   not a name: with value kSymbolContinue the walk goes on at `next`;
//                      any other directive row is skipped
// A row with no name (other than a directive) ends the table.
#pragma once

#include <cstdint>

struct SymbolEntry {
    std::uint32_t mask;
    std::uint32_t value;
    const char* name;
    const SymbolEntry* next = nullptr; // directive rows only
};

constexpr std::uint32_t kSymbolEnumerated = 0xFFFFFFFFu;
constexpr std::uint32_t kSymbolFlag = 0;
constexpr std::uint32_t kSymbolDirective = 0xFEDCBA98u;
constexpr std::uint32_t kSymbolContinue = 0x01234567u;

// The row that continues a table in another one.
constexpr SymbolEntry SymbolContinueIn(const SymbolEntry* table) {
    return SymbolEntry{kSymbolDirective, kSymbolContinue, nullptr, table};
}
// The row that ends a table.
constexpr SymbolEntry kSymbolEnd{0, 0, nullptr, nullptr};

// Calls visit(row) for each named row of the table, following continuations, until it
// returns false or the table ends. The walk is bounded, so that a table continuing in itself
// cannot hang it; tables are constants of the program.
template <typename Visit> void ForEachSymbol(const SymbolEntry* table, Visit visit) {
    constexpr unsigned kMaxRows = 1u << 16;
    const SymbolEntry* row = table;
    for (unsigned walked = 0; row && walked < kMaxRows; ++walked) {
        if (row->mask == kSymbolDirective) {
            row = (row->value == kSymbolContinue && row->next) ? row->next : row + 1;
            continue;
        }
        if (!row->name || !visit(*row))
            return;
        ++row;
    }
}
