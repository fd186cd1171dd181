// Searching a directory handle: its databases, templates and subdirectories.
#pragma once

#include <filesystem>

#include "store/api/Search.h"
#include "vlt/Engine.h"

namespace vlt {

store::Status SearchDirectory(const OpenDb& dir, std::uint16_t classMask,
                              store::SearchCallback callback, void* context);

// A file-system time as a store time stamp in GMT.
store::TimeDate StampOfFileTime(std::filesystem::file_time_type t);

} // namespace vlt
