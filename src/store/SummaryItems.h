// The summary buffer of a directory search (one database's items) and its field output.
//
// Layout, little-endian:
//   u16 total length (of the whole buffer, this word included)
//   u16 item count n
//   n x (u16 name length, u16 value length)
//   then per item: name bytes (not terminated), value bytes; a value starts with its u16 type,
//   which the value length includes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

class CFieldWriter;

struct SummaryItem {
    std::string_view name;
    std::uint16_t type = 0;    // 0 when the value is shorter than its type word
    const std::uint8_t* value; // after the type word
    std::size_t valueLength;   // without the type word
    // Where the item's name and value lie in the buffer, and where its value proper starts.
    std::size_t at = 0;
    std::size_t length = 0;
    std::size_t valueAt = 0;
};

struct SummaryItems {
    std::vector<SummaryItem> items;
    // The buffer ended (or its total length said it ended) before all n items.
    bool truncated = false;
};

// Reads the items of a buffer of size bytes (only within min(size, total length)).
SummaryItems ParseSummary(const void* summary, std::size_t size);
// The first item whose name equals name exactly; null when there is none.
const SummaryItem* FindSummaryItem(const SummaryItems& items, std::string_view name);

// A row of a rename table: the item's name, matched whole and case-sensitively, and the field
// label to write it under; a null label leaves the item out. A row with a null name ends it.
struct SummaryRename {
    const char* name;
    const char* label;
};

// One field per item: renamed, left out, or "summary-item" with the name quoted, then the value
// by its type. A buffer cut short ends with the too-short comment.
void WriteSummaryItems(CFieldWriter& writer, const void* summary, std::size_t size,
                       const SummaryRename* renames);
