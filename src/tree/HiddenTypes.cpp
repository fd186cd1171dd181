#include "tree/HiddenTypes.h"

#include "tree/NodeDocument.h"
#include "tree/NoteNode.h"
#include "tree/PlaceholderNode.h"
#include "treelist/TreeListCore.h"
#include "treelist/TreeWalker.h"

namespace {

class WaitScope {
public:
    explicit WaitScope(CTreeListCore& c) : c_(c) { c_.BeginWait(); }
    ~WaitScope() { c_.EndWait(); }
    WaitScope(const WaitScope&) = delete;
    WaitScope& operator=(const WaitScope&) = delete;

private:
    CTreeListCore& c_;
};

bool HasType(const CTreeListNode* node, NodeTypeId type) {
    const auto* typed = dynamic_cast<const CTypedNode*>(node);
    return typed && typed->GetTypeId() == type;
}

// Re-populates every expanded browsable row, and deletes the rows that `drop` selects.
template <typename Drop> void Repopulate(CTreeListCore& control, Drop drop) {
    CTreeWalker walk(control, 0);
    while (CTreeListNode* x = walk.Next()) {
        if (drop(*x)) {
            walk.DeleteCurrent();
        } else if (auto* note = dynamic_cast<CNoteNode*>(x); note && note->HasChildren()) {
            note->RunPlaceholderPass();
        }
    }
}

// The roots do what AddChildren does for the children of a node: each root the document
// makes whose type the current references let in is made again when it is missing (or a
// placeholder stands for it), in the place the document's order gives it.
void RepopulateRoots(CNodeDocument& doc, CTreeListCore& control) {
    CTreeListNode& top = control.Root();
    CTreeListNode* previous = nullptr;
    for (const CNodeDocument::RootMaker& maker : doc.RootMakers()) {
        if (CTreeListNode* present = FirstChildOfType(top, maker.type)) {
            previous = present;
            continue;
        }
        CDocNode* root = nullptr;
        if (doc.ShownSet().Contains(maker.type)) {
            root = maker.make();
        } else if (doc.PlaceholderSet().Contains(maker.type)) {
            root = new CPlaceholderNode(maker.type);
        }
        if (!root) {
            continue;
        }
        root->SetDocument(&doc);
        if (previous) {
            previous->InsertAfter(root);
        } else if (CTreeListNode* first = top.GetFirstChild()) {
            first->InsertBefore(root);
        } else {
            control.AddRoot(root);
        }
        previous = root;
    }
}

} // namespace

CTreeListNode* FirstChildOfType(CTreeListNode& parent, NodeTypeId type) {
    for (CTreeListNode* child = parent.GetFirstChild(); child; child = child->GetNextSibling()) {
        if (HasType(child, type)) {
            return child;
        }
    }
    return nullptr;
}

void HideAllOfType(CNoteNode& node) {
    CNodeDocument* doc = node.GetDocument();
    CTreeListCore* control = node.GetTree();
    if (!doc || !control) {
        return;
    }
    const NodeTypeId type = node.GetTypeId();
    WaitScope wait(*control);
    CSelectionKeeper keeper(*control);

    CTypeSet shown = doc->OwnShownSet();
    shown.Remove(type);
    doc->SetShownSet(shown);
    const CTypeSet none;
    const CTypeSet only{type};
    CTemporaryTypeSets temporary(*doc, &none, &only);
    const bool placeholders = doc->PlaceholdersWanted();

    // `node` itself is deleted below; from here on only its parent is used.
    CTreeListNode* target = node.GetParent();
    CTreeWalker walk(*control, 0);
    while (CTreeListNode* x = walk.Next()) {
        auto* note = dynamic_cast<CNoteNode*>(x);
        if (!note) {
            continue;
        }
        if (note->GetTypeId() == type) {
            if (target && target->IsDescendantOf(note)) {
                target = note->GetParent(); // the selection's place goes away with it
            }
            walk.DeleteCurrent();
        } else if (placeholders && note->HasChildren()) {
            note->RunPlaceholderPass();
        }
    }
    if (placeholders) {
        RepopulateRoots(*doc, *control);
    }
    if (placeholders && target) {
        keeper.SetNode(FirstChildOfType(*target, type));
    }
}

void ShowAllOfType(CPlaceholderNode& placeholder) {
    CNodeDocument* doc = placeholder.GetDocument();
    CTreeListCore* control = placeholder.GetTree();
    if (!doc || !control) {
        return;
    }
    const NodeTypeId type = placeholder.GetTypeId();
    WaitScope wait(*control);
    CSelectionKeeper keeper(*control);
    CTreeListNode* parent = placeholder.GetParent(); // outlives the placeholder
    {
        const CTypeSet only{type};
        const CTypeSet none;
        CTemporaryTypeSets temporary(*doc, &only, &none);
        Repopulate(*control, [type](CTreeListNode& x) {
            return dynamic_cast<CPlaceholderNode*>(&x) && HasType(&x, type);
        });
        RepopulateRoots(*doc, *control);
        if (parent) {
            keeper.SetNode(FirstChildOfType(*parent, type));
        }
    }
    CTypeSet shown = doc->OwnShownSet();
    shown.Add(type);
    doc->SetShownSet(shown);
}

void ShowAllData(CNodeDocument& doc, CTreeListCore& control) {
    WaitScope wait(control);
    CSelectionKeeper keeper(control);
    {
        CTypeSet hidden = CTypeSet::All();
        hidden.RemoveAll(doc.OwnShownSet());
        CTemporaryTypeSets temporary(doc, &hidden, nullptr);

        CTreeListNode* selected = control.GetCurrent();
        const auto* selectedPlaceholder = dynamic_cast<CPlaceholderNode*>(selected);
        const NodeTypeId selectedType = selectedPlaceholder ? selectedPlaceholder->GetTypeId() : 0;
        CTreeListNode* parent = nullptr;
        Repopulate(control, [&](CTreeListNode& x) {
            if (!dynamic_cast<CPlaceholderNode*>(&x)) {
                return false;
            }
            if (&x == selected) {
                parent = x.GetParent();
            }
            return true;
        });
        RepopulateRoots(doc, control);
        if (parent) {
            keeper.SetNode(FirstChildOfType(*parent, selectedType));
        }
    }
    doc.SetShownSet(CTypeSet::All());
}

void SetPlaceholdersShown(CNodeDocument& doc, CTreeListCore& control, bool wanted) {
    WaitScope wait(control);
    CSelectionKeeper keeper(control);
    doc.SetPlaceholdersWanted(wanted);
    if (!wanted) {
        CTreeWalker walk(control, 0);
        while (CTreeListNode* x = walk.Next()) {
            if (dynamic_cast<CPlaceholderNode*>(x)) {
                walk.DeleteCurrent();
            }
        }
        return;
    }
    const CTypeSet none;
    CTemporaryTypeSets temporary(doc, &none, nullptr);
    Repopulate(control, [](CTreeListNode&) { return false; });
    RepopulateRoots(doc, control);
}

void UpdateShowAllData(const CNodeDocument& doc, CCmdUI& ui) {
    ui.enabled = !doc.AllTypesShown();
}

void UpdatePlaceholdersShown(const CNodeDocument& doc, CCmdUI& ui) {
    ui.checked = doc.PlaceholdersWanted();
}
