// Sorted children placed through the index's sort keys end in the order of Compare: type first,
// then the label without regard to letter case, also where labels agree past the key's length.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "app/HeadlessPlatform.h"
#include "tree/NoteNode.h"
#include "treelist/TreeListCore.h"

namespace {

TEST(SortKey, ChildrenEndInCompareOrder) {
    std::vector<std::pair<NodeTypeId, std::string>> made;
    const std::string longPrefix = "Document Number "; // longer than the key
    std::mt19937 random(3);
    for (int i = 0; i < 3000; ++i) {
        std::string label;
        switch (i % 5) {
        case 0:
            label = longPrefix + std::to_string(random() % 500);
            break;
        case 1:
            label = "doCUMENT number " + std::to_string(random() % 500);
            break;
        case 2:
            label = std::string(1 + random() % 3, 'a');
            break; // prefixes of each other
        case 3:
            label = std::string("ab") + char(0) + char('a' + random() % 3);
            break;
        default:
            label = "Z" + std::to_string(random());
            break;
        }
        made.emplace_back(NodeTypeId(1 + random() % 3), label);
    }
    CNoteNode parent;
    for (const auto& [type, label] : made) {
        auto* child = new CNoteNode;
        child->SetTypeId(type);
        child->SetLabel(label);
        parent.AddChild(child);
    }
    ASSERT_EQ(parent.ChildCount(), made.size());
    std::size_t stable = 0;
    for (CTreeListNode* c = parent.GetFirstChild(); c && c->GetNextSibling();
         c = c->GetNextSibling()) {
        ASSERT_LE(c->Compare(*c->GetNextSibling()), 0)
            << c->GetLabel() << " before " << c->GetNextSibling()->GetLabel();
        ++stable;
    }
    EXPECT_EQ(stable, made.size() - 1);
    // Labels equal but for letter case after the key's 15 bytes still order by what follows.
    CNoteNode a, b;
    a.SetLabel(longPrefix + "B");
    b.SetLabel("DOCUMENT NUMBER a");
    EXPECT_GT(a.Compare(b), 0);
    EXPECT_EQ(a.GetSortKey().high, b.GetSortKey().high);
}

// A batch places every child where one sorted insertion after the other does, equal children
// in the order they came, also when a child is relabelled in the middle of the batch.
TEST(SortKey, BatchAgreesWithInsertionOneByOne) {
    std::mt19937 random(5);
    std::vector<std::pair<NodeTypeId, std::string>> made;
    for (int i = 0; i < 2000; ++i) {
        const int pick = static_cast<int>(random() % 4);
        std::string label =
            pick == 0   ? "Note " + std::to_string(random() % 50)
            : pick == 1 ? std::string("ab") + char(0) + std::string(random() % 3, 'a')
            : pick == 2 ? "a Label Longer Than The Key " + std::to_string(random() % 9)
                        : std::string(random() % 3, 'A');
        made.emplace_back(NodeTypeId(1 + random() % 2), label);
    }
    // Order of insertion numbers that each way leaves, the first 100 added beforehand.
    auto order = [&](bool batch) {
        CNoteNode parent;
        std::vector<CNoteNode*> nodes;
        for (std::size_t i = 0; i < made.size(); ++i) {
            if (batch && i == 100)
                parent.BeginChildBatch();
            auto* child = new CNoteNode;
            child->SetTypeId(made[i].first);
            child->SetLabel(made[i].second);
            parent.AddChild(child);
            nodes.push_back(child);
            if (i == 1500)
                nodes[700]->SetLabel("Note 7"); // sorts what came so far, as inserted
        }
        if (batch)
            parent.EndChildBatch();
        std::vector<std::size_t> out;
        for (CTreeListNode* c = parent.GetFirstChild(); c; c = c->GetNextSibling())
            out.push_back(
                static_cast<std::size_t>(std::find(nodes.begin(), nodes.end(), c) - nodes.begin()));
        return out;
    };
    const std::vector<std::size_t> single = order(false);
    ASSERT_EQ(single.size(), made.size());
    EXPECT_EQ(order(true), single);
}

} // namespace

namespace {

// A parent whose children come from a list when the control expands it.
class ListParent : public CNoteNode {
public:
    explicit ListParent(std::vector<std::string> labels) : labels_(std::move(labels)) {}
    bool IsExpandable() const override { return true; }
    void AddChildren() override {
        for (const std::string& l : labels_) {
            auto* c = new CNoteNode;
            c->SetTypeId(2);
            c->SetLabel(l);
            AddChild(c);
        }
    }

private:
    std::vector<std::string> labels_;
};

// The rows as the control has them must be the depth-first order of the nodes.
void ExpectRowsFollowTheLinks(CTreeListCore& control) {
    int row = 0;
    for (CTreeListNode* n = control.Root().GetFirstChild(); n;) {
        ASSERT_EQ(control.NodeAt(row), n) << "row " << row;
        ASSERT_EQ(n->GetRowIndex(), row);
        ++row;
        if (n->GetFirstChild()) {
            n = n->GetFirstChild();
            continue;
        }
        while (n && !n->GetNextSibling()) {
            n = n->GetParent() == &control.Root() ? nullptr : n->GetParent();
        }
        n = n ? n->GetNextSibling() : nullptr;
    }
    EXPECT_EQ(control.RowCount(), row);
}

} // namespace

// An expansion's sort leaves its order for the next rebuild of the rows; changes made before
// that rebuild (an insertion among the sorted children, a removal, a subtree added inside the
// set, a relabel) must not leave the rows out of step with the links.
TEST(SortKey, RowsAfterASortedExpansionAndLaterChanges) {
    std::vector<std::string> labels;
    std::mt19937 random(11);
    for (int i = 0; i < 3000; ++i) {
        labels.push_back("Child " + std::to_string(random() % 1000)); // many ties
    }
    labels.push_back("Child 500");
    labels.push_back("Child 999");
    CHeadlessPlatform platform;
    CTreeListCore control(platform);
    auto* parent = new ListParent(labels);
    control.AddRoot(parent);
    for (int round = 0; round < 2; ++round) { // again after a collapse, in reused memory
        control.Expand(parent);
        ASSERT_EQ(parent->ChildCount(), labels.size());
        // Equal labels keep the order they came in: the n-th "Child 7" made is the n-th one in
        // the list, which the list's own order cannot show, so it is told by the labels' run.
        std::vector<std::string> sorted = labels;
        std::stable_sort(
            sorted.begin(), sorted.end(),
            [](const std::string& a, const std::string& b) { return CompareNoCase(a, b) < 0; });
        std::size_t i = 0;
        for (CTreeListNode* c = parent->GetFirstChild(); c; c = c->GetNextSibling(), ++i) {
            ASSERT_EQ(c->GetLabel(), sorted[i]);
        }
        ExpectRowsFollowTheLinks(control);
        control.Collapse(parent);
        EXPECT_EQ(control.RowCount(), 1);
    }

    control.Expand(parent);
    // Before the rows are read again: one insertion, one removal, a relabel and children for
    // a child in the middle.
    auto* late = new CNoteNode;
    late->SetTypeId(2);
    late->SetLabel("Child 500");
    parent->AddChild(late);
    EXPECT_EQ(late->GetPrevSibling()->GetLabel(), "Child 500"); // after its equals
    EXPECT_NE(late->GetNextSibling()->GetLabel(), "Child 500");
    CTreeListNode* middle = parent->GetFirstChild();
    for (int k = 0; k < 1200; ++k) {
        middle = middle->GetNextSibling();
    }
    middle->GetNextSibling()->DeleteNode();
    auto* grandchild = new CNoteNode;
    grandchild->SetLabel("inside");
    middle->AddChild(grandchild);
    static_cast<CNoteNode*>(parent->GetLastChild())->SetLabel("Aardvark");
    ExpectRowsFollowTheLinks(control);
    EXPECT_EQ(parent->ChildCount(), labels.size());
}

// Labels of every length are shown as set, also when set from the node's own label.
TEST(SortKey, LabelsOfEveryLength) {
    CNoteNode n;
    EXPECT_EQ(n.GetLabel(), "(Bogus)");
    for (const std::string& text :
         {std::string(), std::string("x"), std::string(15, 'a'), std::string(16, 'b'),
          std::string(600, 'c'), std::string("a\0b", 3)}) {
        n.SetLabel(text);
        EXPECT_EQ(n.GetLabel(), text);
    }
    n.SetLabel("A label of more than fifteen bytes");
    n.SetLabel(n.GetLabel().substr(2)); // from itself, on the heap
    EXPECT_EQ(n.GetLabel(), "label of more than fifteen bytes");
    n.SetLabel(n.GetLabel().substr(0, 5)); // from itself, into place
    EXPECT_EQ(n.GetLabel(), "label");
    n.SetLabel(n.GetLabel().substr(1)); // in place, from itself
    EXPECT_EQ(n.GetLabel(), "abel");
    static const char kShared[] = "a text that outlives the node, shown without a copy";
    n.SetLabelBorrowed(kShared);
    EXPECT_EQ(n.GetLabel().data(), kShared);
    n.SetLabelBorrowed("short"); // short ones are held in place whatever their owner
    EXPECT_EQ(n.GetLabel(), "short");
    EXPECT_NE(n.GetLabel().data(), static_cast<const char*>("short"));
}
