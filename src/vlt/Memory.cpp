// Memory handles: a table of owned byte blocks. Handles are never reused while the process
// runs, so a stale handle is reported as unknown instead of reaching someone else's block.
#include <cstring>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "store/api/Memory.h"

namespace store {
namespace {

// One block per open note among others: a pointer and a size, not a vector's three words.
struct Block {
    std::unique_ptr<std::uint8_t[]> bytes;
    std::size_t size = 0;
    unsigned locks = 0;
};

struct Table {
    std::mutex mutex;
    std::unordered_map<MemHandle, Block> blocks;
    MemHandle next = 1;
};

Table& table() {
    static Table t;
    return t;
}

} // namespace

MemHandle MemAlloc(std::size_t size) {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    if (t.next == 0) // every handle of the 32-bit range has been given out
        return 0;
    const MemHandle h = t.next++;
    Block& b = t.blocks[h];
    // At least one byte, so that even a zero-size block locks to a valid pointer.
    b.bytes = std::make_unique<std::uint8_t[]>(size ? size : 1);
    b.size = size;
    return h;
}

void* MemLock(MemHandle h) {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    auto it = t.blocks.find(h);
    if (it == t.blocks.end())
        return nullptr;
    ++it->second.locks;
    return it->second.bytes.get();
}

void* MemLockBlock(BlockId id) {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    auto it = t.blocks.find(id.pool);
    if (it == t.blocks.end() || id.offset > it->second.size)
        return nullptr;
    ++it->second.locks;
    return it->second.bytes.get() + id.offset;
}

void* MemLockBlock(BlockId id, std::size_t* held) {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    auto it = t.blocks.find(id.pool);
    if (it == t.blocks.end() || id.offset > it->second.size) {
        *held = 0;
        return nullptr;
    }
    ++it->second.locks;
    *held = it->second.size - id.offset;
    return it->second.bytes.get() + id.offset;
}

void MemUnlock(MemHandle h) {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    auto it = t.blocks.find(h);
    if (it != t.blocks.end() && it->second.locks > 0)
        --it->second.locks;
}

Status MemFree(MemHandle h) {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    return t.blocks.erase(h) ? kNoError : kInvalidHandle;
}

std::size_t MemSize(MemHandle h) {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    auto it = t.blocks.find(h);
    return it == t.blocks.end() ? 0 : it->second.size;
}

} // namespace store
