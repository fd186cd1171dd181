// Keeps an item value locked for its lifetime and gives its bytes after the type word.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "store/api/Memory.h"

class LockedValue {
public:
    // valueLength counts the type word. The length is cut to what the block really holds, so
    // a wrong length from the walk can never take a reader past the block.
    LockedValue(store::BlockId block, std::uint32_t valueLength) : block_(block) {
        std::size_t held = 0;
        bytes_ = block.IsNull() ? nullptr
                                : static_cast<std::uint8_t*>(store::MemLockBlock(block, &held));
        if (bytes_)
            length_ = std::min<std::size_t>(valueLength, held);
    }
    ~LockedValue() {
        if (bytes_)
            store::MemUnlock(block_.pool);
    }
    LockedValue(const LockedValue&) = delete;
    LockedValue& operator=(const LockedValue&) = delete;

    explicit operator bool() const { return bytes_ != nullptr; }
    // The whole value, type word first.
    const std::uint8_t* Whole() const { return bytes_; }
    std::size_t WholeLength() const { return length_; }
    // The value proper, after the type word.
    const std::uint8_t* Data() const { return bytes_ && length_ >= 2 ? bytes_ + 2 : nullptr; }
    std::size_t DataLength() const { return length_ >= 2 ? length_ - 2 : 0; }

private:
    store::BlockId block_;
    std::uint8_t* bytes_ = nullptr;
    std::size_t length_ = 0;
};
