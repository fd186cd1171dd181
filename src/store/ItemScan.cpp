#include "store/ItemScan.h"

#include "store/api/Items.h"

store::Status ScanItems(store::NoteHandle note, ItemScanCallback callback, void* context) {
    store::BlockId item;
    store::Status status = store::FindItem(note, nullptr, &item, nullptr, nullptr, nullptr);
    while (status == store::kNoError) {
        char name[store::kItemNameBuffer] = {};
        ItemScanInfo info;
        status = store::ItemInfo(note, item, name, sizeof name, &info.nameLength, &info.flags,
                                 &info.type, &info.value, &info.valueLength);
        if (status != store::kNoError)
            return status;
        // The name buffer holds at most kItemNameBuffer - 1 bytes of a longer name.
        if (info.nameLength >= sizeof name)
            info.nameLength = sizeof name - 1;
        info.name = name;
        info.item = item;
        status = callback(info, context);
        if (status != store::kNoError)
            return status;
        status = store::FindNextItem(note, item, nullptr, &item, nullptr, nullptr, nullptr);
    }
    return status == store::kNoMoreItems ? store::kNoError : status;
}
