// Values to and from the stored layouts of item values (all little-endian):
//   0x500 text        the bytes
//   0x501 text list   u16 count, count u16 lengths, the entries' bytes
//   0x300 number      f64
//   0x301 number range  u16 list count, u16 range count, list f64s, then range pairs of f64s
//   0x400 time        8-byte stamp (two u32 words)
//   0x401 time range  u16 list count, u16 range count, list stamps, then range pairs of stamps
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "store/api/Status.h"
#include "vlt/formula/NoteContext.h"
#include "vlt/formula/Value.h"

namespace vlt::formula {

constexpr std::uint16_t kTypeText = 0x500;
constexpr std::uint16_t kTypeTextList = 0x501;
constexpr std::uint16_t kTypeNumber = 0x300;
constexpr std::uint16_t kTypeNumberRange = 0x301;
constexpr std::uint16_t kTypeTime = 0x400;
constexpr std::uint16_t kTypeTimeRange = 0x401;

// Decodes an item value. Ranges read as lists: the list entries, then each pair's start and
// end. Types that hold no plain value (rich text, formulas, ...) read as an empty text.
// A value whose counts reach past its bytes gives kBadValue.
store::Status DecodeItem(const ItemValue& item, Value* out);

// The named item of the note; an absent item (or no note) reads as an empty text.
store::Status ReadField(const NoteContext* note, std::string_view name, Value* out);

// The 16-bit type word and the value: scalars as 0x500/0x300/0x400, lists as 0x501/0x301/0x401
// (ranges with a range count of 0). A list of more than 65535 entries or a text longer than
// 65535 bytes inside a list gives kFormulaRuntime.
store::Status EncodeResult(const Value& value, std::vector<std::uint8_t>* out);

} // namespace vlt::formula
