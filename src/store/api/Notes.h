// Notes: open a note of an open database by its ID and read its header.
#pragma once

#include <cstddef>
#include <cstdint>

#include "store/api/Handles.h"
#include "store/api/Status.h"
#include "store/api/Time.h"

namespace store {

// Open flags. Three change what an open note holds:
// - kOpenSummary: only the items with the Summary flag;
// - kOpenNoObjects: no object items (type 3);
// - kOpenAbstract: an abstract, without its rich-text items (type 1); the note's header flags
//   then carry kNoteAbstracted.
// The facts of the note itself (header fields, has objects, signed, sealed) stay those of the
// whole note. Every other flag is accepted and changes nothing on a read-only database file:
// values are kept in one form only (Expand, Canonical), nothing is verified, shared or marked
// (NoVerifyDefault, Share, MarkRead), and the response table is always at hand (ResponseIdTable).
constexpr std::uint16_t kOpenSummary = 0x0001;
constexpr std::uint16_t kOpenNoVerifyDefault = 0x0002;
constexpr std::uint16_t kOpenExpand = 0x0004;
constexpr std::uint16_t kOpenNoObjects = 0x0008;
constexpr std::uint16_t kOpenShare = 0x0020;
constexpr std::uint16_t kOpenCanonical = 0x0040;
constexpr std::uint16_t kOpenMarkRead = 0x0100;
constexpr std::uint16_t kOpenAbstract = 0x0200;
constexpr std::uint16_t kOpenResponseIdTable = 0x1000;
// The flags that change what an open gives.
constexpr std::uint16_t kOpenHonoured = kOpenSummary | kOpenNoObjects | kOpenAbstract;

// Header flag of a note opened with kOpenAbstract.
constexpr std::uint16_t kNoteAbstracted = 0x0002;

// The sequenced originator identifier: "file" and "note" time stamps, sequence, sequence time.
struct OriginatorId {
    TimeDate file;
    TimeDate note;
    std::uint32_t sequence = 0;
    TimeDate sequenceTime;
};
static_assert(sizeof(OriginatorId) == 28);

// kNoteNotFound for an unknown ID, kNoteDeleted for the ID of a deletion stub.
Status OpenNote(DbHandle db, NoteId id, std::uint16_t openFlags, NoteHandle* note);
Status CloseNote(NoteHandle note);

// Any of the outputs may be null.
Status NoteInfo(DbHandle db, NoteId id, OriginatorId* originator, TimeDate* modified,
                std::uint16_t* noteClass);

// Header fields of an open note. `size` must be the field's size (else kInvalidArgument).
enum NoteHeaderField : unsigned {
    kHeaderDatabase = 0,       // DbHandle: the database the note was opened from
    kHeaderNoteId = 1,         // NoteId
    kHeaderOriginator = 2,     // OriginatorId
    kHeaderClass = 3,          // u16
    kHeaderModified = 4,       // TimeDate
    kHeaderPrivileges = 5,     // u16, pre-v3 privileges mask
    kHeaderCreated = 6,        // TimeDate
    kHeaderFlags = 7,          // u16 note flags
    kHeaderAccessed = 8,       // TimeDate, last accessed
    kHeaderParent = 10,        // NoteId of the parent (responses), 0 for none
    kHeaderResponseCount = 11, // u16
    // MemHandle: 0 when the note has no responses, else a new block (the caller frees it) of
    // u32 count then count u32 note IDs in ascending order.
    kHeaderResponses = 12,
    kHeaderAdded = 13, // TimeDate, added to the file
};
Status NoteHeader(NoteHandle note, unsigned field, void* value, std::size_t size);

Status NoteHasObjects(NoteHandle note, bool* has);
// Signed: the note holds a signature item (type 8). Sealed: an item carries the Seal flag.
Status NoteIsSigned(NoteHandle note, bool* isSigned);
Status NoteIsSealed(NoteHandle note, bool* isSealed);

// The design note (not a stub) of any class bit in `noteClass` whose "$TITLE", or one of its
// '|'-separated aliases, equals `name` ignoring ASCII case. kDesignNotFound when there is none.
Status FindDesignNote(DbHandle db, const char* name, std::uint16_t noteClass, NoteId* id);

} // namespace store
