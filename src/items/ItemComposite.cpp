#include "items/ItemComposite.h"

#include <algorithm>

#include "store/api/Memory.h"

TNItemComposite::TNItemComposite(store::NoteHandle note, const ItemScanInfo& info,
                                 CNodeDocument* document, std::unique_ptr<CdRecordFactory> factory)
    : TNItem(note, info, document), factory_(std::move(factory)) {}

TNItemComposite::~TNItemComposite() {
    // The children point into the value: they go before the lock is given back.
    while (CTreeListNode* child = GetFirstChild())
        delete child;
    if (bytes_)
        store::MemUnlock(ValueBlock().pool);
}

void TNItemComposite::AddChildren() {
    if (!factory_)
        return;
    if (!bytes_) {
        const store::BlockId block = ValueBlock();
        bytes_ = static_cast<const std::uint8_t*>(store::MemLockBlock(block));
        if (!bytes_)
            return;
        const std::size_t size = store::MemSize(block.pool);
        const std::size_t held = size > block.offset ? size - block.offset : 0;
        length_ = std::min<std::size_t>(ValueLength(), held);
    }
    AddRecordNodes(*this, *factory_, bytes_, length_);
}
