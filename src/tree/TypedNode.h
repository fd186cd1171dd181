// A node with a type id, an image and a label.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tree/NodeLabel.h"
#include "tree/NodeTypes.h"
#include "tree/TypeSet.h"
#include "treelist/TreeListNode.h"

class CTypedNode : public CTreeListNode {
public:
    explicit CTypedNode(CTreeListNode* parent = nullptr);

    NodeTypeId GetTypeId() const { return type_; }
    void SetTypeId(NodeTypeId type);
    void SetImage(NodeImage image) { image_ = image; }
    std::optional<NodeImage> GetImage() const override { return image_; }

    std::string_view GetLabel() const override { return label_.View(); }
    void SetLabel(std::string_view text);
    // Shows text as the label without a copy; the text must outlive the node or the next
    // change of its label.
    void SetLabelBorrowed(std::string_view text);
    // printf-style; the result is cut to 511 bytes (at a character boundary).
    void SetLabelFormat(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // The first length bytes of text, or all of it when length is -1.
    void SetLabelText(const char* text, int length);

    // Type first, then the labels ignoring letter case.
    int Compare(const CTreeListNode& other) const override;
    // The type and the first 15 letter-case-folded bytes of the label.
    SortKey GetSortKey() const override;
    const CTypedNode* AsTyped() const override { return this; }
    // If this node's type is in the set: expands it when it has no children, then every typed
    // child in turn.
    virtual bool ExpandTypes(const CTypeSet& types);
    // The stored bytes the node stands for, as Save Bytes writes them (an item's value, a
    // record, an object's data, a metafile's segments joined), in place of what bytes held;
    // false, with bytes empty, when the node has none or they cannot be read. Unlike
    // CDocNode::NodeBytes (the bytes its own fields describe) this may gather data from beyond
    // the node.
    virtual bool GetBytes(std::vector<std::uint8_t>& bytes) const {
        bytes.clear();
        return false;
    }

protected:
    // Empties the label without a notice: for a destructor whose label borrows from the node.
    void DropLabel() { label_.Assign({}); }

private:
    NodeTypeId type_ = 0;
    NodeImage image_{};
    CNodeLabel label_{"(Bogus)"};
};
