#include "tree/NoteNode.h"

#include <unordered_set>
#include <vector>

#include "tree/CommandIds.h"
#include "tree/ExpansionSets.h"
#include "tree/HiddenTypes.h"
#include "tree/MenuTexts.h"
#include "tree/NodeDocument.h"
#include "tree/PlaceholderNode.h"
#include "treelist/TreeListCore.h"

namespace {
CTypeSet& AlreadyPlaced() {
    static CTypeSet placed;
    return placed;
}
} // namespace

CPlaceholderPass::CPlaceholderPass() : saved_(AlreadyPlaced()) {
    AlreadyPlaced().Clear();
}

CPlaceholderPass::~CPlaceholderPass() {
    AlreadyPlaced() = saved_;
}

CNoteNode::CNoteNode(CNodeDocument* document, CTreeListNode* parent) : CDocNode(document, parent) {
    SetImage(NodeImage{imagecache::Derive(0, 113, 130), 1});
    SetMenuId(menu::kNodePopup);
    SetSorted(true);
}

std::uint32_t CNoteNode::GetHelpContext() const {
    return TypeHelpContext(GetTypeId());
}

bool CNoteNode::CreateChildren() {
    CPlaceholderPass pass;
    BeginChildBatch(); // a whole set at once: sorted once, not one insertion at a time
    AddChildren();
    EndChildBatch();
    return true;
}

void CNoteNode::RunPlaceholderPass() {
    // The types of the children there before: a new child of another type is new.
    CTypeSet oldTypes;
    std::unordered_set<const CTreeListNode*> old;
    for (const CTreeListNode* c = GetFirstChild(); c; c = c->GetNextSibling()) {
        old.insert(c);
        if (const CTypedNode* typed = c->AsTyped()) {
            oldTypes.Add(typed->GetTypeId());
        }
    }
    {
        CPlaceholderPass pass;
        BeginChildBatch();
        AddChildren();
        EndChildBatch();
    }
    if (old.empty()) {
        return;
    }
    std::vector<CTreeListNode*> repeated;
    for (CTreeListNode* c = GetFirstChild(); c; c = c->GetNextSibling()) {
        const CTypedNode* typed = c->AsTyped();
        if (old.count(c) || !typed || !oldTypes.Contains(typed->GetTypeId())) {
            continue;
        }
        for (const CTreeListNode* o = GetFirstChild(); o; o = o->GetNextSibling()) {
            if (old.count(o) && c->Compare(*o) == 0) {
                repeated.push_back(c);
                break;
            }
        }
    }
    for (CTreeListNode* c : repeated) {
        c->CTreeListNode::DeleteNode();
    }
}

bool CNoteNode::ExpandAll() {
    return ExpandTypes(expansion::SetFor(GetTypeId()));
}

bool CNoteNode::IsTypeShownOrHeld(NodeTypeId type) const {
    const CNodeDocument* doc = GetDocument();
    return !doc || doc->ShownSet().Contains(type) || doc->PlaceholderSet().Contains(type);
}

bool CNoteNode::AcceptChild(NodeTypeId type) {
    const CNodeDocument* doc = GetDocument();
    if (!doc || doc->ShownSet().Contains(type)) {
        return true; // without a document nothing is hidden
    }
    if (!doc->PlaceholderSet().Contains(type) || AlreadyPlaced().Contains(type)) {
        return false;
    }
    AddChild(new CPlaceholderNode(type));
    AlreadyPlaced().Add(type);
    return false;
}

namespace {
CNoteNode& Note(CCommandTarget& t) {
    return static_cast<CNoteNode&>(t);
}
void OnExpand(CCommandTarget& t) {
    if (CTreeListCore* tree = Note(t).GetTree()) {
        tree->Expand(&Note(t));
    }
}
void OnCollapse(CCommandTarget& t) {
    if (CTreeListCore* tree = Note(t).GetTree()) {
        tree->Collapse(&Note(t));
    }
}
void OnExpandLots(CCommandTarget& t) {
    if (CTreeListCore* tree = Note(t).GetTree()) {
        tree->ExpandAll(&Note(t));
    }
}
void OnDump(CCommandTarget& t) {
    if (CNodeDocument* doc = Note(t).GetDocument()) {
        doc->DumpToFile(Note(t));
    }
}
void OnHideAll(CCommandTarget& t) {
    HideAllOfType(Note(t));
}
void UpdateExpand(CCommandTarget& t, CCmdUI& ui) {
    ui.enabled = Note(t).IsExpandable() && !Note(t).HasChildren();
}
void UpdateCollapse(CCommandTarget& t, CCmdUI& ui) {
    ui.enabled = Note(t).IsExpandable() && Note(t).HasChildren();
}
void UpdateExpandLots(CCommandTarget& t, CCmdUI& ui) {
    ui.enabled = Note(t).IsExpandable();
}
void UpdateHideAll(CCommandTarget& t, CCmdUI& ui) {
    menutexts::UpdateNamed(ui, Note(t).GetTypeId());
}
constexpr CommandEntry kNoteNodeCommands[] = {
    {cmd::kExpand, OnExpand, UpdateExpand},
    {cmd::kCollapse, OnCollapse, UpdateCollapse},
    {cmd::kExpandLots, OnExpandLots, UpdateExpandLots},
    {cmd::kDumpToFile, OnDump, nullptr},
    {cmd::kHideAll, OnHideAll, UpdateHideAll},
};
} // namespace

const CommandMap& CNoteNode::GetCommandMap() const {
    static const CommandMap map{&CDocNode::GetCommandMap(), kNoteNodeCommands};
    return map;
}
