// Store paths and names.
//
// A store path is a local path (absolute, or relative to the data directory; '\' and '/' both
// separate its parts) or a network path "server!!file", whose file lies in the directory that
// server serves. An empty file names the directory itself: "" the data directory, "Hub!!" the
// directory of server Hub. ".." may not climb out of the data directory or a server's directory.
#pragma once

#include <cstddef>

#include "store/api/Status.h"

namespace store {

constexpr char kServerSeparator[] = "!!";

// "server!!file"; a null or empty server gives the file unchanged. A server name that holds
// "!!" itself gives kBadPath. Buffer rules as for the conversions.
Status JoinNetPath(const char* server, const char* file, char* buffer, std::size_t size,
                   std::size_t* length = nullptr);
// Splits at the first "!!": the server part (empty for a local path) and the file part, each
// terminated in its buffer. The path need not be terminated (length bytes are read). A part
// that does not fit gives kBufferTooSmall.
Status SplitNetPath(const char* path, std::size_t length, char* server, std::size_t serverSize,
                    char* file, std::size_t fileSize);

// A hierarchical name in display form: "CN=Ann Lee/OU=Sales/O=Acme" -> "Ann Lee/Sales/Acme".
// Names without "=" are already in display form and come back unchanged. A name that cannot be
// read (an unknown or empty component) gives kBadName and the input copied to the buffer.
Status NameToDisplay(const char* name, std::size_t length, char* buffer, std::size_t size,
                     std::size_t* resultLength = nullptr);

// The file-system path a store path names (resolved as the engine opens it); kServerUnknown for
// an unknown server, kBadPath for a path that cannot be resolved.
Status ResolveStorePath(const char* path, std::size_t length, char* buffer, std::size_t size,
                        std::size_t* resultLength = nullptr);

} // namespace store
