// Expand Lots follows the expansion set of the type it starts on.
#include <gtest/gtest.h>

#include "support/FakeTree.h"
#include "tree/ExpansionSets.h"

namespace {

using fake::Desc;

TEST(ExpandLots, DatabaseWithDefaultSetsStopsAboveTheDesignLists) {
    expansion::ResetToDefaults();
    fake::Tree tree;
    const Desc form(19, "Forms", {Desc(33, "Memo", {Desc(39, "Body", {}, false)})});
    auto* db = tree.AddRoot(
        Desc(9, "db",
             {Desc(13, "Database Information", {Desc(40, "x", {}, false)}),
              Desc(14, "Access Control List", {Desc(16, "Default", {Desc(40, "y", {}, false)})}),
              Desc(18, "Design Elements", {form}),
              Desc(32, "Documents", {Desc(33, "Doc", {Desc(39, "Subject", {}, false)})}),
              Desc(34, "Deletion Stubs", {Desc(33, "Stub", {}, false)}),
              Desc(36, "Selected", {Desc(33, "Picked", {}, false)})}));
    tree.control.ExpandAll(db);
    EXPECT_EQ(tree.Rows(), (std::vector<std::string>{
                               "db",
                               "  Database Information",
                               "    x",
                               "  Access Control List",
                               "    Default", // 16 is not in the database's set: left closed
                               "  Design Elements",
                               "    Forms", // not expanded: 19 is not in the database's set
                               "  Documents",
                               "    Doc",
                               "  Deletion Stubs",
                               "    Stub",
                               "  Selected",
                               "    Picked",
                           }));
    // Starting on the forms follows the forms' own set {forms, items}: the notes (type 33)
    // under them are not in it and stay closed.
    tree.control.ExpandAll(tree.Find("Forms"));
    EXPECT_NE(tree.Find("Memo"), nullptr);
    EXPECT_EQ(tree.Find("Body"), nullptr);
}

} // namespace
