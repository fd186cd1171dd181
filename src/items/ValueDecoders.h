// The decoders of item values by type. Each writes the fields of one value and returns how
// many of its bytes it covered (never more than it was given); a value shorter than its
// layout ends its fields with the comment "*** Length is too short".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

class CFieldWriter;

// The value proper (after the type word) and what a decoder may need to know of its item.
struct ItemValueView {
    const std::uint8_t* p = nullptr;
    std::size_t n = 0;
    std::string_view itemName;
    std::uint16_t noteClass = 0;
};

using ValueDecoder = std::size_t (*)(CFieldWriter& w, const ItemValueView& v);

// The decoder of a type, or null for types whose bytes are not decoded here (record streams,
// objects, view formats and collations are decoded by the item node itself).
ValueDecoder FindValueDecoder(std::uint16_t type);

std::size_t WriteNumberValue(CFieldWriter& w, const ItemValueView& v);
std::size_t WriteNumberRangeValue(CFieldWriter& w, const ItemValueView& v);
std::size_t WriteTimeValue(CFieldWriter& w, const ItemValueView& v);
std::size_t WriteTimeRangeValue(CFieldWriter& w, const ItemValueView& v);
std::size_t WriteTextValue(CFieldWriter& w, const ItemValueView& v);
std::size_t WriteTextListValue(CFieldWriter& w, const ItemValueView& v);
std::size_t WriteFormulaValue(CFieldWriter& w, const ItemValueView& v);
std::size_t WriteUserIdValue(CFieldWriter& w, const ItemValueView& v);
std::size_t WriteNoteRefListValue(CFieldWriter& w, const ItemValueView& v);
std::size_t WriteNoteLinkListValue(CFieldWriter& w, const ItemValueView& v);
std::size_t WriteAssistInfoValue(CFieldWriter& w, const ItemValueView& v);
std::size_t WriteSchedListValue(CFieldWriter& w, const ItemValueView& v);
std::size_t WriteCalendarFormatValue(CFieldWriter& w, const ItemValueView& v);

// Objects, view formats and collations (the item node's virtual operations call these).
std::size_t WriteObjectDescriptorFields(CFieldWriter& w, const std::uint8_t* p, std::size_t n);
std::size_t WriteViewFormatFields(CFieldWriter& w, const std::uint8_t* p, std::size_t n);
std::size_t WriteCollationFields(CFieldWriter& w, const std::uint8_t* p, std::size_t n);
