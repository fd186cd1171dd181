// Searching a directory handle: its databases, templates and subdirectories.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "store/api/Search.h"
#include "vlt/Engine.h"

namespace vlt {

store::Status SearchDirectory(const OpenDb& dir, std::uint16_t classMask,
                              store::SearchCallback callback, void* context);

// The "$Path" of an entry `name` of the directory opened as `dirPath`: relative to the data
// directory of its machine (a server's name is not part of it), parts joined with '\'.
std::string EntryPathOf(std::string_view dirPath, std::string_view name);

// A file-system time as a store time stamp in GMT.
store::TimeDate StampOfFileTime(std::filesystem::file_time_type t);

} // namespace vlt
