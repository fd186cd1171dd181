// A node with a type id, an image and a label.
#pragma once

#include <string>

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

    std::string_view GetLabel() const override { return label_; }
    void SetLabel(std::string_view text);
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

private:
    NodeTypeId type_ = 0;
    NodeImage image_{};
    std::string label_ = "(Bogus)";
};
