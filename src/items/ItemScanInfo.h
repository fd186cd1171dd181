// What the item walk of a note hands over for each item: enough to make its node without
// reading the item again.
#pragma once

#include <cstdint>

#include "store/api/Memory.h"

struct ItemScanInfo {
    std::uint16_t flags = 0;
    const char* name = nullptr; // not terminated; nameLength bytes
    std::uint16_t nameLength = 0;
    store::BlockId item; // the item itself (where the walk continues)
    std::uint16_t type = 0;
    store::BlockId value;          // the value: type word first
    std::uint32_t valueLength = 0; // includes the 16-bit type word
};
