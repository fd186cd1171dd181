#include "items/ItemComposite.h"

#include <algorithm>

#include "store/api/Memory.h"

TNItemComposite::TNItemComposite(store::NoteHandle note, const ItemScanInfo& info,
                                 CNodeDocument* document)
    : TNItem(note, info, document) {}

TNItemComposite::~TNItemComposite() {
    // The children point into the value: they go before the lock is given back.
    while (CTreeListNode* child = GetFirstChild())
        delete child;
    if (bytes_)
        store::MemUnlock(ValueBlock().pool);
}

void TNItemComposite::AddChildren() {
    const CdRecordFactory* factory = Factory();
    if (!factory)
        return;
    const store::BlockId block = ValueBlock();
    if (!bytes_) {
        bytes_ = static_cast<const std::uint8_t*>(store::MemLockBlock(block));
        if (!bytes_)
            return;
    }
    // Asked again at each expansion rather than kept in every item node.
    const std::size_t size = store::MemSize(block.pool);
    const std::size_t held = size > block.offset ? size - block.offset : 0;
    // Records still showing an earlier block keep it; new ones keep their own labels then.
    AddRecordNodes(*this, *factory, bytes_, std::min<std::size_t>(ValueLength(), held),
                   RecordWalk::Cancellable, labels_ ? nullptr : &labels_);
}

bool TNItemComposite::CollapseChildren() {
    const bool collapsed = TNItem::CollapseChildren();
    if (!GetFirstChild())
        labels_.reset();
    return collapsed;
}
