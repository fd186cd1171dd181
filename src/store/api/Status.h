// Store status words: what every store call returns.
//
// A status is 16 bits, 0 for success:
//   bit 15      the message has already been shown to the user ("Displayed")
//   bit 14      the failure was reported by a server ("Remote")
//   bits 8..13  package number
//   bits 0..7   error number within the package
// Bits 0..13 together are the message number, whose text MessageText returns.
#pragma once

#include <cstddef>
#include <cstdint>

namespace store {

using Status = std::uint16_t;

constexpr Status kStatusDisplayed = 0x8000;
constexpr Status kStatusRemote = 0x4000;
constexpr Status kMessageMask = 0x3FFF;

constexpr Status MessageNumber(Status s) {
    return static_cast<Status>(s & kMessageMask);
}
constexpr unsigned PackageOf(Status s) {
    return (s >> 8) & 0x3F;
}
constexpr unsigned ErrorOf(Status s) {
    return s & 0xFF;
}
constexpr Status MakeStatus(unsigned package, unsigned error) {
    return static_cast<Status>(((package & 0x3F) << 8) | (error & 0xFF));
}

// The statuses callers test by number. Their values are fixed; callers compare against them.
constexpr Status kNoError = 0;
constexpr Status kInvalidTime = 257;     // text that is no time, or a time out of range
constexpr Status kCancelled = 413;       // the break hook reported a cancel
constexpr Status kNoMoreItems = 546;     // no (further) item of that name in the note
constexpr Status kNoModifiedNotes = 572; // no note modified since the time given
constexpr Status kNotAvailable = 578;    // no access control list, no database options
constexpr Status kRoleUndefined = 1060;  // no role with that index
constexpr Status kFormulaSyntax = 1281;  // formula compile: syntax error

// Further statuses of this engine. Package 16: the engine and its handles (package 1 would collide
// with 257).
constexpr Status kNotInitialized = MakeStatus(16, 0x01);  // the store service is not started
constexpr Status kInvalidHandle = MakeStatus(16, 0x02);   // unknown or already closed handle
constexpr Status kInvalidArgument = MakeStatus(16, 0x03); // a null or out-of-range argument
constexpr Status kBufferTooSmall = MakeStatus(16, 0x04);  // result truncated to the buffer
constexpr Status kOutOfMemory = MakeStatus(16, 0x05);
constexpr Status kNotImplemented = MakeStatus(16, 0x06);
constexpr Status kInternalError = MakeStatus(16, 0x07);

// Package 3: files and databases.
constexpr Status kFileNotFound = MakeStatus(3, 0x01);    // no such file or directory
constexpr Status kNotADatabase = MakeStatus(3, 0x02);    // the file is not a database file
constexpr Status kDatabaseCorrupt = MakeStatus(3, 0x03); // damaged or incomplete schema or data
constexpr Status kFileAccess = MakeStatus(3, 0x04);      // the file cannot be read
constexpr Status kIsDirectory = MakeStatus(3, 0x05);     // a directory opened as a database
constexpr Status kBadPath = MakeStatus(3, 0x06);         // a path that cannot be parsed or joined
constexpr Status kTooManyOpen = MakeStatus(3, 0x07);
constexpr Status kUnsupportedVersion = MakeStatus(3, 0x08);

// Package 4: notes, items, objects.
constexpr Status kNoteNotFound = MakeStatus(4, 0x01);
constexpr Status kNoteDeleted = MakeStatus(4, 0x02); // the ID names a deletion stub
constexpr Status kObjectNotFound = MakeStatus(4, 0x03);
constexpr Status kBadRange = MakeStatus(4, 0x04); // object read past its end
constexpr Status kDesignNotFound = MakeStatus(4, 0x05);
constexpr Status kBadValue = MakeStatus(4, 0x06); // a stored value is damaged
constexpr Status kNoSuchInfoField = MakeStatus(4, 0x07);

// Package 6: servers and names.
constexpr Status kServerUnknown = MakeStatus(6, 0x01); // no server of that name
constexpr Status kServerNotResponding = MakeStatus(6, 0x02);
constexpr Status kBadName = MakeStatus(6, 0x03);
// The server closed the connection as it was made: it speaks TLS and the client does not, or it
// does not take the client's certificate.
constexpr Status kServerRefused = MakeStatus(6, 0x04);
constexpr Status kServerNotTrusted = MakeStatus(6, 0x05); // its certificate fails verification

// Package 7: formulas (besides kFormulaSyntax).
constexpr Status kFormulaDamaged = MakeStatus(7, 0x01); // compiled bytes that cannot be read
constexpr Status kFormulaRuntime = MakeStatus(7, 0x02); // evaluation failed (type, missing field)
constexpr Status kFormulaTooComplex = MakeStatus(7, 0x03);

// The message text of a status (bits 0..13); a status without a text of its own gives
// kInvalidArgument and leaves an empty text. Always terminates the buffer when size > 0 and
// never writes beyond size bytes; *length (may be null) receives the text's length.
Status MessageText(Status status, char* buffer, std::size_t size, std::size_t* length = nullptr);

} // namespace store
