// Writes a database description into a new .vlt file.
#pragma once

#include <string>

#include "vlt/builder/Description.h"
#include "vlt/builder/RecordStreams.h"

namespace vlt::builder {

// Checks the description first (unique note and object IDs, parents and object owners that
// exist, item names and role names within their limits, ...). The file is written under a
// temporary name beside `path` and renamed at the end, so a failure leaves no file behind and
// never a half-written one under `path`. On failure *error says what is wrong.
bool WriteDatabase(const DatabaseDesc& desc, const std::string& path, std::string* error);

// Reads the description at `descriptionPath` and writes it to `path` as WriteDatabase does, but
// each note goes into the file as soon as it is read and is then dropped, so that the notes'
// values are never all held at once. Messages are those of LoadDescription then WriteDatabase.
bool BuildDatabase(const std::string& descriptionPath, const std::string& path, std::string* error,
                   RecordStreamEncoder records = nullptr);

// The check alone: an empty text when the description can be written.
std::string CheckDescription(const DatabaseDesc& desc);

} // namespace vlt::builder
