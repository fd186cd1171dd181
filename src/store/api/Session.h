// Start and end of the store service, the hooks through which the engine reaches the program,
// and the environment settings.
//
// Every store call also works without SessionStart: the first call that needs the data directory
// or the server settings loads them (lazy defaults). SessionStart loads them afresh, so a program
// that changes DELVEX_DATA_DIR or the settings file before starting sees the change.
//
// Where the settings come from, first found wins:
//   the data directory ("Directory"): a value set with SetEnvironmentValue, the environment
//     variable DELVEX_DATA_DIR, the key Directory of the store settings file, and last
//     ~/.local/share/delvex/data;
//   the store settings file: the environment variable DELVEX_STORE_SETTINGS, else
//     $XDG_CONFIG_HOME/delvex/store.ini, else ~/.config/delvex/store.ini; its section
//     [Environment] holds the environment settings by name;
//   the named servers: "servers.ini" in the data directory (see store/api/Servers.h).
#pragma once

#include <cstddef>

#include "store/api/Status.h"

namespace store {

// Loads the data directory and the server settings. A missing settings file or server list is
// not an error (there are then no settings and no servers).
Status SessionStart();
// Forgets the loaded settings, the values set and the hooks; a later call loads the defaults.
void SessionEnd();
bool SessionStarted();
// What the loaded settings held that could not be used, one line each ending in '\n', each
// naming its file and the problem ("/data/servers.ini: line 4: junk"); empty when all was well.
Status GetSessionNotes(char* buffer, std::size_t size, std::size_t* length = nullptr);

// Button sets of a message the engine puts to the user, and the answers the hook returns.
enum class MessageButtons : int {
    Ok = 0,
    OkCancel = 1,
    YesNo = 2,
    YesNoCancel = 3,
    RetryCancel = 4,
    NoneInformation = 5, // shown without an answer: the hook returns 0
    NoneProgress = 6,    // likewise
};
constexpr int kAnswerNone = 0;
constexpr int kAnswerOk = 295;
constexpr int kAnswerYes = 296;
constexpr int kAnswerNo = 297;
constexpr int kAnswerCancel = 298;
constexpr int kAnswerRetry = 299;

// The engine asks the program to show a message: either text (terminated) or, when text is
// null, the message of status. Returns one of the answers above, kAnswerNone when there is none.
using MessageHook = int (*)(const char* text, Status status, MessageButtons buttons, void* context);
// The engine asks whether the user has cancelled: nonzero means cancelled.
using BreakHook = int (*)(void* context);

// Registers a hook (null removes it). Without a message hook messages get kAnswerNone; without a
// break hook nothing is ever cancelled.
void SetMessageHook(MessageHook hook, void* context);
void SetBreakHook(BreakHook hook, void* context);

// An environment setting by name (letter case is ignored), e.g. "Directory". Absent:
// kNotAvailable and an empty text. Buffer rules as for the conversions (terminated, never
// overrun, kBufferTooSmall when truncated).
Status GetEnvironmentValue(const char* name, char* buffer, std::size_t size,
                           std::size_t* length = nullptr);
// Sets a value for the rest of the session (not written anywhere); a null value removes it.
// Setting "Directory" moves the data directory and reloads the server settings.
Status SetEnvironmentValue(const char* name, const char* value);

} // namespace store
