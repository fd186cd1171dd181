// The database path a user types on a command line, as the store is to open it.
//
// The store takes a relative path from its data directory, but a user who types one means the
// current folder first. So a relative path that names something in the current folder is made
// absolute; otherwise it is left as typed for the store (names like "discuss.vlt" of the data
// directory keep working). Server paths ("name!!...") and absolute paths are left as typed.
#pragma once

#include <string>

struct CommandLinePath {
    std::string path;    // what to open
    std::string problem; // when nothing is there: names the path as typed and the places
                         // looked in; path is then the typed text
};

// Needs the store session for the data directory.
CommandLinePath ResolveCommandLinePath(const std::string& typed);
