// What a formula may read of the note it runs on. The engine implements it over its stored
// notes; tests implement it over plain values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "store/api/Time.h"

namespace vlt::formula {

// A stored item value: its type word and the bytes after it.
struct ItemValue {
    std::uint16_t type = 0;
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
};

class NoteContext {
public:
    virtual ~NoteContext() = default;
    // The first item of that name, compared without regard to ASCII letter case.
    virtual bool FindItem(std::string_view name, ItemValue* value) const = 0;
    virtual std::uint32_t NoteId() const = 0;
    virtual std::uint16_t NoteClass() const = 0;
    virtual store::TimeDate Created() const = 0;
    virtual store::TimeDate Modified() const = 0;
    // A response is a note with a "$REF" item naming its parent.
    virtual bool IsResponse() const = 0;
};

} // namespace vlt::formula
