// Sorted children placed through the index's sort keys end in the order of Compare: type first,
// then the label without regard to letter case, also where labels agree past the key's length.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "tree/NoteNode.h"

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
