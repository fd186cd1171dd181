#include "store/ItemScan.h"

#include "store/api/Items.h"

namespace {

struct Walk {
    ItemScanCallback callback;
    void* context;
};

store::Status Visit(const store::ItemEntry& entry, void* context) {
    const auto* walk = static_cast<const Walk*>(context);
    ItemScanInfo info;
    info.flags = entry.flags;
    info.name = entry.name;
    // Names are shown as a buffer of kItemNameBuffer would hold them: longer ones cut short.
    info.nameLength = static_cast<std::uint16_t>(
        entry.nameLength < store::kItemNameBuffer ? entry.nameLength : store::kItemNameBuffer - 1);
    info.item = entry.item;
    info.type = entry.type;
    info.value = entry.value;
    info.valueLength = entry.valueLength;
    return walk->callback(info, walk->context);
}

} // namespace

store::Status ScanItems(store::NoteHandle note, ItemScanCallback callback, void* context) {
    Walk walk{callback, context};
    return store::WalkItems(note, Visit, &walk);
}
