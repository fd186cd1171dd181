// The item family: walking an open note's items and reading their information.
#include "store/api/Items.h"

#include "vlt/ByteWriter.h"
#include "vlt/Engine.h"

namespace store {
namespace {

Status Report(const vlt::OpenNote& n, std::size_t index, BlockId* item, std::uint16_t* type,
              BlockId* value, std::uint32_t* valueLength) {
    const vlt::NoteItem& i = n.items[index];
    const BlockId id{n.pool, i.offset};
    if (item)
        *item = id;
    if (type)
        *type = i.type;
    if (value)
        *value = id;
    if (valueLength)
        *valueLength = i.length;
    return kNoError;
}

// The first item at or after `from` whose name matches (any name when name is null).
Status FindFrom(const vlt::OpenNote& n, std::size_t from, const char* name, BlockId* item,
                std::uint16_t* type, BlockId* value, std::uint32_t* valueLength) {
    for (std::size_t i = from; i < n.items.size(); ++i)
        if (!name || vlt::EqualsIgnoreCase(n.items.name(n.items[i]), name))
            return Report(n, i, item, type, value, valueLength);
    return kNoMoreItems;
}

// The index of the item whose block ID is `id`, or the item count when there is none.
std::size_t IndexOf(const vlt::OpenNote& n, BlockId id) {
    if (id.pool != n.pool)
        return n.items.size();
    // Items lie in ascending offsets, so a binary search finds the one.
    std::size_t lo = 0, hi = n.items.size();
    while (lo < hi) {
        const std::size_t mid = (lo + hi) / 2;
        if (n.items[mid].offset < id.offset)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo < n.items.size() && n.items[lo].offset == id.offset ? lo : n.items.size();
}

} // namespace

Status FindItem(NoteHandle note, const char* name, BlockId* item, std::uint16_t* type,
                BlockId* value, std::uint32_t* valueLength) {
    std::shared_ptr<vlt::OpenNote> n = vlt::FindNote(note);
    if (!n)
        return kInvalidHandle;
    return FindFrom(*n, 0, name, item, type, value, valueLength);
}

Status FindNextItem(NoteHandle note, BlockId previous, const char* name, BlockId* item,
                    std::uint16_t* type, BlockId* value, std::uint32_t* valueLength) {
    std::shared_ptr<vlt::OpenNote> n = vlt::FindNote(note);
    if (!n)
        return kInvalidHandle;
    const std::size_t at = IndexOf(*n, previous);
    if (at == n->items.size())
        return kInvalidArgument;
    return FindFrom(*n, at + 1, name, item, type, value, valueLength);
}

Status ItemInfo(NoteHandle note, BlockId item, char* name, std::size_t nameSize,
                std::uint16_t* nameLength, std::uint16_t* flags, std::uint16_t* type,
                BlockId* value, std::uint32_t* valueLength) {
    std::shared_ptr<vlt::OpenNote> n = vlt::FindNote(note);
    if (!n)
        return kInvalidHandle;
    const std::size_t at = IndexOf(*n, item);
    if (at == n->items.size())
        return kInvalidArgument;
    const vlt::NoteItem& i = n->items[at];
    const std::string_view itemName = n->items.name(i);
    std::size_t len = itemName.size();
    if (name)
        vlt::CopyOut(itemName, name, nameSize, &len); // longer names are shown truncated
    if (nameLength)
        *nameLength = static_cast<std::uint16_t>(len > 0xFFFF ? 0xFFFF : len);
    if (flags)
        *flags = i.flags;
    return Report(*n, at, nullptr, type, value, valueLength);
}

Status WalkItems(NoteHandle note, ItemVisitor visitor, void* context) {
    std::shared_ptr<vlt::OpenNote> n = vlt::FindNote(note);
    if (!n)
        return kInvalidHandle;
    if (!visitor)
        return kInvalidArgument;
    // The note's items never change while it is open, and the shared pointer keeps them alive
    // even if the visitor closes the note.
    for (std::size_t k = 0; k < n->items.size(); ++k) {
        const vlt::NoteItem i = n->items[k];
        const BlockId id{n->pool, i.offset};
        const std::string_view name = n->items.name(i);
        const ItemEntry entry{id, name.data(), name.size(), i.flags, i.type, id, i.length};
        if (const Status s = visitor(entry, context); s != kNoError)
            return s;
    }
    return kNoError;
}

Status ItemValueToText(BlockId value, std::uint32_t valueLength, char separator, char* buffer,
                       std::size_t size, std::size_t* length) {
    if (buffer && size > 0)
        buffer[0] = '\0';
    if (length)
        *length = 0;
    // The caller's length is checked against the block: never read past it.
    if (value.IsNull())
        return kInvalidArgument;
    // One look-up of the block for its bytes and its size.
    std::size_t held = 0;
    const auto* bytes = static_cast<const std::uint8_t*>(MemLockBlock(value, &held));
    if (!bytes) // an unknown block holds nothing: only an empty value at its start is no overrun
        return value.offset > 0 || valueLength > 0 ? kInvalidArgument : kInvalidHandle;
    Status status = kInvalidArgument;
    if (valueLength <= held)
        status = ValueToText(bytes, valueLength, separator, buffer, size, length);
    MemUnlock(value.pool);
    return status;
}

} // namespace store
