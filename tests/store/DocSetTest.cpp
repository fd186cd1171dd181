// Document sets: a database's children in order, counting, searches with their limits, kinds
// and cancels, and the sets the user selects.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "StoreTestSupport.h"
#include "common/MemorySettings.h"
#include "common/ProgramSettings.h"
#include "output/DocumentNodeOptions.h"
#include "store/SelectNotesCore.h"
#include "store/SelectNotesPrompt.h"
#include "store/TNDatabase.h"
#include "store/TNDatabaseDocSet.h"
#include "store/TNDocument.h"
#include "store/TNSelectedDocSet.h"
#include "store/api/Conversions.h"
#include "store/api/Items.h"
#include "store/api/Session.h"
#include "support/FakeTree.h"
#include "tree/CancelProbe.h"
#include "tree/TNError.h"
#include "vlt/builder/Values.h"

using storetest::ChildLabels;
using storetest::Describe;
namespace vb = vlt::builder;

namespace {

vb::NoteDesc Doc(store::NoteId id, const char* subject, int daysOld) {
    vb::NoteDesc n;
    n.id = id;
    n.noteClass = 0x0001;
    store::CurrentTime(&n.modified);
    store::AdjustTime(&n.modified, 0, 0, 0, -daysOld, 0, 0);
    n.created = n.modified;
    n.items = {{"Subject", store::kItemSummary, vb::TextValue(subject)}};
    return n;
}

// Twenty documents, half of them modified long ago; two forms, the first the default one; one
// deletion stub.
vb::DatabaseDesc SetsDesc() {
    vb::DatabaseDesc desc;
    store::CurrentTime(&desc.id);
    desc.replicaId = desc.id;
    for (int i = 0; i < 20; ++i)
        desc.notes.push_back(Doc(100 + 4 * i, "s", i % 2 ? 400 : 1));
    for (int i = 0; i < 2; ++i) {
        vb::NoteDesc form;
        form.id = 10 + 4 * i;
        form.noteClass = i ? 0x0004 : 0x8004;
        store::CurrentTime(&form.modified);
        form.items = {{"$TITLE", store::kItemSummary, vb::TextValue(i ? "B" : "A")},
                      {"$Flags", store::kItemSummary, vb::TextValue("")}};
        desc.notes.push_back(form);
    }
    vb::NoteDesc stub = Doc(300, "gone", 1);
    stub.deleted = true;
    stub.items.clear();
    desc.notes.push_back(stub);
    return desc;
}

// Answers the dialog with the controls a test fills in.
class Prompt : public CSelectNotesPrompt {
public:
    explicit Prompt(std::function<void(CSelectNotesCore::Controls&)> fill, bool ok = true)
        : fill_(std::move(fill)), ok_(ok), previous_(SetSelectNotesPrompt(this)) {}
    ~Prompt() override { SetSelectNotesPrompt(previous_); }
    bool Run(CSelectNotesCore& core) override {
        ++runs;
        core.Clear();
        fill_(core.Values());
        CSelectNotesCore::Refusal why;
        return ok_ && core.Accept(&why);
    }
    int runs = 0;

private:
    std::function<void(CSelectNotesCore::Controls&)> fill_;
    bool ok_;
    CSelectNotesPrompt* previous_;
};

struct Fixture {
    CMemorySettings settings;
    CSettings* previousSettings = OverrideProgramSettings(&settings);
    storetest::TempDatabase file;
    fake::Tree tree;
    TNDatabase* db;

    explicit Fixture(const vb::DatabaseDesc& desc = SetsDesc(), const char* name = "sets")
        : file(desc, name) {
        db = new TNDatabase(&tree.doc, "Sets", file.Path().c_str(), nodetype::kDatabases);
        tree.control.AddRoot(db);
    }
    ~Fixture() { OverrideProgramSettings(previousSettings); }
    CTreeListNode* Child(std::string_view prefix) {
        for (CTreeListNode* c = db->GetFirstChild(); c; c = c->GetNextSibling())
            if (c->GetLabel().starts_with(prefix))
                return c;
        return nullptr;
    }
};

TEST(DocSets, DatabaseChildrenInOrderWithCounts) {
    Fixture f;
    f.tree.control.Expand(f.db);
    const auto labels = ChildLabels(f.db);
    ASSERT_GE(labels.size(), 5u);
    EXPECT_EQ(
        std::vector<std::string>(labels.end() - 3, labels.end()),
        (std::vector<std::string>{"Design Elements (2)", "Documents (20)", "Deletion Stubs (1)"}));
    EXPECT_EQ(labels[0], "Recently Peeked Notes");
    EXPECT_EQ(labels[1], "Database Information");
}

TEST(DocSets, HiddenSetsLeavePlaceholdersOrNothing) {
    Fixture f;
    CTypeSet shown = CTypeSet::All();
    shown.Remove(nodetype::kDocuments);
    f.tree.doc.SetShownSet(shown);
    f.tree.control.Expand(f.db);
    EXPECT_NE(f.Child("(- Hidden Documents -)"), nullptr);
    EXPECT_EQ(f.Child("Documents"), nullptr);
    f.tree.control.Collapse(f.db);
    f.tree.doc.SetPlaceholdersWanted(false);
    f.tree.control.Expand(f.db);
    EXPECT_EQ(f.Child("(- Hidden"), nullptr);
    EXPECT_NE(f.Child("Deletion Stubs"), nullptr);
}

TEST(DocSets, CountingNoneAndNotCounting) {
    vb::DatabaseDesc empty;
    store::CurrentTime(&empty.id);
    Fixture f(empty, "empty");
    f.tree.control.Expand(f.db);
    auto* docs = dynamic_cast<TNDatabaseDocSet*>(f.Child("Documents"));
    ASSERT_NE(docs, nullptr);
    EXPECT_EQ(docs->GetLabel(), "Documents (0)"); // 572 from the store means none
    EXPECT_EQ(docs->Count(), 0);
    EXPECT_EQ(docs->CountStatus(), store::kNoError);
    const std::string out = Describe(*docs);
    EXPECT_NE(out.find("; Documents (0)"), std::string::npos) << out;
    EXPECT_NE(out.find("0 documents"), std::string::npos) << out;

    f.tree.control.Collapse(f.db);
    DocumentNodeValues v;
    v.countNotes = 0;
    f.tree.doc.DocumentOptions().Apply(v, CompiledFormula());
    f.tree.control.Expand(f.db);
    docs = dynamic_cast<TNDatabaseDocSet*>(f.Child("Documents"));
    ASSERT_NE(docs, nullptr);
    EXPECT_EQ(docs->GetLabel(), "Documents");
    EXPECT_EQ(docs->Count(), -1);
    EXPECT_NE(Describe(*docs).find("-1 documents"), std::string::npos) << Describe(*docs);
}

TEST(DocSets, CountingCancelledShowsQuestionMarks) {
    Fixture f;
    CScopedCancelProbe probe([](void*) { return true; }, nullptr);
    TNDatabaseDocSet docs(f.db, TNDatabaseDocSet::kDocuments);
    // The database is closed: the count fails before any cancel is asked.
    EXPECT_EQ(docs.GetLabel(), "Documents (?\?\?)");
    f.tree.control.Expand(f.db);
    TNDatabaseDocSet open(f.db, TNDatabaseDocSet::kDocuments);
    EXPECT_EQ(open.GetLabel(), "Documents (?\?\?)");
    EXPECT_EQ(open.CountStatus(), store::kCancelled);
    EXPECT_NE(Describe(open).find("(documents *"), std::string::npos) << Describe(open);
    TNDatabaseDocSet odd(f.db, 7);
    EXPECT_EQ(odd.GetLabel(), "?Docset?");
}

TEST(DocSets, EachFixedSetSearchesItsKind) {
    Fixture f;
    f.tree.control.Expand(f.db);
    CTreeListNode* design = f.Child("Design Elements");
    CTreeListNode* docs = f.Child("Documents");
    CTreeListNode* stubs = f.Child("Deletion Stubs");
    f.tree.control.Expand(design);
    f.tree.control.Expand(docs);
    f.tree.control.Expand(stubs);
    // The default form is a design element marked "*", not a deletion stub.
    EXPECT_EQ(ChildLabels(design), (std::vector<std::string>{"*A", "B"}));
    EXPECT_EQ(docs->ChildCount(), 20u);
    EXPECT_EQ(ChildLabels(stubs), (std::vector<std::string>{"Deleted document"}));
    auto* a = dynamic_cast<TNDocument*>(design->GetFirstChild());
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->GetNoteClass(), 0x8004);
    const std::string out = Describe(*a);
    EXPECT_NE(out.find("(is-default True)"), std::string::npos) << out;
}

// The user cancels while the third note is being made. The program connects the store's break
// hook and the sets' probe to the same cancel check; when the store polls it between results,
// the store is the first to see the cancel. Either way the list ends in one cancel node.
TEST(DocSets, ACancelledSearchKeepsWhatItFoundAndSaysSo) {
    for (const bool storeAsks : {false, true}) {
        SCOPED_TRACE(storeAsks ? "store polls too" : "only the set asks");
        Fixture f;
        f.tree.control.Expand(f.db);
        CTreeListNode* docs = f.Child("Documents");
        const auto pressed = [](void* set) {
            return static_cast<CTreeListNode*>(set)->ChildCount() >= 3;
        };
        CScopedCancelProbe probe(pressed, docs);
        if (storeAsks)
            store::SetBreakHook(
                [](void* set) -> int {
                    return set && static_cast<CTreeListNode*>(set)->ChildCount() >= 3;
                },
                docs);
        f.tree.control.Expand(docs);
        store::SetBreakHook(nullptr, nullptr);
        ASSERT_EQ(docs->ChildCount(), 4u);
        std::size_t errors = 0;
        for (CTreeListNode* c = docs->GetFirstChild(); c; c = c->GetNextSibling())
            errors += dynamic_cast<TNError*>(c) != nullptr;
        EXPECT_EQ(errors, 1u);
        auto* error = dynamic_cast<TNError*>(docs->GetLastChild());
        ASSERT_NE(error, nullptr);
        EXPECT_EQ(error->GetStatus(), store::kCancelled);
    }
}

TEST(SelectedSets, LimitInTheLastAndKinds) {
    struct Case {
        const char* name;
        std::function<void(CSelectNotesCore::Controls&)> fill;
        std::size_t children;
        const char* label;
    } cases[] = {
        {"limit",
         [](auto& c) {
             c.limitOn = true;
             c.limitText = "15";
         },
         15, "All Documents (at most 15)"},
        {"recent",
         [](auto& c) {
             c.onlyModified = true;
             c.dateText = "30 days";
         },
         10, "Documents in the last 30 days"},
        {"stubs and documents", [](auto& c) { c.deletionStubs = true; }, 21, "All Documents"},
        {"formula",
         [](auto& c) {
             c.documents = false;
             c.designElements = true;
             c.formula = "#$TITLE == \"B\"";
         },
         1, "Design Elements matching #$TITLE == \"B\""},
    };
    for (const Case& c : cases) {
        Fixture f;
        Prompt prompt(c.fill);
        ASSERT_TRUE(f.db->OnCommand(docsetcmd::kSelectNotes)) << c.name;
        auto* set = dynamic_cast<TNSelectedDocSet*>(f.db->GetLastChild());
        ASSERT_NE(set, nullptr) << c.name;
        EXPECT_EQ(set->GetLabel(), c.label) << c.name;
        EXPECT_TRUE(set->WasAccepted());
        f.tree.control.Expand(set);
        EXPECT_EQ(set->ChildCount(), c.children) << c.name;
        for (const CTreeListNode* n = set->GetFirstChild(); n; n = n->GetNextSibling())
            EXPECT_EQ(dynamic_cast<const TNError*>(n), nullptr) << c.name;
    }
}

TEST(SelectedSets, CancelledDialogAddsNothingAndRemoveDeletes) {
    Fixture f;
    {
        Prompt cancel([](auto&) {}, false);
        f.db->OnCommand(docsetcmd::kSelectNotes);
        EXPECT_EQ(cancel.runs, 1);
    }
    EXPECT_NE(f.db->GetHandle(), 0u); // the command opened the database first
    EXPECT_EQ(dynamic_cast<TNSelectedDocSet*>(f.db->GetLastChild()), nullptr);

    Prompt all([](auto&) {});
    f.db->OnCommand(docsetcmd::kSelectNotes);
    auto* set = dynamic_cast<TNSelectedDocSet*>(f.db->GetLastChild());
    ASSERT_NE(set, nullptr);
    const std::string out = Describe(*set);
    EXPECT_NE(out.find("(classes Document)"), std::string::npos) << out;
    EXPECT_NE(out.find("(show-notes True)"), std::string::npos) << out;
    EXPECT_EQ(out.find("limit"), std::string::npos) << out;
    const std::size_t before = f.db->ChildCount();
    EXPECT_TRUE(set->OnCommand(docsetcmd::kRemove));
    EXPECT_EQ(f.db->ChildCount(), before - 1);
}

TEST(SelectedSets, ReselectingSearchesAgain) {
    Fixture f;
    Prompt first([](auto& c) {
        c.limitOn = true;
        c.limitText = "2";
    });
    f.db->OnCommand(docsetcmd::kSelectNotes);
    auto* set = dynamic_cast<TNSelectedDocSet*>(f.db->GetLastChild());
    ASSERT_NE(set, nullptr);
    f.tree.control.Expand(set);
    EXPECT_EQ(set->ChildCount(), 2u);
    {
        Prompt second([](auto& c) {
            c.limitOn = true;
            c.limitText = "4";
        });
        set->OnCommand(docsetcmd::kSelectNotes);
    }
    EXPECT_EQ(set->ChildCount(), 4u);
    EXPECT_EQ(set->GetLabel(), "All Documents (at most 4)");
}

} // namespace
