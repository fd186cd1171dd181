// The base of every browsable node: children sorted by type and label, created by AddChildren
// through AcceptChild, which filters out hidden types and places one placeholder per hidden
// type and parent.
#pragma once

#include "tree/DocNode.h"

class CNoteNode : public CDocNode {
public:
    explicit CNoteNode(CNodeDocument* document = nullptr, CTreeListNode* parent = nullptr);

    std::uint32_t GetHelpContext() const override;
    // Runs AddChildren inside a placeholder pass.
    bool CreateChildren() override;
    // Expands the types of this node's expansion set.
    bool ExpandAll() override;

    // True when a child of this type is to be created now; otherwise may attach a placeholder
    // for the type (once per pass) and returns false.
    bool AcceptChild(NodeTypeId type);
    bool IsTypeShownOrHeld(NodeTypeId type) const;
    // Creates the children: asks AcceptChild before creating each, attaches them with AddChild.
    virtual void AddChildren() {}
    // AddChildren inside a placeholder pass again (re-population by the hide and show
    // commands). Only what is missing is added: a child equal to one the node already had (an
    // error node, which no type set holds back) is dropped again.
    void RunPlaceholderPass();

protected:
    const CommandMap& GetCommandMap() const override;
};

// The bracket of a placeholder pass: the types that already got a placeholder start empty.
// An enclosing pass gets its set back at the end.
class CPlaceholderPass {
public:
    CPlaceholderPass();
    ~CPlaceholderPass();
    CPlaceholderPass(const CPlaceholderPass&) = delete;
    CPlaceholderPass& operator=(const CPlaceholderPass&) = delete;

private:
    CTypeSet saved_;
};
