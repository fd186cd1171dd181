// What a formula reads of a stored note: its row and its items' bytes.
#pragma once

#include <vector>

#include "vlt/Engine.h"
#include "vlt/formula/NoteContext.h"

namespace vlt {

// Items: NoteItems or ItemTable.
template <class Items> class StoredNoteContext : public formula::NoteContext {
public:
    // `base` holds the items' values (NoteItem offsets are relative to it) and outlives this.
    StoredNoteContext(const NoteRow& row, const Items& items, const std::uint8_t* base)
        : row_(row), items_(items), base_(base) {}

    bool FindItem(std::string_view name, formula::ItemValue* value) const override {
        for (std::size_t k = 0; k < items_.size(); ++k) {
            const NoteItem& i = items_[k];
            if (EqualsIgnoreCase(items_.name(i), name)) {
                if (value)
                    *value = {i.type, base_ + i.offset + 2, i.length - 2u};
                return true;
            }
        }
        return false;
    }
    std::uint32_t NoteId() const override { return row_.id; }
    std::uint16_t NoteClass() const override { return row_.noteClass; }
    store::TimeDate Created() const override { return row_.created; }
    store::TimeDate Modified() const override { return row_.modified; }
    bool IsResponse() const override { return FindItem("$REF", nullptr); }

private:
    const NoteRow& row_;
    const Items& items_;
    const std::uint8_t* base_;
};

} // namespace vlt
