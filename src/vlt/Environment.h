// Where the engine finds things (the data directory, the files that store paths name, the named
// servers) and how it reaches the program (the message and break hooks).
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "store/api/Session.h"
#include "store/api/Status.h"

namespace vlt {

class ServerRegistry;

// The data directory: an absolute file-system path without a trailing separator.
std::string DataDirectory();

// Turns a store path into a file-system path. A store path is a local path (absolute, or
// relative to the data directory, with '\' or '/' between its parts) or a network path
// "server!!file", whose file is relative to the directory that server serves. ".." never leads
// out of the data directory or the server's directory, and for a server neither does a
// symbolic link (kBadPath; *why, when given, then says so).
store::Status ResolvePath(std::string_view path, std::string* file, std::string* why = nullptr);

// Resolves `relative` (the file part of a network path) inside `base`, the folder a server
// serves, as ResolvePath does for a server of this machine; `server` names it in *why.
store::Status ResolveInFolder(const std::string& base, std::string_view relative,
                              const std::string& server, std::string* file,
                              std::string* why = nullptr);

// Asks the break hook whether the user has cancelled: kCancelled then, else kNoError. Long
// engine operations (searches, walks) call it between steps.
store::Status PollBreak();

// Puts a message to the user through the message hook; kAnswerNone without one.
int AskUser(const char* text, store::Status status, store::MessageButtons buttons);

// The named servers of the current session (loaded on first use). The registry stays valid for
// as long as the pointer is held, even if the session is restarted meanwhile.
std::shared_ptr<const ServerRegistry> Servers();

} // namespace vlt
