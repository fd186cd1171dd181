// Items whose value is a record stream (rich text, queries, actions, navigator data): the
// records are the node's children.
#pragma once

#include <cstdint>
#include <memory>

#include "items/ItemNode.h"
#include "records/RecordStream.h"

class TNItemComposite : public TNItem {
public:
    TNItemComposite(store::NoteHandle note, const ItemScanInfo& info, CNodeDocument* document);
    ~TNItemComposite() override;

    bool IsExpandable() const override { return Factory() != nullptr; }
    void AddChildren() override;
    bool CollapseChildren() override;

private:
    // Shared by every item of the type (null for a type without records).
    const CdRecordFactory* Factory() const { return SharedRecordFactory(ItemType()); }

    // The record nodes point into the value, so it stays locked from the first expansion until
    // the node goes.
    const std::uint8_t* bytes_ = nullptr;
    // The labels of the records, which they show, from their expansion until they go.
    std::unique_ptr<char[]> labels_;
};
