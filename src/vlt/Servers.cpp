// The store's server calls over the registry of named servers.
#include <cstring>

#include "store/api/Servers.h"
#include "vlt/Environment.h"
#include "vlt/ServerRegistry.h"

namespace store {

Status ServerNames(MemHandle* list, std::size_t* size) {
    if (!list)
        return kInvalidArgument;
    *list = 0;
    const auto registry = vlt::Servers();
    const auto& servers = registry->servers();
    // The registry never holds more than fit the 16-bit layout, but guard the count anyway.
    const std::size_t count = servers.size() > 0xFFFF ? 0xFFFF : servers.size();
    std::size_t total = 2 + 2 * count;
    for (std::size_t i = 0; i < count; ++i)
        total += servers[i]->Name().size();
    const MemHandle h = MemAlloc(total);
    if (!h)
        return kOutOfMemory;
    LockedMem mem(h);
    std::uint8_t* p = mem.bytes();
    const auto put16 = [&p](std::size_t v) {
        *p++ = std::uint8_t(v);
        *p++ = std::uint8_t(v >> 8);
    };
    put16(count);
    for (std::size_t i = 0; i < count; ++i)
        put16(servers[i]->Name().size());
    for (std::size_t i = 0; i < count; ++i) {
        const std::string& name = servers[i]->Name();
        std::memcpy(p, name.data(), name.size());
        p += name.size();
    }
    *list = h;
    if (size)
        *size = total;
    return kNoError;
}

Status GetServerLatency(const char* server, ServerLatency* latency) {
    if (!server || !latency)
        return kInvalidArgument;
    const auto registry = vlt::Servers();
    const vlt::Server* s = registry->Find(server);
    if (!s)
        return kServerUnknown;
    ServerLatency result;
    if (Status st = s->Latency(&result); st != kNoError)
        return st;
    *latency = result;
    return kNoError;
}

} // namespace store
