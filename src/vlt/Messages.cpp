// The message texts of the store's statuses.
#include "store/api/Status.h"
#include "vlt/TextBuffer.h"

namespace store {
namespace {

struct MessageRow {
    Status number; // the message number (bits 0..13)
    const char* text;
};

// One row per message number.
constexpr MessageRow kMessages[] = {
    {kInvalidTime, "Invalid time or date"},
    {kNotInitialized, "The store service is not started"},
    {kCancelled, "Operation cancelled"},
    {kNoMoreItems, "No more items of that name in the note"},
    {kNoModifiedNotes, "No notes have been modified since the time given"},
    {kNotAvailable, "Not available"},
    {kRoleUndefined, "No role is defined with that number"},
    {kFormulaSyntax, "Formula syntax error"},
    {kInvalidHandle, "Invalid or already closed handle"},
    {kInvalidArgument, "Invalid argument"},
    {kBufferTooSmall, "The result does not fit in the space given and was cut short"},
    {kOutOfMemory, "Out of memory"},
    {kNotImplemented, "This operation is not supported"},
    {kInternalError, "Internal error in the store engine"},
    {kFileNotFound, "File or directory does not exist"},
    {kNotADatabase, "The file is not a database"},
    {kDatabaseCorrupt, "The database is damaged"},
    {kFileAccess, "The file cannot be read"},
    {kIsDirectory, "The path names a directory, not a database"},
    {kBadPath, "Invalid path"},
    {kTooManyOpen, "Too many databases are open"},
    {kUnsupportedVersion, "The database was made by an unsupported version"},
    {kNoteNotFound, "Note not found"},
    {kNoteDeleted, "The note has been deleted"},
    {kObjectNotFound, "Object not found"},
    {kBadRange, "Attempt to read past the end of the object"},
    {kDesignNotFound, "Design note not found"},
    {kBadValue, "A stored value is damaged"},
    {kNoSuchInfoField, "The database title has no such field"},
    {kServerUnknown, "Unknown server name"},
    {kServerNotResponding, "The server is not responding"},
    {kBadName, "Invalid name"},
    {kServerRefused, "The server refused the connection"},
    {kServerNotTrusted, "The server's certificate is not trusted"},
    {kFormulaDamaged, "The compiled formula is damaged or of an unknown kind"},
    {kFormulaRuntime, "The formula could not be computed"},
    {kFormulaTooComplex, "The formula is too complex"},
};

} // namespace

Status MessageText(Status status, char* buffer, std::size_t size, std::size_t* length) {
    const Status number = MessageNumber(status);
    for (const MessageRow& row : kMessages)
        if (row.number == number) {
            vlt::PutText(row.text, buffer, size, length);
            return kNoError;
        }
    vlt::PutText("", buffer, size, length);
    return kInvalidArgument;
}

} // namespace store
