#include "tree/DocNode.h"

#include "tree/CommandIds.h"
#include "tree/NodeDocument.h"

CDocNode::CDocNode(CNodeDocument* document, CTreeListNode* parent)
    : CTypedNode(parent), document_(document) {}

CDocNode::~CDocNode() {
    // Collapsing a parent destroys its children without DeleteNode's notice to the document;
    // the document must still never keep a current node that is gone.
    if (document_) {
        document_->NodeDestroyed(*this);
    }
}

void CDocNode::GiveDocument(CTreeListNode* node) const {
    if (CDocNode* doc = node ? node->AsDoc() : nullptr) {
        doc->document_ = document_;
    }
}

void CDocNode::Redraw(bool erase) {
    CTypedNode::Redraw(erase);
    if (document_) {
        document_->UpdateAllViews(hint::kNone);
    }
}

bool CDocNode::AddChild(CTreeListNode* child) {
    GiveDocument(child);
    return CTypedNode::AddChild(child);
}

bool CDocNode::InsertAfter(CTreeListNode* node) {
    GiveDocument(node);
    return CTypedNode::InsertAfter(node);
}

bool CDocNode::DeleteNode() {
    CNodeDocument* document = document_; // `this` is gone after a successful delete
    if (!CTypedNode::DeleteNode()) {
        return false;
    }
    if (document) {
        document->SetCurrentNode(nullptr);
        document->UpdateAllViews(hint::kCurrentNode);
    }
    return true;
}

void CDocNode::OnSelect(bool selected) {
    if (selected && document_) {
        document_->SetCurrentNode(this);
        document_->UpdateAllViews(hint::kCurrentNode);
    }
}

namespace {
void OnWhatsThis(CCommandTarget& target) {
    auto& node = static_cast<CDocNode&>(target);
    if (const std::uint32_t context = node.GetHelpContext(); context != 0 && node.GetDocument()) {
        node.GetDocument()->ShowHelp(context);
    }
}
constexpr CommandEntry kDocNodeCommands[] = {{cmd::kWhatsThis, OnWhatsThis, nullptr}};
} // namespace

const CommandMap& CDocNode::GetCommandMap() const {
    static const CommandMap map{&CCommandTarget::GetCommandMap(), kDocNodeCommands};
    return map;
}
