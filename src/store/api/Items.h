// Items of an open note, in their stored order. An item's block ID is that of its value.
#pragma once

#include <cstddef>
#include <cstdint>

#include "store/api/Handles.h"
#include "store/api/Memory.h"
#include "store/api/Status.h"

namespace store {

// Item types the engine itself reads.
constexpr std::uint16_t kTypeText = 0x0500;
constexpr std::uint16_t kTypeTextList = 0x0501;
constexpr std::uint16_t kTypeNumber = 0x0300;
constexpr std::uint16_t kTypeNumberRange = 0x0301;
constexpr std::uint16_t kTypeTime = 0x0400;
constexpr std::uint16_t kTypeTimeRange = 0x0401;
constexpr std::uint16_t kTypeFormula = 0x0600;
constexpr std::uint16_t kTypeNoteRefList = 0x0004;
constexpr std::uint16_t kTypeSignature = 0x0008;

constexpr std::uint16_t kItemSign = 0x0001;
constexpr std::uint16_t kItemSeal = 0x0002;
constexpr std::uint16_t kItemSummary = 0x0004;

// Item names are at most this many bytes; a buffer of kItemNameBuffer holds one terminated.
constexpr std::size_t kItemNameBuffer = 130;

// The first item (name null) or the first of that name (ASCII case ignored). The value's
// bytes, reached by MemLockBlock(*value), are the 16-bit type word then the data; *valueLength
// counts both. Every output may be null. kNoMoreItems (546) when there is none.
Status FindItem(NoteHandle note, const char* name, BlockId* item, std::uint16_t* type,
                BlockId* value, std::uint32_t* valueLength);
// The item after `previous` (of that name, when name is not null); kNoMoreItems at the end.
Status FindNextItem(NoteHandle note, BlockId previous, const char* name, BlockId* item,
                    std::uint16_t* type, BlockId* value, std::uint32_t* valueLength);
// The name is written terminated into `name` (nameSize bytes; longer names are truncated);
// every output may be null.
Status ItemInfo(NoteHandle note, BlockId item, char* name, std::size_t nameSize,
                std::uint16_t* nameLength, std::uint16_t* flags, std::uint16_t* type,
                BlockId* value, std::uint32_t* valueLength);

// One item as WalkItems hands it over: what FindItem, FindNextItem and ItemInfo give for it.
// The name is not terminated (nameLength bytes, never truncated) and lasts until the visitor
// returns.
struct ItemEntry {
    BlockId item;
    const char* name = nullptr;
    std::size_t nameLength = 0;
    std::uint16_t flags = 0;
    std::uint16_t type = 0;
    BlockId value;
    std::uint32_t valueLength = 0;
};
using ItemVisitor = Status (*)(const ItemEntry& entry, void* context);
// Hands every item to `visitor` in stored order, the note looked up once for the whole walk.
// The first status other than kNoError that the visitor returns ends the walk and is returned;
// kNoError after the last item (none for a note without items).
Status WalkItems(NoteHandle note, ItemVisitor visitor, void* context);

// The value (type word first, valueLength bytes) as text: texts as they are, list entries
// joined by `separator`, numbers and times through NumberToText and TimeToText, ranges as
// "start - end". Types without a text form give an empty text. The result is truncated to the
// buffer (kBufferTooSmall then); a value whose counts reach past its length gives kBadValue
// with the part read so far.
Status ItemValueToText(BlockId value, std::uint32_t valueLength, char separator, char* buffer,
                       std::size_t size, std::size_t* length);
// The same over bytes the caller holds.
Status ValueToText(const void* value, std::size_t valueLength, char separator, char* buffer,
                   std::size_t size, std::size_t* length);

} // namespace store
