// Searches: the notes of a database, or the databases, templates and subdirectories of a
// directory, each reported with its summary buffer.
#pragma once

#include <cstddef>
#include <cstdint>

#include "store/api/Handles.h"
#include "store/api/Memory.h"
#include "store/api/Status.h"
#include "store/api/Time.h"

namespace store {

// Search flags. Bits not named here are accepted and ignored.
constexpr std::uint16_t kSearchSummary = 0x0002; // summaries are always given; kept for callers
constexpr std::uint16_t kSearchFiles = 0x0004;   // on a directory: list its files
constexpr std::uint16_t kSearchStubs = 0x0010;   // also report deletion stubs

// Class mask bits of a directory search.
constexpr std::uint16_t kDirTemplates = 0x0001;
constexpr std::uint16_t kDirSubdirectories = 0x4000;
constexpr std::uint16_t kDirDatabases = 0x8000;

constexpr std::uint16_t kClassStub = 0x8000;     // in SEARCH_MATCH::noteClass
constexpr std::uint16_t kMatchSelected = 0x0001; // in SEARCH_MATCH::matchFlags
// A stored note that cannot be reported as it is: its ID is no note ID (outside
// 1..0x7FFFFFFF). The match holds note ID 0 and the summary one text item "$Damage" that names
// the stored value; the class and times are the note's own. It is reported whatever the
// formula, which cannot be run on items that are not known to be the note's.
constexpr std::uint16_t kMatchDamaged = 0x0100;

// One search result. Layout (little-endian):
//   0  20 identity: database identifier (time stamp), note modification time stamp, u32 note ID
//  20  28 originator ID (store/api/Notes.h OriginatorId)
//  48   2 note class; bit 15 set for a deletion stub and for nothing else (the default bit
//           of a design element is read from the note itself)
//  50   2 match flags; bit 0 = selected by the formula (always set without one)
//  52   2 length of the summary buffer handed beside it
struct SEARCH_MATCH {
    std::uint8_t identity[20];
    std::uint8_t originator[28];
    std::uint16_t noteClass;
    std::uint16_t matchFlags;
    std::uint16_t summaryLength;
};
static_assert(sizeof(SEARCH_MATCH) == 54);

NoteId SearchMatchNoteId(const SEARCH_MATCH& match);

// The summary buffer: u16 total length, u16 count n, n pairs (u16 name length, u16 value
// length), then each item's name bytes followed by its value (type word first; the value length
// counts it). The callback receives a pointer to its first byte.
struct ITEM_TABLE {
    std::uint16_t length;
    std::uint16_t items;
};

// Returns 0 to go on; any other status stops the search, which then returns that status.
using SearchCallback = Status (*)(void* context, const SEARCH_MATCH* match,
                                  const ITEM_TABLE* summary);

// Over a database: the notes whose class has a bit of classMask (bit 15 ignored) modified after
// *since (null, or a time at or before EarliestTime: all, those without a time too), selected
// by the compiled formula when one is given (null: every note), and with kSearchStubs the
// deletion stubs of those classes. Notes come in ascending ID order; a note whose stored ID
// is damaged comes with kMatchDamaged.
// Over a directory handle: with classMask kDirDatabases / kDirSubdirectories / kDirTemplates,
// the matching entries with summaries "$TITLE" (file name), "$Path", "$Type" ("$NOTEFILE" or
// "$DIR"), "$Modified", "$Length" and, for readable databases, "$Info". The break hook is
// polled between results (kCancelled).
Status Search(DbHandle db, const void* formula, std::size_t formulaLength, std::uint16_t flags,
              std::uint16_t classMask, const TimeDate* since, SearchCallback callback,
              void* context);

// The value of the summary item `name` (exact bytes) as text (ValueToText with ';'), at most
// size bytes with the terminator. kNoMoreItems when absent, kBadValue for a damaged table.
Status SummaryValueText(const ITEM_TABLE* summary, const char* name, char* buffer, std::size_t size,
                        std::size_t* length);
// The raw value (type word first) of the summary item `name`.
Status SummaryValue(const ITEM_TABLE* summary, const char* name, const std::uint8_t** value,
                    std::uint16_t* valueLength);

// The IDs of the notes of classMask modified after `since` (as for Search: EarliestTime takes
// every note) as a new block: u32 count, then count u32 entries in ascending ID order, bit 31
// set for a deletion stub; a note whose stored ID is damaged is entered as 0. kNoModifiedNotes
// (572) when there are none (and *table is 0).
Status NotesModifiedSince(DbHandle db, std::uint16_t classMask, const TimeDate& since,
                          MemHandle* table);
constexpr std::uint32_t kIdStub = 0x80000000u;
// Entry `index` of such a table; false past its end.
bool IdTableEntry(MemHandle table, std::uint32_t index, std::uint32_t* id);

} // namespace store
