#include <gtest/gtest.h>

#include "support/FakeTree.h"
#include "tree/PlaceholderNode.h"

using namespace treelist;

TEST(RowLayout, ConnectorAndLineGlyphs) {
    fake::Tree t;
    auto* a = t.AddRoot(
        {9, "A", {{19, "a1", {{39, "x"}}}, {19, "a2", {{39, "y"}}}, {19, "a3", {}, false}}});
    auto* b = t.AddRoot({9, "B", {}});
    t.control.Expand(a);
    t.control.Expand(t.Find("a1"));
    struct Case {
        const char* label;
        bool pressed;
        int glyph;
    };
    const Case cases[] = {
        {"A", false, 17},                    // level 0, expanded box
        {"A", true, 18},                     // expanded box, pressed
        {"a1", true, 4},                     // next sibling, expanded box, pressed
        {"B", false, 14},                    // level 0, collapsed box
        {"B", true, 15},                     // pressed
        {"a1", false, 3},                    // has a next sibling, expanded
        {"a2", false, 0},                    // next sibling, collapsed box
        {"a2", true, 1},  {"a3", false, 13}, // last child, no box
        {"x", false, 7},                     // last child, collapsed box
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ConnectorGlyph(*t.Find(c.label), c.pressed), c.glyph) << c.label;
    }
    t.control.Expand(b); // nothing inside: known empty, no box
    EXPECT_EQ(ConnectorGlyph(*b, false), 20);
    // x's parent a1 has a next sibling (a line), A is at level 0 (blank).
    EXPECT_EQ(AncestorGlyphs(*t.Find("x")),
              (std::vector<int>{glyph::kVerticalLine, glyph::kBlank}));
    EXPECT_TRUE(AncestorGlyphs(*a).empty());

    EXPECT_EQ(DrawState(*a, true), 0x2014u | 0x1 | 0x2 | 0x20);
    EXPECT_EQ(DrawState(*b, false), 0x6014u); // known empty: no box

    CTreeListNode* a3 = t.Find("a3");
    a3->SetHasCheckBox(true);
    EXPECT_EQ(CheckGlyph(*a3, false), 28);
    EXPECT_EQ(CheckGlyph(*a3, true), 29);
    a3->SetChecked(true);
    EXPECT_EQ(CheckGlyph(*a3, true), 32);
    a3->SetCheckEnabled(false);
    EXPECT_EQ(CheckGlyph(*a3, true), 33);
}

TEST(RowLayout, Positions) {
    fake::Tree t;
    auto* a = t.AddRoot({9, "A", {{19, "abc"}}});
    t.control.Expand(a);
    const CTreeListNode& n = *t.Find("abc");
    struct Case {
        std::uint32_t style;
        int connector, check, image, label, right;
    };
    const Case cases[] = {
        {style::kDefault, 19, -1, 38, 59, 59 + 21 + 2},
        {style::kDefault | style::kCheckBoxes, 38, 0, 57, 78, 78 + 21 + 2},
        {0x1, -1, -1, 0, 21, 21 + 21 + 2},
    };
    for (const auto& c : cases) {
        const RowLayout l = ComputeRowLayout(n, c.style, 19, 21);
        EXPECT_EQ(l.connectorLeft, c.connector) << c.style;
        EXPECT_EQ(l.checkLeft, c.check) << c.style;
        EXPECT_EQ(l.imageLeft, c.image) << c.style;
        EXPECT_EQ(l.labelLeft, c.label) << c.style;
        EXPECT_EQ(l.labelRectLeft, c.label - 2) << c.style;
        EXPECT_EQ(l.labelRectRight, c.right) << c.style;
    }
    // A plain node has no image: the label starts where the image would.
    CTreeListNode plain;
    EXPECT_EQ(ComputeRowLayout(plain, style::kDefault, 19, 10).labelLeft, 19);
    // An empty label is measured as six blanks.
    static_cast<CTypedNode*>(t.Find("abc"))->SetLabel("");
    EXPECT_EQ(t.control.Layout(n).labelRectRight, 59 + 42 + 2);
}

TEST(ChangeBatch, ScrollsByTheRowsAddedAndRemoved) {
    fake::Tree t;
    t.AddRoot({9, "A"});
    auto* b = t.AddRoot({9, "B", {{19, "1"}, {19, "2"}, {19, "3"}, {19, "4"}, {19, "5"}}});
    t.platform.scrolls.clear();
    t.control.Expand(b);
    EXPECT_EQ(t.platform.scrolls, (std::vector<std::pair<int, int>>{{2, 5 * 16}}));
    EXPECT_EQ(t.platform.redrawOff, 0);
    t.control.Collapse(b);
    EXPECT_EQ(t.platform.scrolls.back(), (std::pair<int, int>{2, -5 * 16}));
    // An expansion that redraws rows, or during which the window changed size, repaints all.
    t.platform.scrolls.clear();
    const int before = t.platform.invalidatedAll;
    struct Resizing : fake::Node {
        Resizing(fake::Tree& tree) : fake::Node({9, "R", {{19, "r"}}}), tree_(tree) {}
        void AddChildren() override {
            fake::Node::AddChildren();
            tree_.control.SetClientSize(380, 160);
        }
        fake::Tree& tree_;
    };
    auto* r = new Resizing(t);
    t.control.AddRoot(r);
    t.control.Expand(r);
    EXPECT_TRUE(t.platform.scrolls.empty());
    EXPECT_GT(t.platform.invalidatedAll, before);
    EXPECT_EQ(t.Rows(), (std::vector<std::string>{"A", "B", "R", "  r"}));
}

TEST(HorizontalExtent, FollowsExpansionAndCollapse) {
    fake::Tree t;
    t.control.SetStyle(style::kDefault | style::kHorizontalExtent);
    auto* a = t.AddRoot({9, "A", {{19, "a label much longer than its parent's"}}});
    const int narrow = t.control.HorizontalExtent();
    EXPECT_EQ(narrow, t.control.Layout(*a).labelRectRight + 1);
    t.control.Expand(a);
    const int wide = t.control.Layout(*a->GetFirstChild()).labelRectRight + 1;
    ASSERT_GT(wide, narrow);
    EXPECT_EQ(t.control.HorizontalExtent(), wide);
    EXPECT_EQ(t.owner.lastExtent, wide) << "the owner sizes its scroll bar from this";
    t.control.Collapse(a);
    EXPECT_EQ(t.control.HorizontalExtent(), narrow);
    EXPECT_EQ(t.owner.lastExtent, narrow);
}

TEST(SelectionKeeper, FallsBackToTheCaretRow) {
    fake::Tree t;
    auto* a = t.AddRoot({9, "A", {{19, "a1"}, {19, "a2"}, {19, "a3"}}});
    t.control.Expand(a);
    t.control.Select(t.Find("a2"));
    t.control.SendSelectionNotifications();
    {
        CSelectionKeeper keeper(t.control);
        EXPECT_EQ(t.platform.redrawOff, 1);
        t.Find("a2")->DeleteNode();
    }
    EXPECT_EQ(t.platform.redrawOff, 0);
    EXPECT_EQ(t.control.GetCurrent(), t.Find("a3")); // the row that took the deleted one's place
    EXPECT_EQ(t.doc.GetCurrentNode(), t.Find("a3"));
    {
        CSelectionKeeper keeper(t.control);
        keeper.SetNode(t.Find("a1"));
    }
    EXPECT_EQ(t.control.GetCurrent(), t.Find("a1"));
    // The last row deleted: the caret moves up to the new last row.
    t.control.Select(t.Find("a3"));
    {
        CSelectionKeeper keeper(t.control);
        t.Find("a3")->DeleteNode();
    }
    EXPECT_EQ(t.control.GetCurrent(), t.Find("a1"));
}
