// Where the engine finds things: the data directory and the files that store paths name.
#pragma once

#include <string>
#include <string_view>

#include "store/api/Status.h"

namespace vlt {

// The data directory: an absolute file-system path without a trailing separator.
std::string DataDirectory();

// Turns a store path into a file-system path. A store path is a local path (absolute, or
// relative to the data directory, with '\' or '/' between its parts) or a network path
// "server!!file", whose file is relative to the directory that server serves.
store::Status ResolvePath(std::string_view path, std::string* file);

// Asks the break hook whether the user has cancelled: kCancelled then, else kNoError. Long
// engine operations (searches, walks) call it between steps.
store::Status PollBreak();

} // namespace vlt
