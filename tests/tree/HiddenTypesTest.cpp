#include <algorithm>
#include <gtest/gtest.h>

#include "support/FakeTree.h"
#include "tree/HiddenTypes.h"
#include "tree/MenuTexts.h"
#include "tree/PlaceholderNode.h"

namespace {

using Rows = std::vector<std::string>;

// db: Design Elements with three forms, a form holding a form, and a view; Documents with a
// document and a form.
struct HiddenFixture : ::testing::Test {
    fake::Tree t;
    fake::Node* db = nullptr;

    void SetUp() override {
        db = t.AddRoot(
            {9,
             "db",
             {{18,
               "Design",
               {{19, "f1"}, {19, "f2"}, {19, "f3"}, {19, "outer", {{19, "inner"}}}, {21, "v1"}}},
              {32, "Docs", {{33, "d1"}, {19, "f9"}}}}});
        t.control.Expand(db);
        t.control.Expand(t.Find("Design"));
        t.control.Expand(t.Find("Docs"));
        t.control.Expand(t.Find("outer"));
    }
    void SelectByLabel(std::string_view label) {
        t.control.Select(t.Find(label));
        t.control.SendSelectionNotifications();
    }
    std::string Selected() { return std::string(t.control.GetCurrent()->GetLabel()); }
    bool Route(std::uint32_t id) { return t.doc.RouteCommand(id); }
};

const Rows kAll = {"db",          "  Design", "    f1", "    f2", "    f3", "    outer",
                   "      inner", "    v1",   "  Docs", "    f9", "    d1"};

} // namespace

TEST_F(HiddenFixture, HideAllLeavesOnePlaceholderPerParentAndSelectsIt) {
    ASSERT_EQ(t.Rows(), kAll);
    SelectByLabel("f2");
    ASSERT_TRUE(Route(cmd::kHideAll));
    EXPECT_EQ(t.Rows(), (Rows{"db", "  Design", "    (- Hidden Forms -)", "    v1", "  Docs",
                              "    (- Hidden Forms -)", "    d1"}));
    EXPECT_EQ(Selected(), "(- Hidden Forms -)");
    EXPECT_EQ(t.control.GetCurrent()->GetParent(), t.Find("Design"));
    EXPECT_EQ(t.doc.GetCurrentNode(), t.control.GetCurrent()); // the info pane follows
    EXPECT_FALSE(t.doc.OwnShownSet().Contains(19));
    EXPECT_TRUE(t.doc.OwnPlaceholderSet().Contains(19));
    EXPECT_EQ(t.doc.ShownSet(), t.doc.OwnShownSet()); // references restored

    // A fresh expansion gets exactly one placeholder for its three hidden forms.
    t.control.Collapse(t.Find("Design"));
    t.control.Expand(t.Find("Design"));
    EXPECT_EQ(t.Rows(), (Rows{"db", "  Design", "    (- Hidden Forms -)", "    v1", "  Docs",
                              "    (- Hidden Forms -)", "    d1"}));
}

TEST_F(HiddenFixture, ShowAllBringsTheTypeBackEverywhere) {
    SelectByLabel("f2");
    ASSERT_TRUE(Route(cmd::kHideAll));
    auto* docs = static_cast<fake::Node*>(t.Find("Docs"));
    const int before = docs->populated;
    // Show All from the placeholder under Docs: the forms under Design come back too.
    t.control.Select(t.Find("Docs")->GetFirstChild());
    t.control.SendSelectionNotifications();
    ASSERT_TRUE(Route(cmd::kShowAll));
    EXPECT_EQ(t.Rows(), (Rows{"db", "  Design", "    f1", "    f2", "    f3", "    outer", "    v1",
                              "  Docs", "    f9", "    d1"}));
    EXPECT_EQ(Selected(), "f9"); // the first form under the placeholder's parent
    EXPECT_EQ(docs->populated, before + 1);
    EXPECT_TRUE(t.doc.AllTypesShown());
}

TEST_F(HiddenFixture, HidingAboveTheSelectionMovesTheTargetUp) {
    SelectByLabel("inner");
    ASSERT_TRUE(Route(cmd::kHideAll)); // inner's parent "outer" is a form too
    EXPECT_EQ(Selected(), "(- Hidden Forms -)");
    EXPECT_EQ(t.control.GetCurrent()->GetParent(), t.Find("Design"));
}

TEST_F(HiddenFixture, WithoutPlaceholdersTheSelectionKeepsItsPlace) {
    t.doc.SetPlaceholdersWanted(false);
    SelectByLabel("f2");
    ASSERT_TRUE(Route(cmd::kHideAll));
    EXPECT_EQ(t.Rows(), (Rows{"db", "  Design", "    v1", "  Docs", "    d1"}));
    EXPECT_EQ(Selected(), "v1");

    // Turning placeholders on adds them where forms are hidden; turning them off removes them.
    SetPlaceholdersShown(t.doc, t.control, true);
    EXPECT_EQ(t.Rows(), (Rows{"db", "  Design", "    (- Hidden Forms -)", "    v1", "  Docs",
                              "    (- Hidden Forms -)", "    d1"}));
    EXPECT_EQ(Selected(), "v1");
    CCmdUI ui;
    ui.id = cmd::kPlaceholders;
    UpdatePlaceholdersShown(t.doc, ui);
    EXPECT_EQ(ui.checked, true);
    SetPlaceholdersShown(t.doc, t.control, false);
    EXPECT_EQ(t.Rows(), (Rows{"db", "  Design", "    v1", "  Docs", "    d1"}));
    EXPECT_TRUE(t.doc.OwnPlaceholderSet().IsEmpty());
}

TEST_F(HiddenFixture, ShowAllDataRestoresEveryTypeAndIsDisabledWithNothingHidden) {
    CCmdUI ui;
    ui.id = cmd::kShowAllData;
    UpdateShowAllData(t.doc, ui);
    EXPECT_FALSE(ui.enabled);

    SelectByLabel("f2");
    ASSERT_TRUE(Route(cmd::kHideAll));
    SelectByLabel("v1");
    ASSERT_TRUE(Route(cmd::kHideAll));
    EXPECT_EQ(Selected(), "(- Hidden Views -)");
    UpdateShowAllData(t.doc, ui);
    EXPECT_TRUE(ui.enabled);

    ShowAllData(t.doc, t.control);
    EXPECT_EQ(t.Rows(), (Rows{"db", "  Design", "    f1", "    f2", "    f3", "    outer", "    v1",
                              "  Docs", "    f9", "    d1"}));
    EXPECT_EQ(Selected(), "v1"); // the selected placeholder's type, under its parent
    EXPECT_TRUE(t.doc.AllTypesShown());
}

// Store nodes show a failed read as an error child, which no type set filters.
struct FailingNode : fake::Node {
    FailingNode() : fake::Node({14, "ACL"}) {}
    void AddChildren() override {
        AddChild(new fake::Node({42, "No ACL in the database", {}, false}));
    }
};

TEST_F(HiddenFixture, HidingAndShowingAddsNoSecondErrorRow) {
    auto* acl = new FailingNode;
    db->AddChild(acl);
    t.control.Expand(acl);
    auto errors = [&] {
        const Rows rows = t.Rows();
        return std::count(rows.begin(), rows.end(), "    No ACL in the database");
    };
    ASSERT_EQ(errors(), 1);
    for (int cycle = 0; cycle < 3; ++cycle) {
        SelectByLabel("f2");
        ASSERT_TRUE(Route(cmd::kHideAll));
        ASSERT_TRUE(Route(cmd::kShowAll)); // from the placeholder the hide selected
        EXPECT_EQ(errors(), 1) << "cycle " << cycle;
    }
    SelectByLabel("v1");
    ASSERT_TRUE(Route(cmd::kHideAll));
    SetPlaceholdersShown(t.doc, t.control, false);
    SetPlaceholdersShown(t.doc, t.control, true);
    ShowAllData(t.doc, t.control);
    EXPECT_EQ(errors(), 1);
    EXPECT_EQ(t.Find("Docs")->ChildCount(), 2u);
}

TEST(MenuTexts, NamedPlainAndMissingTexts) {
    struct Source : CMenuStringSource {
        std::optional<std::string> FindMenuString(std::uint32_t id) const override {
            if (id == cmd::kHideAll) {
                return "&Hide All: %s|&Hide All";
            }
            if (id == cmd::kShowAll) {
                return "&Show All: %s";
            }
            return std::nullopt;
        }
    } source;
    menutexts::SetSource(&source);
    struct Case {
        std::uint32_t id;
        NodeTypeId type;
        const char* text;
        bool enabled;
    };
    const Case cases[] = {
        {cmd::kHideAll, 19, "&Hide All: Forms", true},
        {cmd::kHideAll, 42, "&Hide All", false}, // no display name: the plain text
        {cmd::kShowAll, 21, "&Show All: Views", true},
        {cmd::kShowAll, 0, "&Show All: %s", false}, // no "|": the whole string
        {cmd::kExpand, 19, "!!Bogus Menu Text!!", true},
    };
    for (const auto& c : cases) {
        CCmdUI ui;
        ui.id = c.id;
        menutexts::UpdateNamed(ui, c.type);
        EXPECT_EQ(ui.text, c.text) << c.id;
        EXPECT_EQ(ui.enabled, c.enabled) << c.id;
    }
    CCmdUI fallback; // when no node handles the command
    fallback.id = cmd::kHideAll;
    menutexts::UpdatePlain(fallback);
    EXPECT_EQ(fallback.text, "&Hide All");
    EXPECT_FALSE(fallback.enabled);
    menutexts::SetSource(nullptr);
    EXPECT_EQ(menutexts::For(cmd::kHideAll).plain, "!!Bogus Menu Text!!"); // cache forgotten
}

TEST(PlaceholderNode, LooksLikeTheHiddenType) {
    CPlaceholderNode p(19);
    EXPECT_EQ(p.GetLabel(), "(- Hidden Forms -)");
    EXPECT_EQ(p.GetMenuId(), menu::kPlaceholderPopup);
    EXPECT_FALSE(p.IsExpandable());
    const ImageEntry& image = imagecache::Entry(p.GetImage()->entry);
    EXPECT_EQ(image.kind, ImageKind::Ghosted);
    EXPECT_EQ(image.bitmap, 115);
    EXPECT_EQ(p.GetImage()->strip, 0);
    CPlaceholderNode internal(0);
    EXPECT_EQ(internal.GetLabel(), "(- Hidden  -)");
}
