// Memory handles: variable-size results of store calls.
//
// A handle names a block owned by the store. Lock it to get a pointer to its bytes, unlock it
// when the pointer is no longer used, and free it when it is no longer needed; whoever obtained
// a handle frees it. Item values are reached through a BlockId: a handle and the offset of the
// value inside that block; the value's bytes start with the 16-bit type word.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>

#include "store/api/Status.h"

namespace store {

using MemHandle = std::uint32_t; // 0: no handle

struct BlockId {
    MemHandle pool = 0;
    std::uint32_t offset = 0;
    bool IsNull() const { return pool == 0; }
};

// The block's bytes, or null for an unknown handle. Locks nest; each lock needs an unlock.
void* MemLock(MemHandle h);
// The bytes of a value block: the block's bytes plus the offset, or null.
void* MemLockBlock(BlockId id);
// The same, and in *held the bytes the block holds from there to its end (0 with null): one
// look-up of the block where a reader needs both.
void* MemLockBlock(BlockId id, std::size_t* held);
void MemUnlock(MemHandle h);
// Frees the block; unknown handles are ignored. Returns kInvalidHandle for them.
Status MemFree(MemHandle h);
// The block's size in bytes, 0 for an unknown handle.
std::size_t MemSize(MemHandle h);
// A new block of the given size, zero-filled; 0 on failure. The store uses it for results;
// callers may use it for values they hand to the store.
MemHandle MemAlloc(std::size_t size);

// Keeps a handle locked for its lifetime.
class LockedMem {
public:
    explicit LockedMem(MemHandle h) : handle_(h), bytes_(h ? MemLock(h) : nullptr) {}
    ~LockedMem() {
        if (bytes_)
            MemUnlock(handle_);
    }
    LockedMem(const LockedMem&) = delete;
    LockedMem& operator=(const LockedMem&) = delete;
    const std::uint8_t* bytes() const { return static_cast<const std::uint8_t*>(bytes_); }
    std::uint8_t* bytes() { return static_cast<std::uint8_t*>(bytes_); }
    std::size_t size() const { return bytes_ ? MemSize(handle_) : 0; }
    explicit operator bool() const { return bytes_ != nullptr; }

private:
    MemHandle handle_;
    void* bytes_;
};

// Owns a handle and frees it at the end of its lifetime.
class OwnedMem {
public:
    OwnedMem() = default;
    explicit OwnedMem(MemHandle h) : handle_(h) {}
    ~OwnedMem() { reset(); }
    OwnedMem(OwnedMem&& o) noexcept : handle_(std::exchange(o.handle_, 0)) {}
    OwnedMem& operator=(OwnedMem&& o) noexcept {
        if (this != &o) {
            reset();
            handle_ = std::exchange(o.handle_, 0);
        }
        return *this;
    }
    OwnedMem(const OwnedMem&) = delete;
    OwnedMem& operator=(const OwnedMem&) = delete;
    MemHandle get() const { return handle_; }
    MemHandle* out() {
        reset();
        return &handle_;
    }
    MemHandle release() { return std::exchange(handle_, 0); }
    void reset() {
        if (handle_)
            MemFree(handle_);
        handle_ = 0;
    }
    explicit operator bool() const { return handle_ != 0; }

private:
    MemHandle handle_ = 0;
};

} // namespace store
