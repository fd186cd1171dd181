// Database nodes: their children, their information block, their summary fields and the error
// nodes that stand in for what could not be read.
#include <gtest/gtest.h>

#include <string>

#include "StoreTestSupport.h"
#include "store/TNDatabase.h"
#include "store/TNDatabaseInfo.h"
#include "store/api/Conversions.h"
#include "store/api/Database.h"
#include "support/FakeTree.h"
#include "tree/TNError.h"

using storetest::Describe;
using storetest::Has;

namespace {

vlt::builder::DatabaseDesc SmallDesc() {
    vlt::builder::DatabaseDesc desc;
    store::CurrentTime(&desc.id);
    desc.replicaId = desc.id;
    desc.info = "Small\nCat\nTpl\n";
    return desc;
}

TNDatabase* AddDatabase(fake::Tree& tree, const std::string& path, const char* title = "Db") {
    auto* db = new TNDatabase(&tree.doc, title, path.c_str(), nodetype::kDatabases);
    tree.control.AddRoot(db);
    return db;
}

TEST(DatabaseNode, MissingFileGivesOneErrorAndRetriesOnTheNextExpansion) {
    fake::Tree tree;
    TNDatabase* db = AddDatabase(tree, "/nonexistent/dir/none.vlt");
    tree.control.Expand(db);
    ASSERT_EQ(db->ChildCount(), 1u);
    auto* error = dynamic_cast<TNError*>(db->GetFirstChild());
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->GetStatus(), store::kFileNotFound);
    EXPECT_EQ(error->GetTypeId(), nodetype::kError);
    EXPECT_TRUE(error->GetLabel().starts_with("Couldn't open database: ")) << error->GetLabel();
    // The status says what kind of failure; the detail says which file.
    EXPECT_EQ(error->GetDetail(), "/nonexistent/dir/none.vlt: no such file or directory");
    EXPECT_FALSE(error->IsExpandable());
    EXPECT_EQ(db->GetHandle(), 0u);

    tree.control.Collapse(db);
    EXPECT_FALSE(db->HasChildren());
    tree.control.Expand(db);
    EXPECT_EQ(db->ChildCount(), 1u);
}

TEST(DatabaseNode, ExpansionOpensAndCollapseCloses) {
    storetest::TempDatabase file(SmallDesc(), "open-close");
    fake::Tree tree;
    TNDatabase* db = AddDatabase(tree, file.Path());
    tree.control.Expand(db);
    const store::DbHandle first = db->GetHandle();
    ASSERT_NE(first, 0u);
    EXPECT_TRUE(db->HasChildren());

    tree.control.Collapse(db);
    EXPECT_EQ(db->GetHandle(), 0u);
    std::uint16_t dbClass = 0;
    EXPECT_EQ(store::DatabaseClass(first, &dbClass), store::kInvalidHandle);

    tree.control.Expand(db);
    EXPECT_NE(db->GetHandle(), 0u);
}

TEST(DatabaseNode, HiddenInformationLeavesAPlaceholder) {
    storetest::TempDatabase file(SmallDesc(), "hidden");
    fake::Tree tree;
    CTypeSet shown = CTypeSet::All();
    shown.Remove(nodetype::kDatabaseInfo);
    tree.doc.SetShownSet(shown);
    TNDatabase* db = AddDatabase(tree, file.Path());
    tree.control.Expand(db);
    ASSERT_NE(db->GetFirstChild(), nullptr);
    CTreeListNode* second = db->GetFirstChild()->GetNextSibling();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(dynamic_cast<TNDatabaseInfo*>(second), nullptr);
    EXPECT_TRUE(Has(std::string(second->GetLabel()), "Hidden"));
}

TEST(DatabaseNode, LabelImageAndBeginLineFollowTheType) {
    TNDatabase db(nullptr, "Mail", "x.vlt", nodetype::kDatabases);
    TNDatabase tpl(nullptr, "Form Tpl", "x.vtf", nodetype::kTemplates);
    TNDatabase odd(nullptr, "", "y", 40);
    TNDatabase untitled(nullptr, nullptr, "z", nodetype::kDatabases);
    EXPECT_EQ(db.GetLabel(), "Mail");
    EXPECT_EQ(db.GetImage()->strip, 6);
    EXPECT_EQ(tpl.GetImage()->strip, 7);
    EXPECT_EQ(odd.GetLabel(), "");
    EXPECT_EQ(untitled.GetLabel(), "(Bogus)");
    // Without a summary nothing but the begin and end lines.
    EXPECT_EQ(Describe(db), "\n(database \"Mail\")\n");
    EXPECT_EQ(Describe(tpl), "\n(template \"Form Tpl\")\n");
    EXPECT_EQ(Describe(odd), "\n(db-unknown-type \"\")\n");
}

TEST(DatabaseInfo, WritesEveryBlock) {
    auto desc = SmallDesc();
    desc.dbClass = 0xFF0F;
    desc.replicaFlags = 0xC000 | 0x0010 | 0x2000; // stored priority 3
    desc.cutoffInterval = 90;
    desc.options = 0x8001;
    storetest::TempDatabase file(desc, "info");
    store::DbHandle h = 0;
    ASSERT_EQ(store::OpenDatabase(file.Path().c_str(), &h), store::kNoError);
    TNDatabaseInfo info(h);
    const std::string out = Describe(info);
    store::CloseDatabase(h);
    for (const char* part :
         {"database-information", "creation-class", "V5NoteFile", "database-id",
          "(date of creation)", "replica-info", "(date of creation of original db)",
          "IgnoreDeletes", "MultiDbIndex", "priority", "Low", "cutoff-interval", "90", "days",
          "data-modification", "nondata-modification", "options", "FTIndex", "IsAddressBook"})
        EXPECT_TRUE(Has(out, part)) << part << "\n" << out;
    EXPECT_FALSE(Has(out, "Unable")) << out;
}

TEST(DatabaseInfo, PriorityMappingAndMissingOptions) {
    struct Case {
        std::uint16_t stored;
        const char* name;
    } cases[] = {{0x0000, "(priority Medium)"},
                 {0x4000, "(priority High)"},
                 {0x8000, "(priority 3)"},
                 {0xC000, "(priority Low)"}};
    for (const Case& c : cases) {
        auto desc = SmallDesc();
        desc.replicaFlags = c.stored;
        storetest::TempDatabase file(desc, "prio");
        store::DbHandle h = 0;
        ASSERT_EQ(store::OpenDatabase(file.Path().c_str(), &h), store::kNoError);
        TNDatabaseInfo info(h);
        const std::string out = Describe(info);
        store::CloseDatabase(h);
        EXPECT_TRUE(Has(out, c.name)) << c.name << "\n" << out;
        EXPECT_FALSE(Has(out, "options")) << out; // not available: no line at all
    }
}

TEST(DatabaseInfo, ClosedHandleGivesAnErrorFieldPerBlock) {
    TNDatabaseInfo info(0);
    const std::string out = Describe(info);
    for (const char* part :
         {"Unable to get database class", "Unable to get database id", "Unable to get replica info",
          "Unable to get modified times", "Unable to GetDbOptions"})
        EXPECT_TRUE(Has(out, part)) << part << "\n" << out;
}

TEST(ErrorNode, FieldsSplitTheStatus) {
    const store::Status s = store::MakeStatus(3, 0x01) | store::kStatusRemote;
    TNError error(s, "Couldn't %s", "open");
    EXPECT_TRUE(error.GetLabel().starts_with("Couldn't open: Server error: "));
    const std::string out = Describe(error);
    EXPECT_TRUE(Has(out, "error")) << out;
    EXPECT_TRUE(Has(out, "package")) << out;
    EXPECT_TRUE(Has(out, "300")) << out;
    EXPECT_TRUE(Has(out, "Remote")) << out;
    EXPECT_FALSE(Has(out, "Displayed")) << out;

    TNError plain(0, "Just %d words", 3);
    EXPECT_EQ(plain.GetLabel(), "Just 3 words");
}

TEST(ErrorNode, ShowStatusMessageUsesTheInstalledBox) {
    storetest::RecordingBox box;
    ShowStatusMessage(0, "Couldn't compile %s", "formula");
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].first, "Error");
    EXPECT_EQ(box.shown[0].second, "Couldn't compile formula");
}

} // namespace
