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
    if (!bytes_) {
        const store::BlockId block = ValueBlock();
        std::size_t held = 0;
        bytes_ = static_cast<const std::uint8_t*>(store::MemLockBlock(block, &held));
        if (!bytes_)
            return;
        length_ = static_cast<std::uint32_t>(std::min<std::size_t>(ValueLength(), held));
    }
    AddRecordNodes(*this, *factory, bytes_, length_);
}
