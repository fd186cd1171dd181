#include "vlt/RemoteServer.h"

#include <sqlite3.h>

#include <atomic>
#include <cstring>
#include <list>
#include <map>
#include <mutex>

#include "store/api/Paths.h"
#include "vlt/Environment.h"

namespace vlt {
namespace {

constexpr char kVfsName[] = "delvex-remote";
constexpr char kSqliteMagic[16] = {'S', 'Q', 'L', 'i', 't', 'e', ' ', 'f',
                                   'o', 'r', 'm', 'a', 't', ' ', '3', '\0'};
// Blocks of a file kept by the client, each one read of the server's.
constexpr std::size_t kCachedBlocks = 32;

// A server's file as SQLite reads it: through the server, in blocks, the latest kept.
struct RemoteFile {
    sqlite3_file base;
    struct State {
        std::shared_ptr<remote::Client> client;
        std::string path;
        std::uint64_t size = 0;
        std::mutex mutex;
        std::list<std::pair<std::uint64_t, std::string>> blocks; // most recent first
    } * state;
};

// Files being opened, by the name given to SQLite, until its open picks them up.
std::mutex pendingMutex;
std::map<std::string, RemoteFile::State*> pending;

int Close(sqlite3_file* f) {
    delete reinterpret_cast<RemoteFile*>(f)->state;
    return SQLITE_OK;
}

// The block at `start` from the cache or the server; null on failure.
const std::string* Block(RemoteFile::State& s, std::uint64_t start) {
    for (auto it = s.blocks.begin(); it != s.blocks.end(); ++it)
        if (it->first == start) {
            s.blocks.splice(s.blocks.begin(), s.blocks, it);
            return &s.blocks.front().second;
        }
    std::string data;
    if (s.client->Read(s.path, start, remote::kReadChunk, &data) != store::kNoError)
        return nullptr;
    s.blocks.emplace_front(start, std::move(data));
    if (s.blocks.size() > kCachedBlocks)
        s.blocks.pop_back();
    return &s.blocks.front().second;
}

int Read(sqlite3_file* f, void* out, int amount, sqlite3_int64 offset) {
    RemoteFile::State& s = *reinterpret_cast<RemoteFile*>(f)->state;
    if (amount < 0 || offset < 0)
        return SQLITE_IOERR_READ;
    std::lock_guard lock(s.mutex);
    auto* dest = static_cast<std::uint8_t*>(out);
    std::uint64_t at = std::uint64_t(offset);
    std::size_t left = std::size_t(amount);
    while (left > 0) {
        const std::uint64_t start = at - at % remote::kReadChunk;
        const std::string* block = Block(s, start);
        if (!block)
            return SQLITE_IOERR_READ;
        const std::uint64_t within = at - start;
        if (within >= block->size()) {
            // Past the end of the file: SQLite wants the rest zeroed.
            std::memset(dest, 0, left);
            return SQLITE_IOERR_SHORT_READ;
        }
        const std::size_t n = std::min<std::size_t>(left, block->size() - within);
        std::memcpy(dest, block->data() + within, n);
        dest += n;
        at += n;
        left -= n;
        if (left > 0 && block->size() < remote::kReadChunk) {
            std::memset(dest, 0, left);
            return SQLITE_IOERR_SHORT_READ;
        }
    }
    return SQLITE_OK;
}

int Write(sqlite3_file*, const void*, int, sqlite3_int64) {
    return SQLITE_READONLY;
}
int Truncate(sqlite3_file*, sqlite3_int64) {
    return SQLITE_READONLY;
}
int Sync(sqlite3_file*, int) {
    return SQLITE_OK;
}
int FileSize(sqlite3_file* f, sqlite3_int64* size) {
    *size = sqlite3_int64(reinterpret_cast<RemoteFile*>(f)->state->size);
    return SQLITE_OK;
}
// Read-only and immutable: nothing to lock.
int Lock(sqlite3_file*, int) {
    return SQLITE_OK;
}
int CheckReservedLock(sqlite3_file*, int* out) {
    *out = 0;
    return SQLITE_OK;
}
int FileControl(sqlite3_file*, int, void*) {
    return SQLITE_NOTFOUND;
}
int SectorSize(sqlite3_file*) {
    return 4096;
}
int DeviceCharacteristics(sqlite3_file*) {
    return SQLITE_IOCAP_IMMUTABLE;
}

const sqlite3_io_methods kMethods = {1,
                                     Close,
                                     Read,
                                     Write,
                                     Truncate,
                                     Sync,
                                     FileSize,
                                     Lock,
                                     Lock,
                                     CheckReservedLock,
                                     FileControl,
                                     SectorSize,
                                     DeviceCharacteristics,
                                     nullptr,
                                     nullptr,
                                     nullptr,
                                     nullptr,
                                     nullptr,
                                     nullptr};

int VfsOpen(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* f, int flags, int* outFlags) {
    auto* file = reinterpret_cast<RemoteFile*>(f);
    file->base.pMethods = nullptr;
    if (!name || !(flags & SQLITE_OPEN_MAIN_DB) || !(flags & SQLITE_OPEN_READONLY))
        return SQLITE_CANTOPEN;
    std::lock_guard lock(pendingMutex);
    const auto it = pending.find(name);
    if (it == pending.end())
        return SQLITE_CANTOPEN;
    file->state = it->second;
    pending.erase(it);
    file->base.pMethods = &kMethods;
    if (outFlags)
        *outFlags = SQLITE_OPEN_READONLY;
    return SQLITE_OK;
}

int VfsDelete(sqlite3_vfs*, const char*, int) {
    return SQLITE_IOERR_DELETE;
}
// No journal or other file ever lies beside a server's database.
int VfsAccess(sqlite3_vfs*, const char*, int, int* out) {
    *out = 0;
    return SQLITE_OK;
}
int VfsFullPathname(sqlite3_vfs*, const char* name, int size, char* out) {
    if (int(std::strlen(name)) >= size)
        return SQLITE_CANTOPEN;
    std::strcpy(out, name);
    return SQLITE_OK;
}
int VfsRandomness(sqlite3_vfs*, int n, char* out) {
    sqlite3_vfs* def = sqlite3_vfs_find(nullptr);
    return def->xRandomness(def, n, out);
}
int VfsSleep(sqlite3_vfs*, int us) {
    sqlite3_vfs* def = sqlite3_vfs_find(nullptr);
    return def->xSleep(def, us);
}
int VfsCurrentTime(sqlite3_vfs*, double* out) {
    sqlite3_vfs* def = sqlite3_vfs_find(nullptr);
    return def->xCurrentTime(def, out);
}
int VfsLastError(sqlite3_vfs*, int, char*) {
    return 0;
}

// Registered once, beside the default file system (never made the default).
bool RegisterVfs() {
    static sqlite3_vfs vfs = {1,
                              int(sizeof(RemoteFile)),
                              1024,
                              nullptr,
                              kVfsName,
                              nullptr,
                              VfsOpen,
                              VfsDelete,
                              VfsAccess,
                              VfsFullPathname,
                              nullptr,
                              nullptr,
                              nullptr,
                              nullptr,
                              VfsRandomness,
                              VfsSleep,
                              VfsCurrentTime,
                              VfsLastError,
                              nullptr,
                              nullptr,
                              nullptr,
                              nullptr};
    static const bool done = sqlite3_vfs_register(&vfs, 0) == SQLITE_OK;
    return done;
}

// Whether a summary buffer received from a server is laid out as the store lays one out: its
// total length is its size, and its count of pairs and their lengths fit in it.
bool WellFormedSummary(const std::string& s) {
    const auto u16 = [&s](std::size_t at) {
        return std::size_t(std::uint8_t(s[at])) | std::size_t(std::uint8_t(s[at + 1])) << 8;
    };
    if (s.size() < 4 || s.size() > 0xFFFF || u16(0) != s.size())
        return false;
    const std::size_t count = u16(2);
    std::size_t need = 4 + 4 * count;
    if (need > s.size())
        return false;
    for (std::size_t i = 0; i < count; ++i)
        need += u16(4 + 4 * i) + u16(6 + 4 * i);
    return need <= s.size();
}

} // namespace

std::unique_ptr<RemoteServer> RemoteServer::Make(Config config, std::string* problem) {
    // A call that waits on a server ends when the user breaks.
    remote::Client::SetCancelCheck([] { return PollBreak() != store::kNoError; });
    if (!RegisterVfs()) {
        *problem = "server \"" + config.name + "\": its databases cannot be read here";
        return nullptr;
    }
    return std::unique_ptr<RemoteServer>(new RemoteServer(std::move(config)));
}

std::shared_ptr<remote::Client> RemoteServer::Connect(std::string* problem) const {
    std::lock_guard lock(mutex_);
    if (!client_) {
        std::string why;
        client_ = remote::Client::Create(config_, &why);
        if (!client_)
            *problem = "server \"" + name_ + "\": " + why;
    }
    return client_;
}

store::Status RemoteServer::Latency(store::ServerLatency* latency) const {
    std::string problem;
    const auto client = Connect(&problem);
    if (!client)
        return store::kServerNotResponding;
    remote::HelloResult hello;
    if (store::Status s = client->Hello(&hello); s != store::kNoError)
        return s;
    latency->toServer = hello.toServerMs;
    latency->fromServer = hello.fromServerMs;
    latency->release = hello.release;
    return store::kNoError;
}

store::Status RemoteServer::LocalDirectory(std::string*) const {
    return store::kNotImplemented;
}

store::Status RemoteServer::Open(std::string_view file, OpenDb* open, std::string* detail) const {
    const std::string path(file);
    const auto fail = [&](store::Status s, const std::string& why) {
        *detail = open->storePath + ": " + why;
        return s;
    };
    std::string problem;
    const auto client = Connect(&problem);
    if (!client)
        return fail(store::kServerNotResponding, problem);
    bool isDirectory = false;
    std::uint64_t size = 0;
    if (store::Status s = client->Stat(path, &isDirectory, &size); s != store::kNoError)
        return fail(s, remote::Client::LastDetail());
    if (isDirectory) {
        open->isDirectory = true;
        open->remote = client;
        open->remotePath = path;
        return store::kNoError;
    }
    std::string head;
    if (store::Status s = client->Read(path, 0, 16, &head); s != store::kNoError)
        return fail(s, remote::Client::LastDetail());
    if (head.empty())
        return fail(store::kNotADatabase | store::kStatusRemote, "the file is empty");
    if (head.size() < 16 || std::memcmp(head.data(), kSqliteMagic, 16) != 0)
        return fail(store::kNotADatabase | store::kStatusRemote,
                    "not a database file (unknown header)");

    // A name of our own for SQLite, unique for the life of the process.
    static std::atomic<std::uint64_t> serial{0};
    const std::string name = "/" + std::string(kVfsName) + "/" + std::to_string(++serial);
    auto* state = new RemoteFile::State;
    state->client = client;
    state->path = path;
    state->size = size;
    {
        std::lock_guard lock(pendingMutex);
        pending[name] = state;
    }
    const store::Status s = DbFile::Open(name, &open->file, detail, kVfsName);
    {
        // Still pending: SQLite never opened it, so it is ours to free.
        std::lock_guard lock(pendingMutex);
        if (const auto it = pending.find(name); it != pending.end()) {
            delete it->second;
            pending.erase(it);
        }
    }
    if (s != store::kNoError) {
        // SQLite's failures to read mean the server stopped answering or refused.
        *detail = open->storePath + ": " + *detail;
        return s;
    }
    open->fsPath = open->storePath;
    return store::kNoError;
}

std::optional<store::Status> OpenRemotePath(std::string_view path, OpenDb* open,
                                            std::string* detail) {
    const std::size_t sep = path.find(store::kServerSeparator);
    if (sep == std::string_view::npos || sep == 0)
        return std::nullopt;
    const auto registry = Servers();
    const auto* server = dynamic_cast<const RemoteServer*>(registry->Find(path.substr(0, sep)));
    if (!server)
        return std::nullopt;
    return server->Open(path.substr(sep + 2), open, detail);
}

store::Status SearchRemoteDirectory(const OpenDb& dir, std::uint16_t classMask,
                                    store::SearchCallback callback, void* context) {
    std::vector<std::string> summaries;
    if (store::Status s = dir.remote->List(dir.remotePath, classMask, &summaries);
        s != store::kNoError)
        return s;
    std::uint32_t index = 0;
    for (const std::string& summary : summaries) {
        if (store::Status s = PollBreak(); s != store::kNoError)
            return s;
        // The summary comes from another machine: its layout is checked before anyone reads it.
        if (!WellFormedSummary(summary))
            return store::kBadValue | store::kStatusRemote;
        store::SEARCH_MATCH match;
        std::memset(&match, 0, sizeof match);
        ++index;
        std::memcpy(match.identity + 16, &index, 4);
        match.matchFlags = store::kMatchSelected;
        match.summaryLength = static_cast<std::uint16_t>(summary.size());
        if (store::Status s = callback(context, &match,
                                       reinterpret_cast<const store::ITEM_TABLE*>(summary.data()));
            s != store::kNoError)
            return s;
    }
    return store::kNoError;
}

} // namespace vlt
