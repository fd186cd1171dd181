// What the engine and the network client module (delvex-remote.so) say to each other. The module
// holds the RPC framework; the engine opens it on the first Client::Create and finds its calls
// through the one entry point below. Both sides are built from the same tree by the same
// compiler, so the calls pass the engine's own types; kModuleRelease refuses a module of another
// build of these calls.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "store/api/Status.h"
#include "vlt/remote/Client.h"

namespace vlt::remote {

// Raised whenever a call below changes its form.
constexpr std::uint32_t kModuleRelease = 1;

// The certificate files of a ClientConfig, read by the engine (empty when not given).
struct ClientPems {
    std::string authority;
    std::string certificate;
    std::string key;
};

// One channel to one server, the module's own.
struct Connection;

struct ModuleCalls {
    std::uint32_t release; // kModuleRelease of the module's build
    // Null with *problem set when the channel cannot be made.
    Connection* (*connect)(const ClientConfig& config, const ClientPems& pems,
                           std::string* problem);
    void (*close)(Connection* connection);
    store::Status (*hello)(Connection* connection, HelloResult* result);
    store::Status (*stat)(Connection* connection, const std::string& path, bool* isDirectory,
                          std::uint64_t* size);
    store::Status (*read)(Connection* connection, const std::string& path, std::uint64_t offset,
                          std::uint32_t length, std::string* data);
    store::Status (*list)(Connection* connection, const std::string& path, std::uint16_t classMask,
                          std::vector<std::string>* summaries);
    // The text of the last failure of the calling thread's calls.
    std::string (*lastDetail)();
};

// The module's entry point: `cancelled` is asked every few tens of milliseconds while a call
// waits, and true cancels the call.
using ModuleEntry = const ModuleCalls* (*)(bool (*cancelled)());
inline constexpr const char* kModuleEntryName = "delvex_remote_module";

} // namespace vlt::remote
