// Whole-file reads and all-or-nothing file replacement.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Reads the whole file into *content, only if it is a plain file (see ReadPlainFile). Returns 0
// or the errno of the failure: ENOENT when there is no such file, EISDIR for a directory,
// EINVAL for anything else that is not a regular file, EFBIG when it holds more than `limit`
// bytes (then *content is left empty).
int ReadWholeFile(const std::string& path, std::string* content, std::size_t limit);

// Replaces the file's content with `content` so that a reader sees either the old file or the
// new one, never a part: the bytes go to a new file in the same directory, which is flushed to
// the disk and then renamed over the old one. An existing file's permissions are kept, and one
// that is read-only (no write permission for anyone, or none for us) is refused. A path that is
// a symbolic link, or a chain of them, replaces the file at its end, even one not there yet, and
// the links stay. On failure the old file is untouched, the new one is removed and *error says
// which step failed and why ("a temporary file could not be created in /dir (Permission
// denied)").
bool ReplaceFileContent(const std::string& path, std::string_view content, std::string* error);
