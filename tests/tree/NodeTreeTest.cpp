#include <algorithm>
#include <random>

#include <gtest/gtest.h>

#include "support/FakeTree.h"
#include "tree/PlaceholderNode.h"

namespace {

std::vector<std::string> ChildLabels(const CTreeListNode& parent) {
    std::vector<std::string> out;
    for (const CTreeListNode* c = parent.GetFirstChild(); c; c = c->GetNextSibling()) {
        out.emplace_back(c->GetLabel());
    }
    return out;
}

// Checks both directions of the child list against each other and against the count.
void ExpectLinksConsistent(const CTreeListNode& parent) {
    std::size_t n = 0;
    const CTreeListNode* prev = nullptr;
    for (const CTreeListNode* c = parent.GetFirstChild(); c; c = c->GetNextSibling()) {
        EXPECT_EQ(c->GetPrevSibling(), prev);
        EXPECT_EQ(c->GetParent(), &parent);
        EXPECT_EQ(c->GetLevel(), parent.GetLevel() + 1);
        prev = c;
        ++n;
    }
    EXPECT_EQ(parent.GetLastChild(), prev);
    EXPECT_EQ(parent.ChildCount(), n);
}

fake::Node* Make(NodeTypeId type, const std::string& label) {
    return new fake::Node(fake::Desc{type, label, {}, false});
}

} // namespace

TEST(NodeTree, SortedChildrenByTypeThenLabelIgnoringCaseAndStable) {
    fake::Tree t;
    auto* parent = t.AddRoot({nodetype::kDatabases, "db", {}});
    for (auto [type, label] : std::vector<std::pair<NodeTypeId, std::string>>{{21, "beta"},
                                                                              {19, "Zed"},
                                                                              {21, "Alpha"},
                                                                              {19, "apple"},
                                                                              {21, "BETA"},
                                                                              {19, "Apple"}}) {
        auto* n = Make(type, label);
        EXPECT_TRUE(parent->AddChild(n));
    }
    // Equal elements keep insertion order: "beta" before "BETA", "apple" before "Apple".
    EXPECT_EQ(ChildLabels(*parent),
              (std::vector<std::string>{"apple", "Apple", "Zed", "Alpha", "beta", "BETA"}));
    ExpectLinksConsistent(*parent);
    EXPECT_EQ(t.Rows(), (std::vector<std::string>{"db", "  apple", "  Apple", "  Zed", "  Alpha",
                                                  "  beta", "  BETA"}));
}

// Many children in random order (with many equal keys) must land exactly where a stable sort
// puts them, whichever way the position is searched.
TEST(NodeTree, ManyChildrenMatchAStableSort) {
    fake::Tree t;
    auto* parent = t.AddRoot({nodetype::kDocuments, "docs", {}});
    std::mt19937 rng(7);
    std::vector<std::pair<int, std::string>> keys;
    for (int i = 0; i < 3000; ++i) {
        const int type = 19 + static_cast<int>(rng() % 3);
        std::string label = "n" + std::to_string(rng() % 400) + "#" + std::to_string(i);
        // Keys differ only after the '#', and letter case varies, so many compare equal up
        // to the marker: compare on the part before it by making the rest equal in case.
        label = label.substr(0, label.find('#'));
        if (i % 2) {
            label[0] = 'N';
        }
        keys.emplace_back(type, label);
        auto* n = Make(static_cast<NodeTypeId>(type), label);
        n->SetTextColour(static_cast<std::uint32_t>(i)); // identity for the comparison below
        parent->AddChild(n);
    }
    std::vector<int> order(keys.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = static_cast<int>(i);
    }
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        if (keys[a].first != keys[b].first) {
            return keys[a].first < keys[b].first;
        }
        return CompareNoCase(keys[a].second, keys[b].second) < 0;
    });
    std::size_t i = 0;
    for (const CTreeListNode* c = parent->GetFirstChild(); c; c = c->GetNextSibling(), ++i) {
        ASSERT_EQ(c->GetTextColour(), static_cast<std::uint32_t>(order[i])) << "position " << i;
    }
    ExpectLinksConsistent(*parent);
    EXPECT_EQ(t.control.RowCount(), 3001);
}

// A relabelled child may leave the list out of order; later insertions then follow the first
// larger child from the start, and nothing is lost.
TEST(NodeTree, RelabelledChildAndInsertAfterKeepTheListIntact) {
    fake::Tree t;
    auto* parent = t.AddRoot({nodetype::kDocuments, "docs", {}});
    std::vector<fake::Node*> nodes;
    for (int i = 0; i < 40; ++i) {
        char label[16];
        std::snprintf(label, sizeof label, "k%02d", i);
        nodes.push_back(Make(33, label));
        parent->AddChild(nodes.back());
    }
    nodes[5]->SetLabel("zz"); // now out of order at position 5
    parent->AddChild(Make(33, "k05a"));
    auto labels = ChildLabels(*parent);
    ASSERT_EQ(labels.size(), 41u);
    EXPECT_EQ(labels[5], "k05a"); // first child greater than "k05a" is "zz"
    EXPECT_EQ(labels[6], "zz");
    nodes[0]->InsertAfter(Make(33, "after-first"));
    labels = ChildLabels(*parent);
    EXPECT_EQ(labels[1], "after-first");
    ExpectLinksConsistent(*parent);
    nodes[5]->SetLabel("k05"); // back in order: the list is sorted except "after-first"
    parent->AddChild(Make(33, "k39z"));
    EXPECT_EQ(ChildLabels(*parent).back(), "k39z");
    EXPECT_EQ(t.control.RowCount(), 44);
}

TEST(NodeTree, DeleteAndCollapseFreeRowsAndNodes) {
    fake::Tree t;
    auto* a = t.AddRoot({9, "A", {{19, "a1", {{39, "x"}}}, {19, "a2", {}}}});
    auto* b = t.AddRoot({9, "B", {{19, "b1", {}}}});
    t.control.ExpandAll(a); // Expand Lots on a database does not enter the forms below it
    EXPECT_EQ(t.Rows(), (std::vector<std::string>{"A", "  a1", "  a2", "B"}));
    t.control.Expand(t.Find("a1"));
    t.control.Expand(b);
    EXPECT_EQ(t.Rows(), (std::vector<std::string>{"A", "  a1", "    x", "  a2", "B", "  b1"}));
    CTreeListNode* a1 = t.Find("a1");
    EXPECT_EQ(a1->GetRowIndex(), 1);
    EXPECT_TRUE(a1->DeleteNode());
    EXPECT_EQ(t.Rows(), (std::vector<std::string>{"A", "  a2", "B", "  b1"}));
    ExpectLinksConsistent(*a);
    EXPECT_TRUE(b->CollapseChildren());
    EXPECT_FALSE(b->HasChildren());
    EXPECT_EQ(t.Rows(), (std::vector<std::string>{"A", "  a2", "B"}));

    // A node in no control cannot be deleted, and attaching under it reports no row.
    fake::Node loose({9, "loose", {}});
    auto* child = Make(19, "c");
    EXPECT_FALSE(loose.AddChild(child));
    EXPECT_EQ(loose.GetFirstChild(), child); // linked all the same, freed with its parent
    EXPECT_FALSE(child->DeleteNode());
    EXPECT_EQ(child->GetRowIndex(), -1);
}

TEST(NodeTree, DocumentFollowsSelectionAndForgetsDeletedNodes) {
    fake::Tree t;
    auto* a = t.AddRoot({9, "A", {{19, "a1", {}}, {21, "a2", {}}}});
    t.control.Expand(a);
    CTreeListNode* a1 = t.Find("a1");
    t.control.Select(a1);
    t.control.SendSelectionNotifications();
    EXPECT_EQ(t.doc.GetCurrentNode(), a1);
    EXPECT_EQ(t.doc.hints.back(), hint::kCurrentNode);
    // Collapsing frees the current node without the document's own delete: the document must
    // still let go of it.
    t.control.Collapse(a);
    EXPECT_EQ(t.doc.GetCurrentNode(), nullptr);
    EXPECT_EQ(t.control.GetCurrent(), nullptr);
    EXPECT_EQ(fake::Node::selectLog().back(), "-a1");
}

TEST(NodeTree, LabelsAndCommands) {
    fake::Tree t;
    auto* a = t.AddRoot({19, "A", {}});
    std::string longText(600, 'x');
    a->SetLabelText(longText.c_str(), -1);
    EXPECT_EQ(a->GetLabel().size(), 511u);
    a->SetLabelText("abcdef", 3);
    EXPECT_EQ(a->GetLabel(), "abc");
    a->SetLabelFormat("Pab Definition %d", 7);
    EXPECT_EQ(a->GetLabel(), "Pab Definition 7");
    EXPECT_TRUE(a->MatchesPrefix("pAB d"));
    EXPECT_FALSE(a->MatchesPrefix("Pab Definition 77"));

    // Expand is enabled before, Collapse after; an empty expansion leaves neither enabled and
    // removes the expand box.
    CCmdUI expand;
    expand.id = cmd::kExpand;
    CCmdUI collapse;
    collapse.id = cmd::kCollapse;
    t.control.Select(a);
    t.control.SendSelectionNotifications();
    ASSERT_TRUE(t.doc.RouteUpdate(expand));
    ASSERT_TRUE(t.doc.RouteUpdate(collapse));
    EXPECT_TRUE(expand.enabled);
    EXPECT_FALSE(collapse.enabled);
    EXPECT_TRUE(t.doc.RouteCommand(cmd::kExpand));
    EXPECT_TRUE(a->IsKnownEmpty());
    EXPECT_FALSE(a->ShowsExpandBox());
    ASSERT_TRUE(t.doc.RouteUpdate(collapse));
    EXPECT_FALSE(collapse.enabled);
    a->Redraw();
    EXPECT_TRUE(a->ShowsExpandBox());

    EXPECT_TRUE(t.doc.RouteCommand(cmd::kWhatsThis));
    EXPECT_EQ(t.doc.help, (std::vector<std::uint32_t>{(15u + 112u) * 4096u}));
    EXPECT_FALSE(t.doc.RouteCommand(cmd::kShowAll)); // a note node does not handle it
}

// The last child is reached through the first; removing either end, or putting a child before
// the first, must keep both directions and the end right. A node's own colour goes with it:
// the next node made in its memory has none.
TEST(NodeTree, EndsOfTheChildListAndColoursSurviveRemovals) {
    fake::Tree t;
    auto* parent = t.AddRoot({nodetype::kDocuments, "docs", {}});
    parent->SetSorted(false);
    std::vector<CTreeListNode*> kids;
    for (const char* label : {"a", "b", "c", "d"}) {
        kids.push_back(Make(33, label));
        parent->AddChild(kids.back());
    }
    kids[0]->SetTextColour(0x123456);
    kids[3]->SetTextColour(0x654321);
    EXPECT_TRUE(kids[0]->DeleteNode()); // the first
    EXPECT_EQ(parent->GetFirstChild(), kids[1]);
    EXPECT_EQ(parent->GetLastChild(), kids[3]);
    ExpectLinksConsistent(*parent);
    EXPECT_TRUE(kids[3]->DeleteNode()); // the last
    EXPECT_EQ(parent->GetLastChild(), kids[2]);
    EXPECT_EQ(kids[2]->GetNextSibling(), nullptr);
    ExpectLinksConsistent(*parent);
    auto* front = Make(33, "front");
    EXPECT_TRUE(kids[1]->InsertBefore(front));
    EXPECT_EQ(ChildLabels(*parent), (std::vector<std::string>{"front", "b", "c"}));
    EXPECT_EQ(front->GetPrevSibling(), nullptr);
    EXPECT_EQ(front->GetTextColour(), CTreeListNode::kDefaultColour);
    ExpectLinksConsistent(*parent);
    EXPECT_TRUE(kids[2]->DeleteNode());
    EXPECT_TRUE(kids[1]->DeleteNode());
    EXPECT_EQ(parent->GetFirstChild(), front);
    EXPECT_EQ(parent->GetLastChild(), front);
    EXPECT_TRUE(front->DeleteNode());
    EXPECT_EQ(parent->GetLastChild(), nullptr);
    EXPECT_EQ(parent->ChildCount(), 0u);
}
