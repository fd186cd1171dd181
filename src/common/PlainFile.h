// Opening files that come from outside the program: databases, settings, descriptions, link
// files. Only plain files are ever opened. A named pipe, a device or a socket in a file's place
// would block the reader or never end, so it is refused before a byte is read.
#pragma once

#include <cstddef>
#include <string>

// Opens `path` (symbolic links followed) read-only when it is a plain file, and returns the
// descriptor (close-on-exec, blocking). Returns -1 with *err set otherwise: the errno of the
// failure, EISDIR for a directory, or EINVAL for anything else that is not a plain file.
int OpenPlainFile(const std::string& path, int* err);

// Reads the whole plain file into *content. Returns 0 or the errno of the failure as
// OpenPlainFile gives it, or EFBIG when it holds more than `limit` bytes (then *content is left
// empty).
int ReadPlainFile(const std::string& path, std::string* content, std::size_t limit);

// The reason for an errno of the two above: "not a plain file" for EINVAL, else its text.
std::string PlainFileError(int err);
