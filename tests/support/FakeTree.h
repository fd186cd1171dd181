// Test doubles shared by the tree and control tests: a window system that records what it is
// asked, an owner that records notifications, a document that records view updates, and a
// browsable node whose children come from a description instead of a store.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "tree/CommandIds.h"
#include "tree/NodeDocument.h"
#include "tree/NoteNode.h"
#include "treelist/TreeListCore.h"

namespace fake {

class Platform : public treelist::Platform {
public:
    void StartTimer(int id, unsigned ms) override { timers[id] = ms; }
    void StopTimer(int id) override { timers.erase(id); }
    void SetFocus() override { focus = true; }
    bool HasFocus() const override { return focus; }
    void SetCapture() override { capture = true; }
    void ReleaseCapture() override { capture = false; }
    bool HasCapture() const override { return capture; }
    void SetRedraw(bool on) override { redrawOff += on ? -1 : 1; }
    void InvalidateRow(int row) override { invalidatedRows.push_back(row); }
    void InvalidateAll() override { ++invalidatedAll; }
    void ScrollBelow(int row, int dy) override { scrolls.emplace_back(row, dy); }
    int TextWidth(std::string_view text) const override {
        return 7 * static_cast<int>(text.size());
    }
    void BeginWaitCursor() override { ++waitDepth; }
    void EndWaitCursor() override { --waitDepth; }

    std::map<int, unsigned> timers;
    bool focus = false;
    bool capture = false;
    int redrawOff = 0;
    std::vector<int> invalidatedRows;
    int invalidatedAll = 0;
    std::vector<std::pair<int, int>> scrolls;
    int waitDepth = 0;
};

class Owner : public treelist::Owner {
public:
    void OnSelectionChanged(CTreeListNode* node) override { selections.push_back(node); }
    void OnPopupMenu(CTreeListNode& node, std::uint32_t id, treelist::Point) override {
        popups.emplace_back(&node, id);
    }
    void OnExtentChanged(int extent) override { lastExtent = extent; }

    std::vector<CTreeListNode*> selections;
    std::vector<std::pair<CTreeListNode*, std::uint32_t>> popups;
    int lastExtent = -1;
};

class Document : public CNodeDocument {
public:
    void UpdateAllViews(std::uint32_t hint) override { hints.push_back(hint); }
    void ShowHelp(std::uint32_t context) override { help.push_back(context); }
    std::vector<std::uint32_t> hints;
    std::vector<std::uint32_t> help;
};

// What a node would read from the store: its type, label and children.
struct Desc {
    Desc(NodeTypeId t, std::string l, std::vector<Desc> c = {}, bool e = true)
        : type(t), label(std::move(l)), children(std::move(c)), expandable(e) {}
    NodeTypeId type;
    std::string label;
    std::vector<Desc> children;
    bool expandable;
};

class Node : public CNoteNode {
public:
    explicit Node(Desc desc) : desc_(std::move(desc)) {
        SetTypeId(desc_.type);
        SetLabel(desc_.label);
    }
    bool IsExpandable() const override { return desc_.expandable; }
    void AddChildren() override {
        ++populated;
        for (const Desc& child : desc_.children) {
            if (AcceptChild(child.type)) {
                AddChild(new Node(child));
            }
        }
    }
    void OnSelect(bool selected) override {
        selectLog().push_back((selected ? "+" : "-") + desc_.label);
        CNoteNode::OnSelect(selected);
    }
    static std::vector<std::string>& selectLog() {
        static std::vector<std::string> log;
        return log;
    }
    int populated = 0;

private:
    Desc desc_;
};

// A control with its fakes. Top-level nodes are added from descriptions.
struct Tree {
    Platform platform;
    Owner owner;
    Document doc;
    CTreeListCore control{platform, &owner};

    Tree() {
        control.SetClientSize(400, 160); // ten rows of 16 pixels
        Node::selectLog().clear();
    }
    Node* AddRoot(const Desc& desc) {
        auto* n = new Node(desc);
        n->SetDocument(&doc);
        control.AddRoot(n);
        return n;
    }
    // Labels of all rows, indented by two blanks per level.
    std::vector<std::string> Rows() {
        std::vector<std::string> out;
        for (int r = 0; r < control.RowCount(); ++r) {
            CTreeListNode* n = control.NodeAt(r);
            out.push_back(std::string(2 * n->GetLevel(), ' ') + std::string(n->GetLabel()));
        }
        return out;
    }
    CTreeListNode* Find(std::string_view label) {
        for (int r = 0; r < control.RowCount(); ++r) {
            if (control.NodeAt(r)->GetLabel() == label) {
                return control.NodeAt(r);
            }
        }
        return nullptr;
    }
};

} // namespace fake
