#include <gtest/gtest.h>

#include "support/FakeTree.h"

using treelist::Point;

namespace {

// Rows: P (level 0, expanded), c0..c29 (level 1, each expandable), Q (level 0, collapsed).
struct MouseFixture : ::testing::Test {
    fake::Tree t;
    fake::Node* p = nullptr;
    void SetUp() override {
        std::vector<fake::Desc> children;
        for (int i = 0; i < 30; ++i) {
            char label[16];
            std::snprintf(label, sizeof label, "c%02d", i);
            children.push_back({33, label, {{39, "item"}}});
        }
        p = t.AddRoot({9, "P", children});
        t.control.Expand(p);
        t.AddRoot({9, "Q", {{19, "q1"}}});
        t.control.Select(p);
        t.control.SendSelectionNotifications();
        fake::Node::selectLog().clear();
    }
    static Point RowPoint(int row, int x) { return {x, row * 16 + 8}; }
    std::string Current() { return std::string(t.control.GetCurrent()->GetLabel()); }
};

} // namespace

TEST_F(MouseFixture, HitZones) {
    using namespace treelist;
    // Level 1 rows: connector cell 19..37, image from 38. Level 0: image from 19.
    struct Case {
        Point at;
        int zone;
        int row;
    };
    const Case cases[] = {
        {{10, -1}, kZoneOutsideY, -1},        {{10, 160}, kZoneOutsideY, -1},
        {{-1, 20}, kZoneOutsideX, 1},         {{400, 20}, kZoneOutsideX, 1},
        {RowPoint(1, 38), kZoneLabel, 1},     {RowPoint(1, 37), kZoneExpandBox, 1},
        {RowPoint(1, 19), kZoneExpandBox, 1}, {RowPoint(1, 18), kZoneNone, 1},
        {RowPoint(0, 19), kZoneLabel, 0},     {RowPoint(0, 0), kZoneExpandBox, 0},
        {RowPoint(9, 300), kZoneLabel, 9},
    };
    for (const auto& c : cases) {
        const HitResult h = t.control.HitTest(c.at);
        EXPECT_EQ(h.zone, c.zone) << c.at.x << "," << c.at.y;
        EXPECT_EQ(h.row, c.row) << c.at.x << "," << c.at.y;
    }
    // With check boxes: a check box column first; an item without a box has no zone 3.
    t.control.SetStyle(style::kDefault | style::kCheckBoxes);
    t.Find("c01")->SetHasCheckBox(false); // every node starts with one
    EXPECT_EQ(t.control.HitTest(RowPoint(1, 5)).zone, kZoneCheckBox);
    EXPECT_EQ(t.control.HitTest(RowPoint(1, 25)).zone, kZoneNone);
    EXPECT_EQ(t.control.HitTest(RowPoint(1, 40)).zone, kZoneExpandBox);
    EXPECT_EQ(t.control.HitTest(RowPoint(1, 57)).zone, kZoneLabel);
    EXPECT_EQ(t.control.HitTest(RowPoint(2, 5)).zone, kZoneNone);
    // The list below its last row still hits the last row.
    t.control.SetStyle(style::kDefault);
    t.control.Collapse(p);
    EXPECT_EQ(t.control.HitTest({100, 150}).row, 1);
}

TEST_F(MouseFixture, HorizontalScrollingShiftsHits) {
    t.control.SetStyle(treelist::style::kDefault | treelist::style::kHorizontalExtent);
    auto* wide = static_cast<CTypedNode*>(t.Find("c00"));
    wide->SetLabel(std::string(100, 'w'));
    wide->Redraw();
    // Widest row: 38 + 21 + 700 + 2, plus one.
    EXPECT_EQ(t.control.HorizontalExtent(), 762);
    EXPECT_EQ(t.owner.lastExtent, 762);
    t.control.SetHorizontalScroll(100);
    EXPECT_EQ(t.control.HorizontalOffset(), 362);
    EXPECT_EQ(t.control.HitTest(RowPoint(1, 0)).zone, treelist::kZoneLabel);
    // Deleting the widest row lowers the extent again.
    const int repaints = t.platform.invalidatedAll;
    wide->DeleteNode();
    EXPECT_EQ(t.owner.lastExtent, 38 + 21 + 21 + 2 + 1); // told without being asked
    EXPECT_EQ(t.control.HorizontalExtent(), 38 + 21 + 21 + 2 + 1);
    EXPECT_GT(t.platform.invalidatedAll, repaints);
}

TEST_F(MouseFixture, ExpandBoxTogglesOnlyWhenReleasedOnIt) {
    t.control.LButtonDown(RowPoint(2, 25)); // c01's box
    EXPECT_EQ(t.control.TrackingMode(), treelist::kZoneExpandBox);
    EXPECT_TRUE(t.platform.capture);
    EXPECT_TRUE(t.control.Pressed(*t.Find("c01"), treelist::kZoneExpandBox));
    t.control.MouseMove(RowPoint(2, 100)); // off the box: no longer pressed
    EXPECT_FALSE(t.control.Pressed(*t.Find("c01"), treelist::kZoneExpandBox));
    t.control.LButtonUp(RowPoint(2, 100));
    EXPECT_FALSE(t.Find("c01")->HasChildren());
    EXPECT_FALSE(t.platform.capture);
    EXPECT_EQ(fake::Node::selectLog(), (std::vector<std::string>{"-P", "+c01"}));

    t.control.LButtonDown(RowPoint(2, 25));
    t.control.MouseMove(RowPoint(3, 25)); // another row's box
    t.control.MouseMove(RowPoint(2, 30)); // back on it
    t.control.LButtonUp(RowPoint(2, 30));
    EXPECT_TRUE(t.Find("c01")->HasChildren());
    EXPECT_EQ(t.control.TrackingMode(), treelist::kZoneNone);

    // Double click on a label toggles the current node.
    t.control.LButtonDblClk(RowPoint(2, 60));
    EXPECT_FALSE(t.Find("c01")->HasChildren());
}

TEST_F(MouseFixture, DraggingSelectsAndAutoScrolls) {
    t.control.SetTopRow(5);
    t.control.LButtonDown(RowPoint(2, 60)); // row 7
    EXPECT_EQ(t.platform.timers.at(treelist::kAutoScrollTimer), 50u);
    EXPECT_EQ(t.control.RowOf(*t.control.GetCurrent()), 7);
    t.control.MouseMove(RowPoint(4, 60));
    EXPECT_EQ(t.control.RowOf(*t.control.GetCurrent()), 9);
    t.control.MouseMove({60, -3}); // above the list: one row up per step
    EXPECT_EQ(t.control.TopRow(), 4);
    EXPECT_EQ(t.control.RowOf(*t.control.GetCurrent()), 4);
    t.control.Timer(treelist::kAutoScrollTimer);
    EXPECT_EQ(t.control.TopRow(), 3);
    EXPECT_EQ(t.control.RowOf(*t.control.GetCurrent()), 3);
    EXPECT_TRUE(fake::Node::selectLog().empty()); // nothing told while dragging
    t.control.LButtonUp({60, -3});
    EXPECT_EQ(t.platform.timers.count(treelist::kAutoScrollTimer), 0u);
    EXPECT_EQ(fake::Node::selectLog(), (std::vector<std::string>{"-P", "+c02"}));
    // Losing the capture ends tracking: further moves do nothing.
    t.control.LButtonDown(RowPoint(1, 60));
    t.platform.capture = false;
    t.control.MouseMove(RowPoint(5, 60));
    EXPECT_EQ(t.control.RowOf(*t.control.GetCurrent()), 4);
    t.control.CancelMode();
    EXPECT_EQ(t.control.TrackingMode(), treelist::kZoneNone);
}

TEST_F(MouseFixture, RightClickSelectsOnLabelsAndShowsMenus) {
    static_cast<CTreeListNode*>(t.Find("c03"))->SetMenuId(0);
    t.control.RButtonDown(RowPoint(4, 60));
    t.control.RButtonUp(RowPoint(4, 60));
    EXPECT_EQ(Current(), "c03");
    EXPECT_TRUE(t.owner.popups.empty()); // menu id 0: no menu
    t.control.RButtonDown(RowPoint(5, 60));
    t.control.RButtonUp(RowPoint(5, 60));
    ASSERT_EQ(t.owner.popups.size(), 1u);
    EXPECT_EQ(t.owner.popups[0].first, t.Find("c04"));
    EXPECT_EQ(t.owner.popups[0].second, menu::kNodePopup);
    // Off the label the node is not selected, but its menu still shows.
    t.control.RButtonDown(RowPoint(6, 25));
    t.control.RButtonUp(RowPoint(6, 25));
    EXPECT_EQ(Current(), "c04");
    EXPECT_EQ(t.owner.popups.size(), 2u);
    EXPECT_EQ(t.control.HelpContextAt(RowPoint(6, 60)), (25u + 112u) * 4096u);
}

TEST_F(MouseFixture, CheckBoxClickToggles) {
    t.control.SetStyle(treelist::style::kDefault | treelist::style::kCheckBoxes);
    CTreeListNode* c = t.Find("c00");
    c->SetHasCheckBox(true);
    t.control.LButtonDown(RowPoint(1, 5));
    t.control.LButtonUp(RowPoint(1, 5));
    EXPECT_TRUE(c->IsChecked());
    c->SetCheckEnabled(false);
    t.control.LButtonDown(RowPoint(1, 5)); // a disabled box does not track
    EXPECT_EQ(t.control.TrackingMode(), treelist::kZoneNone);
    t.control.LButtonUp(RowPoint(1, 5));
    EXPECT_TRUE(c->IsChecked());
}
