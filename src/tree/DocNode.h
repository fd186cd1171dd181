// A typed node that belongs to a document: it becomes the document's current node when
// selected, passes the document to its children and describes itself into a field writer.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "tree/ChildStream.h"
#include "tree/TypedNode.h"

class CFieldWriter;
class CNodeDocument;

class CDocNode : public CTypedNode {
public:
    explicit CDocNode(CNodeDocument* document = nullptr, CTreeListNode* parent = nullptr);
    ~CDocNode() override;

    CNodeDocument* GetDocument() const { return document_; }
    void SetDocument(CNodeDocument* document) { document_ = document; }

    void Redraw(bool erase = true) override;
    CDocNode* AsDoc() override { return this; }
    using CTypedNode::AsDoc;
    bool AddChild(CTreeListNode* child) override;
    bool InsertAfter(CTreeListNode* node) override;
    bool DeleteNode() override;
    void OnSelect(bool selected) override;

    // The flags are the view-update hints; nodes whose label depends on options rebuild it.
    virtual void OnOptionsChanged(std::uint32_t /*flags*/) {}
    virtual void WriteBegin(CFieldWriter& /*writer*/) {}
    virtual void WriteFields(CFieldWriter& /*writer*/) {}
    virtual void WriteEnd(CFieldWriter& /*writer*/) {}
    // The stored bytes the node decodes (an item's value, a record), which the byte ranges of
    // its fields point into; false for a node that has none.
    virtual bool NodeBytes(std::span<const std::uint8_t>& /*bytes*/) const { return false; }
    // For a dump of this collapsed node: its children one at a time instead of an expansion,
    // or null when it has no such way (the dump then expands it as usual).
    virtual std::unique_ptr<CChildStream> StreamChildren(const ChildStreamLimits& /*limits*/) {
        return nullptr;
    }

protected:
    const CommandMap& GetCommandMap() const override;

private:
    void GiveDocument(CTreeListNode* node) const;
    CNodeDocument* document_;
};
