// Databases: open a .vlt file (or a directory, whose searches list what it holds) read-only
// and read its information. Every call returns a status; none throws.
#pragma once

#include <cstddef>
#include <cstdint>

#include "store/api/Handles.h"
#include "store/api/Status.h"
#include "store/api/Time.h"

namespace store {

// Database files end in ".vlt", templates in ".vtf"; a directory search tells them apart by
// that extension (letter case ignored).
constexpr const char* kDatabaseExtension = ".vlt";
constexpr const char* kTemplateExtension = ".vtf";

// Opens a store path (local, or "server!!file") read-only. A directory gives a directory
// handle, usable only by Search and CloseDatabase; database calls on it give kIsDirectory.
// Failures: kFileNotFound, kFileAccess, kNotADatabase, kDatabaseCorrupt, kUnsupportedVersion,
// kBadPath; LastErrorDetail then names the file and the problem.
Status OpenDatabase(const char* path, DbHandle* db);
// kInvalidHandle for an unknown or already closed handle.
Status CloseDatabase(DbHandle db);

// The detail of this thread's last open, when it failed: the file and what is wrong with it;
// empty after an open that worked.
Status LastErrorDetail(char* buffer, std::size_t size);

struct ReplicaInfo {
    TimeDate replicaId;
    std::uint16_t flags = 0;          // bits 0..13 flags, bits 14..15 priority
    std::uint16_t cutoffInterval = 0; // days
    TimeDate cutoffDate;
};

Status DatabaseId(DbHandle db, TimeDate* id);
Status DatabaseClass(DbHandle db, std::uint16_t* dbClass);
Status DatabaseReplicaInfo(DbHandle db, ReplicaInfo* info);
Status DatabaseModifiedTimes(DbHandle db, TimeDate* dataModified, TimeDate* nonDataModified);
// kNotAvailable when the database has no options.
Status DatabaseOptions(DbHandle db, std::uint32_t* options);
// The whole "$Info" text (title, categories, template name, inherited template, separated by
// '\n'), truncated to the buffer (kBufferTooSmall then).
Status DatabaseInfo(DbHandle db, char* buffer, std::size_t size, std::size_t* length);
// The release number the database records for its machine (read from a machine's NAMES.VLT);
// kNotAvailable when it records none.
Status DatabaseBuildVersion(DbHandle db, std::uint16_t* version);

// Field `index` (0 title, 1 categories, 2 template name, 3 inherited template) of an "$Info"
// text of `length` bytes. A missing field is empty. The result is truncated to the buffer
// (kBufferTooSmall then) and always terminated when size > 0.
Status InfoField(const char* info, std::size_t length, unsigned index, char* buffer,
                 std::size_t size, std::size_t* fieldLength);

} // namespace store
