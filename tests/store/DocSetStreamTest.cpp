// A dump of large sets of notes, whose children are sorted in a fixed memory budget and made
// one at a time: the same text as the dump of the sets expanded in the tree, with sorted runs
// spilled to the temporary file or not, few nodes at once, and a temporary file that cannot be
// written.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstring>
#include <random>
#include <sstream>
#include <string>

#include "StoreTestSupport.h"
#include "output/DumpWriter.h"
#include "store/DesignTitleCache.h"
#include "store/TNDatabase.h"
#include "store/api/Conversions.h"
#include "store/api/Formula.h"
#include "store/api/Items.h"
#include "support/FakeTree.h"
#include "tree/Cancel.h"
#include "tree/CancelProbe.h"
#include "tree/DumpToFile.h"
#include "vlt/builder/Values.h"

namespace vb = vlt::builder;

namespace {

using storetest::Note;

constexpr int kDocuments = 600;

vb::ItemDesc Text(const char* name, const std::string& text) {
    return vb::ItemDesc{name, store::kItemSummary, vb::TextValue(text.c_str())};
}

// Documents titled by their subjects, which repeat and differ in letter case only, so that
// the order has many ties; two forms, a view and a few deletion stubs.
vb::DatabaseDesc LargeDesc() {
    const char* subjects[] = {"beta",       "Beta", "alpha", "ALPHA", "b",      "",
                              "alpha beta", "Zed",  "zed",   "a",     "~tilde", "Alpha"};
    std::mt19937 random(11);
    vb::DatabaseDesc desc;
    store::CurrentTime(&desc.id);
    desc.replicaId = desc.id;
    desc.notes.push_back(
        Note(10, 0x8004,
             {Text("$TITLE", "Memo"),
              Text("$Flags", ""),
              {"$WindowTitle", store::kItemSummary, storetest::CompiledFormula("#Subject")}}));
    desc.notes.push_back(Note(14, 0x0004, {Text("$TITLE", "memo"), Text("$Flags", "")}));
    desc.notes.push_back(Note(18, 0x0008, {Text("$TITLE", "All"), Text("$Flags", "")}));
    for (int i = 0; i < kDocuments; ++i) {
        const std::string subject = subjects[random() % std::size(subjects)];
        desc.notes.push_back(Note(store::NoteId(100 + 4 * i), 0x0001,
                                  {Text("Form", i % 50 ? "Memo" : "memo"),
                                   Text("Subject", subject),
                                   {"Body", 0, vb::TextValue("body text")}}));
    }
    for (int i = 0; i < 5; ++i) {
        vb::NoteDesc stub = Note(store::NoteId(5000 + 4 * i), 0x0001, {});
        stub.deleted = true;
        desc.notes.push_back(stub);
    }
    return desc;
}

struct Fixture {
    storetest::TempDatabase file{LargeDesc(), "large-sets"};
    fake::Tree tree;
    TNDatabase* db = nullptr;

    Fixture() {
        DesignTitleCache().Clear();
        CTypeSet shown = CTypeSet::All();
        shown.Remove(nodetype::kViews); // the view leaves a placeholder among the forms
        tree.doc.SetShownSet(shown);
        db = new TNDatabase(&tree.doc, "Large", file.Path().c_str(), nodetype::kDatabases);
        tree.control.AddRoot(db);
        tree.control.Expand(db);
    }
    ~Fixture() { DesignTitleCache().Clear(); }

    std::vector<CTreeListNode*> Sets() {
        std::vector<CTreeListNode*> sets;
        for (CTreeListNode* c = db->GetFirstChild(); c; c = c->GetNextSibling()) {
            const std::string_view l = c->GetLabel();
            if (l.starts_with("Design Elements") || l.starts_with("Documents") ||
                l.starts_with("Deletion Stubs"))
                sets.push_back(c);
        }
        EXPECT_EQ(sets.size(), 3u);
        return sets;
    }
    // The three sets dumped one after the other with their collapsed data.
    std::string Dump(const ChildStreamLimits& limits, DumpResult* last = nullptr) {
        std::string text;
        for (CTreeListNode* set : Sets()) {
            std::ostringstream out;
            CDumpWriter writer(out);
            DumpOptions options;
            options.includeCollapsed = true;
            options.streamLimits = limits;
            const DumpResult r = WriteSubtree(*set, writer, options);
            writer.Close();
            if (last)
                *last = r;
            text += out.str();
        }
        return text;
    }
};

TEST(DocSetStream, DumpsAsTheExpandedTreeWithOrWithoutSpilledRuns) {
    Fixture f;
    // The sets expanded in the tree are walked as they are: the order of the tree itself.
    bool placeholder = false;
    for (CTreeListNode* set : f.Sets()) {
        f.tree.control.Expand(set);
        for (const CTreeListNode* c = set->GetFirstChild(); c; c = c->GetNextSibling())
            placeholder = placeholder || c->GetLabel() == "(- Hidden Views -)";
    }
    ASSERT_TRUE(placeholder);
    const std::string expanded = f.Dump({});
    for (CTreeListNode* set : f.Sets())
        f.tree.control.Collapse(set);
    ASSERT_NE(expanded.find("\"ALPHA\""), std::string::npos);

    const std::size_t live = CTreeListNode::LiveCount();
    CTreeListNode::ResetPeak();
    const std::string held = f.Dump({2 * kDocuments, 1 << 20}); // few enough to hold
    EXPECT_GT(CTreeListNode::PeakCount() - live, std::size_t(kDocuments));
    EXPECT_EQ(held, expanded);

    CTreeListNode::ResetPeak();
    DumpResult r;
    const std::string spilled = f.Dump({0, 2048}, &r); // a few records a run, merged in rounds
    EXPECT_LT(CTreeListNode::PeakCount() - live, 50u);
    EXPECT_TRUE(r.written) << r.error;
    EXPECT_EQ(spilled, expanded);
    for (CTreeListNode* set : f.Sets())
        EXPECT_FALSE(set->HasChildren());
    EXPECT_EQ(CTreeListNode::LiveCount(), live);
}

TEST(DocSetStream, ACancelDuringTheSearchEndsTheDump) {
    Fixture f;
    static int polls = 0;
    polls = 0;
    cancel::Clear();
    // The user cancels while the search is half way through the documents.
    CScopedCancelProbe probe(
        [](void*) {
            if (++polls == kDocuments / 2)
                cancel::Request();
            return cancel::Requested();
        },
        nullptr);
    const std::size_t live = CTreeListNode::LiveCount();
    std::ostringstream out;
    CDumpWriter writer(out);
    DumpOptions options;
    options.includeCollapsed = true;
    options.streamLimits = {0, 2048};
    CTreeListNode* documents = f.Sets()[1];
    const DumpResult r = WriteSubtree(*documents, writer, options);
    writer.Close();
    cancel::Clear();
    EXPECT_TRUE(r.cancelled);
    EXPECT_TRUE(r.written);
    EXPECT_EQ(r.nodes, 1u); // the set itself, then the marker
    EXPECT_NE(out.str().find("*** Cancelled ***"), std::string::npos);
    EXPECT_FALSE(documents->HasChildren());
    EXPECT_EQ(CTreeListNode::LiveCount(), live);
}

TEST(DocSetStream, ATemporaryFileThatCannotBeWrittenEndsTheDump) {
    Fixture f;
    rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    rlimit small = before;
    small.rlim_cur = 4096; // the sorted runs outgrow it: their writes fail
    auto* previous = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    std::ostringstream out;
    CDumpWriter writer(out);
    DumpOptions options;
    options.includeCollapsed = true;
    options.streamLimits = {0, 1024};
    CTreeListNode* documents = f.Sets()[1];
    const DumpResult r = WriteSubtree(*documents, writer, options);
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(r.written);
    EXPECT_EQ(r.error.rfind("Couldn't sort the notes of Documents", 0), 0u) << r.error;
    EXPECT_NE(r.error.find("could not be written"), std::string::npos) << r.error;
    EXPECT_FALSE(documents->HasChildren());
}

} // namespace
