// Items whose value is a record stream (rich text, queries, actions, navigator data): the
// records are the node's children.
#pragma once

#include <memory>

#include "items/ItemNode.h"
#include "records/RecordStream.h"

class TNItemComposite : public TNItem {
public:
    TNItemComposite(store::NoteHandle note, const ItemScanInfo& info, CNodeDocument* document,
                    std::unique_ptr<CdRecordFactory> factory);
    ~TNItemComposite() override;

    bool IsExpandable() const override { return factory_ != nullptr; }
    void AddChildren() override;

private:
    std::unique_ptr<CdRecordFactory> factory_;
    // The record nodes point into the value, so it stays locked from the first expansion until
    // the node goes.
    const std::uint8_t* bytes_ = nullptr;
    std::size_t length_ = 0;
};
