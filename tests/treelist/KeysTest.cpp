#include <gtest/gtest.h>

#include "support/FakeTree.h"

using treelist::Key;
using treelist::Modifiers;

namespace {

// 20 roots of 15 children each, all expanded: 320 rows, ten to a page. Root 3 is collapsed
// again, and root 19 has no children to give.
struct KeysFixture : ::testing::Test {
    fake::Tree t;
    void SetUp() override {
        const char* words[] = {"alpha", "abacus", "beta", "Abbey", "gamma"};
        for (int r = 0; r < 20; ++r) {
            std::vector<fake::Desc> children;
            for (int c = 0; r != 19 && c < 15; ++c) {
                children.push_back({33, std::string(words[c % 5]) + std::to_string(r * 100 + c)});
            }
            char label[16];
            std::snprintf(label, sizeof label, "R%02d", r);
            t.control.Expand(t.AddRoot({9, label, children}));
        }
        t.control.Collapse(t.Find("R03"));
        Select("R00");
    }
    void Select(std::string_view label) {
        t.control.Select(t.Find(label));
        t.control.SendSelectionNotifications();
        fake::Node::selectLog().clear();
    }
    void Press(Key k, Modifiers m = {}) {
        t.control.KeyDown(k, m, false);
        t.control.KeyUp(k);
    }
    std::string Current() { return std::string(t.control.GetCurrent()->GetLabel()); }
    int Row() { return t.control.RowOf(*t.control.GetCurrent()); }
};

} // namespace

TEST_F(KeysFixture, HeldArrowNotifiesOnlyOnRelease) {
    ASSERT_EQ(t.control.RowCount(), 20 + 19 * 15 - 15);
    t.control.KeyDown(Key::Down, {}, false);
    for (int i = 0; i < 4; ++i) {
        t.control.KeyDown(Key::Down, {}, true);
    }
    EXPECT_EQ(Row(), 5);
    EXPECT_TRUE(fake::Node::selectLog().empty());
    t.control.KeyUp(Key::Down);
    const std::string now = Current();
    EXPECT_EQ(fake::Node::selectLog(), (std::vector<std::string>{"-R00", "+" + now}));
    EXPECT_EQ(t.doc.GetCurrentNode(), t.control.GetCurrent());
    EXPECT_EQ(t.owner.selections.back(), t.control.GetCurrent());
    Press(Key::Up);
    Press(Key::Home);
    EXPECT_EQ(Row(), 0);
    Press(Key::End);
    EXPECT_EQ(Current(), "R19");
    EXPECT_EQ(t.control.TopRow(), t.control.RowCount() - 10); // scrolled into view
}

TEST_F(KeysFixture, ExpandCollapseAndTreeMovement) {
    Select("R03");
    Press(Key::Enter);
    EXPECT_TRUE(t.control.GetCurrent()->HasChildren());
    Press(Key::Enter);
    EXPECT_FALSE(t.control.GetCurrent()->HasChildren());
    Press(Key::Right); // collapsed with a box: expands
    EXPECT_TRUE(t.control.GetCurrent()->HasChildren());
    EXPECT_EQ(Current(), "R03");
    Press(Key::Right); // expanded: first child (children are sorted ignoring case)
    EXPECT_EQ(Current(), "abacus301");
    Press(Key::Down, {.shift = true});
    EXPECT_EQ(Current(), "abacus306");
    Press(Key::Up, {.shift = true});
    Press(Key::Up, {.shift = true}); // no previous sibling: stays
    EXPECT_EQ(Current(), "abacus301");
    Press(Key::End, {.shift = true});
    EXPECT_EQ(Current(), "gamma314");
    Press(Key::Home, {.shift = true});
    EXPECT_EQ(Current(), "abacus301");
    Press(Key::Left); // a leaf: to the parent
    EXPECT_EQ(Current(), "R03");
    Press(Key::Left); // expanded: collapses
    EXPECT_FALSE(t.control.GetCurrent()->HasChildren());
    Press(Key::Backspace); // a top-level node has no visible parent
    EXPECT_EQ(Current(), "R03");
    Press(Key::NumAdd);
    EXPECT_TRUE(t.control.GetCurrent()->HasChildren());
    Press(Key::NumSubtract);
    EXPECT_FALSE(t.control.GetCurrent()->HasChildren());

    // A node that turned out empty loses its box; Right then does nothing.
    Select("R19");
    t.control.Collapse();
    Press(Key::Right);
    EXPECT_TRUE(t.control.GetCurrent()->IsKnownEmpty());
    EXPECT_FALSE(t.control.GetCurrent()->ShowsExpandBox());
    Press(Key::Right);
    EXPECT_EQ(Current(), "R19");
}

TEST_F(KeysFixture, PagingAndScrolling) {
    Press(Key::PageDown);
    EXPECT_EQ(Row(), 9);
    EXPECT_EQ(t.control.TopRow(), 0);
    Press(Key::PageDown);
    EXPECT_EQ(Row(), 18);
    EXPECT_EQ(t.control.TopRow(), 9);
    Press(Key::PageUp);
    EXPECT_EQ(Row(), 9);
    // Ctrl+Down scrolls without moving the selection until it would leave the view.
    Select("R00");
    t.control.SetTopRow(0);
    Press(Key::Down, {.ctrl = true});
    EXPECT_EQ(t.control.TopRow(), 1);
    EXPECT_EQ(Row(), 1); // row 0 left the view, so the selection moved down
    Press(Key::Up, {.ctrl = true});
    EXPECT_EQ(t.control.TopRow(), 0);
    EXPECT_EQ(Row(), 1);
    // A page of one row: the next row becomes the top row and the selection.
    t.control.SetClientSize(400, 16);
    Press(Key::PageDown);
    EXPECT_EQ(Row(), 2);
    EXPECT_EQ(t.control.TopRow(), 2);
    Press(Key::End);
    Press(Key::PageDown); // on the last row: nothing
    EXPECT_EQ(Row(), t.control.RowCount() - 1);
}

TEST_F(KeysFixture, TypeAheadWithTimer) {
    // "a" finds the first label below the current row; "b" keeps it when it also fits "ab".
    Select("R01");
    t.control.KeyDown(Key::Other, {}, false);
    t.control.Char(U'a');
    EXPECT_EQ(Current(), "abacus101");
    EXPECT_EQ(t.platform.timers.at(treelist::kTypeAheadTimer), 500u);
    t.control.Char(U'B');
    EXPECT_EQ(Current(), "abacus101");
    t.control.Char(U'b');
    EXPECT_EQ(Current(), "Abbey103");
    t.control.KeyUp(Key::Other);
    EXPECT_EQ(fake::Node::selectLog(), (std::vector<std::string>{"-R01", "+Abbey103"}));
    // After the clear-characters time a new search starts from the next row.
    t.control.Timer(treelist::kTypeAheadTimer);
    EXPECT_TRUE(t.control.TypedCharacters().empty());
    EXPECT_EQ(t.platform.timers.count(treelist::kTypeAheadTimer), 0u);
    t.control.Char(U'a');
    EXPECT_EQ(Current(), "Abbey108");
    // No match anywhere: nothing changes. The search wraps round to the top.
    t.control.Timer(treelist::kTypeAheadTimer);
    t.control.Char(U'q');
    EXPECT_EQ(Current(), "Abbey108");
    t.control.Timer(treelist::kTypeAheadTimer);
    Select("gamma1814");
    t.control.Char(U'r');
    EXPECT_EQ(Current(), "R19");
    t.control.Timer(treelist::kTypeAheadTimer);
    t.control.Char(U'r');
    EXPECT_EQ(Current(), "R00");
    // A character from a key the control handled is not typed.
    t.control.Timer(treelist::kTypeAheadTimer);
    t.control.KeyDown(Key::Backspace, {}, false);
    t.control.Char(U'b');
    EXPECT_TRUE(t.control.TypedCharacters().empty());
    t.control.KeyUp(Key::Backspace);
    // At most 32 characters are held.
    for (int i = 0; i < 40; ++i) {
        t.control.Char(U'z');
    }
    EXPECT_EQ(t.control.TypedCharacters().size(), 32u);
}

TEST_F(KeysFixture, SpaceTogglesEnabledCheckBoxes) {
    struct CheckNode : fake::Node {
        using fake::Node::Node;
        void OnCheckChanged(bool checked) override { changes.push_back(checked); }
        std::vector<bool> changes;
    };
    t.control.SetStyle(treelist::style::kDefault | treelist::style::kCheckBoxes);
    auto* n = new CheckNode(fake::Desc{33, "check", {}, false});
    n->SetHasCheckBox(true);
    t.control.AddRoot(n);
    t.control.Select(n);
    Press(Key::Space);
    EXPECT_TRUE(n->IsChecked());
    Press(Key::Space);
    EXPECT_FALSE(n->IsChecked());
    EXPECT_EQ(n->changes, (std::vector<bool>{true, false}));
    n->SetCheckEnabled(false);
    Press(Key::Space);
    EXPECT_FALSE(n->IsChecked());
    EXPECT_EQ(n->changes.size(), 2u);
    // Without the check-box style a blank is a typed character.
    t.control.SetStyle(treelist::style::kDefault);
    EXPECT_FALSE(t.control.KeyDown(Key::Space, {}, false));
}
