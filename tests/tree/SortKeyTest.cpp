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

} // namespace
