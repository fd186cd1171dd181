// The row "(- Hidden Forms -)" that stands for the hidden children of one type under a parent.
#pragma once

#include "tree/DocNode.h"

class CPlaceholderNode : public CDocNode {
public:
    explicit CPlaceholderNode(NodeTypeId type);

    const NodeTypeDescriptor& Descriptor() const { return *descriptor_; }

protected:
    const CommandMap& GetCommandMap() const override;

private:
    const NodeTypeDescriptor* descriptor_;
};
