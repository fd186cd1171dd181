// Chooses the item node class by item type.
#include "items/ItemNodeFactory.h"

#include <new>

#include "items/ItemComposite.h"
#include "items/ItemObject.h"

namespace {
constexpr std::uint16_t kTypeObject = 3;
} // namespace

CNoteNode* CreateItemNode(store::NoteHandle note, const ItemScanInfo& info,
                          CNodeDocument* document) {
    if (info.type == kTypeObject)
        return new (std::nothrow) TNItemObject(note, info, document);
    if (IsRecordStreamType(info.type))
        return new (std::nothrow) TNItemComposite(note, info, document);
    return new (std::nothrow) TNItem(note, info, document);
}
