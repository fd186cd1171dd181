#include <map>

#include <gtest/gtest.h>

#include "support/FakeTree.h"
#include "treelist/TreeWalker.h"

namespace {

// A[a1[x], a2] and B[b1] expanded; C[c1] collapsed.
struct WalkFixture {
    fake::Tree t;
    WalkFixture() {
        auto* a = t.AddRoot({9, "A", {{19, "a1", {{19, "x"}}}, {19, "a2"}}});
        auto* b = t.AddRoot({9, "B", {{19, "b1"}}});
        t.AddRoot({9, "C", {{19, "c1"}}});
        t.control.Expand(a);
        t.control.Expand(t.Find("a1"));
        t.control.Expand(b);
    }
};

struct WalkCase {
    const char* name;
    const char* start; // null: the whole control
    unsigned flags;
    int depth;                       // 0: no limit
    std::map<std::string, char> act; // on reporting a node going in: 's' skip, 'd' delete
    const char* order;               // reported nodes; with both flags +in and -out
    std::vector<std::string> rowsAfter;
};

} // namespace

TEST(TreeWalker, OrderInEveryFlagCombination) {
    const std::vector<std::string> all = {"A", "  a1", "    x", "  a2", "B", "  b1", "C"};
    const WalkCase cases[] = {
        {"plain", nullptr, 0, 0, {}, "A a1 x a2 B b1 C", all},
        {"both", nullptr, 1, 0, {}, "+A +a1 +x -x -a1 +a2 -a2 -A +B +b1 -b1 -B +C -C", all},
        {"expand", nullptr, 2, 0, {}, "A a1 x a2 B b1 C c1", all},
        {"expand both",
         nullptr,
         3,
         0,
         {},
         "+A +a1 +x -x -a1 +a2 -a2 -A +B +b1 -b1 -B +C +c1 -c1 -C",
         all},
        {"subtree both", "A", 1, 0, {}, "+A +a1 +x -x -a1 +a2 -a2 -A", all},
        {"subtree of collapsed, expanding", "C", 3, 0, {}, "+C +c1 -c1 -C", all},
        {"subtree of a leaf", "x", 1, 0, {}, "+x -x", all},
        {"depth 1", nullptr, 0, 1, {}, "A B C", all},
        {"subtree depth 1", "A", 1, 1, {}, "+A +a1 -a1 +a2 -a2 -A", all},
        {"depth stops expansion", nullptr, 2, 1, {}, "A B C", all},
        {"skip", nullptr, 0, 0, {{"a1", 's'}}, "A a1 a2 B b1 C", all},
        {"skip both", nullptr, 1, 0, {{"A", 's'}}, "+A -A +B +b1 -b1 -B +C -C", all},
        {"delete", nullptr, 0, 0, {{"a1", 'd'}}, "A a1 a2 B b1 C", {"A", "  a2", "B", "  b1", "C"}},
        {"delete both",
         nullptr,
         1,
         0,
         {{"a1", 'd'}},
         "+A +a1 +a2 -a2 -A +B +b1 -b1 -B +C -C",
         {"A", "  a2", "B", "  b1", "C"}},
        {"delete last child",
         nullptr,
         1,
         0,
         {{"a2", 'd'}},
         "+A +a1 +x -x -a1 +a2 -A +B +b1 -b1 -B +C -C",
         {"A", "  a1", "    x", "B", "  b1", "C"}},
        {"delete every root", nullptr, 0, 0, {{"A", 'd'}, {"B", 'd'}, {"C", 'd'}}, "A B C", {}},
        {"delete the start", "A", 0, 0, {{"A", 'd'}}, "A", {"B", "  b1", "C"}},
        {"delete while expanding",
         nullptr,
         3,
         0,
         {{"c1", 'd'}},
         "+A +a1 +x -x -a1 +a2 -a2 -A +B +b1 -b1 -B +C +c1 -C",
         all},
    };
    for (const auto& c : cases) {
        WalkFixture f;
        auto walker =
            c.start ? CTreeWalker(*f.t.Find(c.start), c.flags) : CTreeWalker(f.t.control, c.flags);
        if (c.depth) {
            walker.SetDepth(c.depth);
        }
        std::string order;
        bool in = false;
        int guard = 0;
        while (CTreeListNode* n = walker.Next(&in)) {
            ASSERT_LT(++guard, 100) << c.name;
            const std::string label(n->GetLabel());
            order += (order.empty() ? "" : " ") +
                     ((c.flags & 1) ? std::string(in ? "+" : "-") : "") + label;
            const auto act = c.act.find(label);
            if (in && act != c.act.end()) {
                if (act->second == 's') {
                    walker.SkipChildren();
                } else {
                    walker.DeleteCurrent();
                }
            }
        }
        EXPECT_EQ(order, c.order) << c.name;
        EXPECT_EQ(f.t.Rows(), c.rowsAfter) << c.name; // expanded nodes are collapsed again
        EXPECT_EQ(walker.Next(), nullptr) << c.name;  // stays at the end
    }
}

// A node the user had expanded inside a subtree the walk expanded stays as it was only if it
// lies outside; inside, everything the walk opened is closed, nothing else.
TEST(TreeWalker, ExpandingWalkLeavesUserExpansionAlone) {
    fake::Tree t;
    auto* root = t.AddRoot({9, "R", {{19, "open", {{39, "i1"}}}, {19, "shut", {{39, "i2"}}}}});
    t.control.Expand(root);
    t.control.Expand(t.Find("open"));
    CTreeWalker walk(*root, CTreeWalker::kReportBoth | CTreeWalker::kExpandCollapsed);
    int reports = 0;
    while (walk.Next()) {
        ++reports;
    }
    EXPECT_EQ(reports, 10);
    EXPECT_EQ(t.Rows(), (std::vector<std::string>{"R", "  open", "    i1", "  shut"}));
}
