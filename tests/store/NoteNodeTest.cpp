// Note nodes: labels under every option, window titles through forms and the title cache,
// formula labels, the item walk and its cancel, note fields and deletion stubs.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "StoreTestSupport.h"
#include "common/MemorySettings.h"
#include "output/DocumentNodeOptions.h"
#include "store/DesignTitleCache.h"
#include "store/DocumentNodePages.h"
#include "store/FormulaText.h"
#include "store/TNDatabase.h"
#include "store/TNDeletionStub.h"
#include "store/TNDocument.h"
#include "store/TNDocumentInfo.h"
#include "store/api/Conversions.h"
#include "store/api/Database.h"
#include "store/api/Formula.h"
#include "store/api/Items.h"
#include "store/api/Notes.h"
#include "support/ExpectParts.h"
#include "support/FakeTree.h"
#include "tree/CancelProbe.h"
#include "tree/TNError.h"
#include "vlt/builder/Values.h"

using storetest::ChildLabels;
using storetest::Describe;
using storetest::Has;
namespace vb = vlt::builder;

namespace {

using storetest::Note;

vb::ItemDesc Item(std::string name, vb::Bytes value) {
    return vb::ItemDesc{std::move(name), store::kItemSummary, std::move(value)};
}

// Forms with and without a window title, documents of each, of no form, and of a form that
// does not exist; one response; one deletion stub.
vb::DatabaseDesc NotesDesc() {
    vb::DatabaseDesc desc;
    store::CurrentTime(&desc.id);
    desc.replicaId = desc.id;
    desc.notes = {
        Note(10, 0x8004,
             {Item("$TITLE", vb::TextValue("Memo")), Item("$Flags", vb::TextValue("")),
              Item("$WindowTitle", storetest::CompiledFormula("\"Memo: \" .. #Subject"))}),
        Note(14, 0x0004,
             {Item("$TITLE", vb::TextValue("Plain")), Item("$Flags", vb::TextValue(""))}),
        Note(18, 0x0001,
             {Item("Form", vb::TextValue("Memo")), Item("Subject", vb::TextValue("Hello"))}),
        Note(22, 0x0001, {Item("Form", vb::TextValue("Plain"))}),
        Note(26, 0x0001,
             {Item("$WindowTitle", storetest::CompiledFormula("\"Own \" .. #Subject")),
              Item("Subject", vb::TextValue("X"))}),
        Note(30, 0x0001, {Item("Subject", vb::TextValue("Y"))}),
        Note(34, 0x0001, {Item("Form", vb::TextValue("Ghost"))}),
        Note(38, 0x0001,
             {Item("Form", vb::TextValue("Memo")), Item("Subject", vb::TextValue("Re"))}),
    };
    desc.notes.back().parent = 18;
    vb::NoteDesc stub = Note(42, 0x0001, {});
    stub.deleted = true;
    desc.notes.push_back(stub);
    return desc;
}

struct Fixture {
    storetest::TempDatabase file;
    fake::Tree tree;
    TNDatabase* db = nullptr;

    explicit Fixture(const vb::DatabaseDesc& desc = NotesDesc(), const std::string& name = "notes")
        : file(desc, name) {
        DesignTitleCache().Clear();
        db = new TNDatabase(&tree.doc, "Notes", file.Path().c_str(), nodetype::kDatabases);
        tree.control.AddRoot(db);
        tree.control.Expand(db); // opens it
    }
    ~Fixture() { DesignTitleCache().Clear(); }
    void SetOptions(const DocumentNodeValues& v, const char* formula = nullptr) {
        FormulaCompileResult r = CompileFormulaText(formula ? formula : "");
        DocumentNodeValues values = v;
        values.formula = formula ? formula : "";
        tree.doc.DocumentOptions().Apply(values, std::move(r.formula));
    }
    std::string Label(store::NoteId id) {
        TNDocument note(db, id, &tree.doc);
        return std::string(note.GetLabel());
    }
};

TEST(NoteLabels, EveryCombinationOfTheSimpleOptions) {
    Fixture f;
    struct Case {
        int noteId, title, isDefault;
        const char* form;     // default form 10
        const char* document; // document 18 of that form
    } cases[] = {
        {0, 1, 1, "*Memo", "Memo: Hello"},
        {1, 1, 1, "a: *Memo", "12: Memo: Hello"},
        {1, 0, 1, "a*", "12"},
        {1, 0, 0, "a", "12"},
        {0, 0, 0, "", ""},
        {0, 1, 0, "Memo", "Memo: Hello"},
        {0, 0, 1, "*", ""},
    };
    for (const Case& c : cases) {
        DocumentNodeValues v;
        v.noteId = c.noteId;
        v.title = c.title;
        v.isDefault = c.isDefault;
        f.SetOptions(v);
        EXPECT_EQ(f.Label(10), c.form) << c.noteId << c.title << c.isDefault;
        EXPECT_EQ(f.Label(18), c.document) << c.noteId << c.title << c.isDefault;
    }
}

TEST(NoteLabels, WindowTitlesComeFromTheFormOrTheDocument) {
    Fixture f;
    EXPECT_EQ(f.Label(18), "Memo: Hello");
    EXPECT_EQ(f.Label(22), "Untitled Plain");
    EXPECT_EQ(f.Label(26), "Own X");
    EXPECT_EQ(f.Label(30), "Untitled (stored form)");
    EXPECT_TRUE(f.Label(34).starts_with("???: ")) << f.Label(34);
    EXPECT_EQ(f.Label(14), "Plain");
    // The absence of a window title is cached like a formula.
    EXPECT_TRUE(DesignTitleCache().Holds(f.db->GetHandle(), "Plain"));
    EXPECT_TRUE(DesignTitleCache().Holds(f.db->GetHandle(), "Memo"));
    EXPECT_FALSE(DesignTitleCache().Holds(f.db->GetHandle(), "memo"));
}

TEST(NoteLabels, FormulaLabelsAndWhereTheyApply) {
    Fixture f;
    DocumentNodeValues v;
    v.titleType = 1;
    f.SetOptions(v, "#Subject .. \"!\"");
    EXPECT_EQ(f.Label(18), "Hello!");
    EXPECT_EQ(f.Label(10), "*Memo"); // design elements keep the simple label
    v.formulaDesign = 1;
    f.SetOptions(v, "#Subject .. \"!\"");
    EXPECT_EQ(f.Label(10), "!");
    f.SetOptions(v, nullptr);
    EXPECT_EQ(f.Label(18), "- no formula -");
    f.SetOptions(v, "1 / #Nothing");
    EXPECT_TRUE(f.Label(18).starts_with("???: ")) << f.Label(18);
}

TEST(NoteLabels, OptionChangesRelabelOnlyOnTheirFlags) {
    Fixture f;
    auto* note = new TNDocument(f.db, 18, &f.tree.doc);
    f.db->AddChild(note);
    DocumentNodeValues v;
    v.noteId = 1;
    v.title = 0;
    f.SetOptions(v);
    note->OnOptionsChanged(0x40);
    EXPECT_EQ(note->GetLabel(), "Memo: Hello");
    note->OnOptionsChanged(0x04);
    EXPECT_EQ(note->GetLabel(), "12");
}

// Window titles and label formulas read items that need not be summary items; they stay the
// same whatever flags the user opens notes with.
TEST(NoteLabels, TitlesReadItemsThatAreNoSummaryItems) {
    auto plain = [](std::string name, vb::Bytes value) {
        return vb::ItemDesc{std::move(name), 0, std::move(value)};
    };
    vb::DatabaseDesc desc;
    store::CurrentTime(&desc.id);
    desc.notes = {
        Note(50, 0x0004,
             {Item("$TITLE", vb::TextValue("Letter")),
              plain("$WindowTitle", storetest::CompiledFormula("\"Letter: \" .. #Subject"))}),
        Note(54, 0x0001,
             {Item("Form", vb::TextValue("Letter")), plain("Subject", vb::TextValue("Hi"))}),
        Note(58, 0x0001,
             {plain("$WindowTitle", storetest::CompiledFormula("\"Own \" .. #Subject")),
              plain("Subject", vb::TextValue("Z"))}),
    };
    Fixture f(desc, "plain-items");
    DocumentNodeValues v;
    v.openFlags = store::kOpenSummary | store::kOpenAbstract;
    f.SetOptions(v);
    EXPECT_EQ(f.Label(54), "Letter: Hi");
    EXPECT_EQ(f.Label(58), "Own Z");

    // An expanded note holds what the flags leave; its label is still made from the whole note.
    auto* note = new TNDocument(f.db, 54, &f.tree.doc);
    f.db->AddChild(note);
    f.tree.control.Expand(note);
    EXPECT_EQ(ChildLabels(note), (std::vector<std::string>{"Note Information", "Form"}));
    note->OnOptionsChanged(0x04);
    EXPECT_EQ(note->GetLabel(), "Letter: Hi");

    v.titleType = 1;
    f.SetOptions(v, "#Subject .. \"!\"");
    EXPECT_EQ(f.Label(54), "Hi!");
    note->OnOptionsChanged(0x04);
    EXPECT_EQ(note->GetLabel(), "Hi!");
}

TEST(DesignTitleCache, TheEleventhFormEvictsTheLeastRecent) {
    vb::DatabaseDesc desc;
    store::CurrentTime(&desc.id);
    for (int i = 0; i < 11; ++i)
        desc.notes.push_back(
            Note(4 * (i + 1), 0x0004, {Item("$TITLE", vb::TextValue("F" + std::to_string(i)))}));
    storetest::TempDatabase file(desc, "forms");
    store::DbHandle db = 0;
    ASSERT_EQ(store::OpenDatabase(file.Path().c_str(), &db), store::kNoError);
    CDesignTitleCache cache;
    store::ComputeHandle compute = 1;
    for (int i = 0; i < 10; ++i)
        ASSERT_EQ(cache.Lookup(db, "F" + std::to_string(i), &compute), store::kNoError);
    EXPECT_EQ(compute, 0u);
    EXPECT_EQ(cache.Used(), 10u);
    ASSERT_EQ(cache.Lookup(db, "F0", &compute), store::kNoError); // F1 is now the oldest
    ASSERT_EQ(cache.Lookup(db, "F10", &compute), store::kNoError);
    EXPECT_EQ(cache.Used(), 10u);
    EXPECT_TRUE(cache.Holds(db, "F0"));
    EXPECT_FALSE(cache.Holds(db, "F1"));
    EXPECT_TRUE(cache.Holds(db, "F10"));
    EXPECT_EQ(cache.Lookup(db, "Nope", &compute), store::kDesignNotFound);
    EXPECT_NE(cache.Lookup(0, "F0", &compute), store::kNoError);
    store::CloseDatabase(db);
}

TEST(NoteNode, ExpansionListsInformationAndItemsAndCollapseClosesTheNote) {
    Fixture f;
    auto* note = new TNDocument(f.db, 18, &f.tree.doc);
    f.db->AddChild(note);
    f.tree.control.Expand(note);
    ASSERT_NE(note->GetNoteHandle(), 0u);
    EXPECT_EQ(ChildLabels(note), (std::vector<std::string>{"Note Information", "Form", "Subject"}));
    f.tree.control.Collapse(note);
    EXPECT_EQ(note->GetNoteHandle(), 0u);
}

TEST(NoteNode, ACancelStopsTheItemWalkWithOneErrorNode) {
    Fixture f;
    auto* note = new TNDocument(f.db, 18, &f.tree.doc);
    f.db->AddChild(note);
    int asked = 0;
    CScopedCancelProbe probe([](void* n) { return ++*static_cast<int*>(n) > 1; }, &asked);
    f.tree.control.Expand(note);
    std::vector<std::string> labels;
    const TNError* error = nullptr;
    for (CTreeListNode* c = note->GetFirstChild(); c; c = c->GetNextSibling()) {
        labels.emplace_back(c->GetLabel());
        if (auto* e = dynamic_cast<const TNError*>(c))
            error = e;
    }
    ASSERT_EQ(labels.size(), 3u);
    EXPECT_EQ(labels[1], "Form");
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->GetStatus(), store::kCancelled);
}

TEST(NoteNode, HiddenItemsAreNotWalkedAndAMissingNoteIsReported) {
    Fixture f;
    CTypeSet shown = CTypeSet::All();
    shown.Remove(nodetype::kItems);
    f.tree.doc.SetPlaceholdersWanted(false);
    f.tree.doc.SetShownSet(shown);
    auto* note = new TNDocument(f.db, 18, &f.tree.doc);
    f.db->AddChild(note);
    f.tree.control.Expand(note);
    EXPECT_EQ(note->ChildCount(), 1u);

    auto* missing = new TNDocument(f.db, 999, &f.tree.doc);
    f.db->AddChild(missing);
    f.tree.control.Expand(missing);
    ASSERT_EQ(missing->ChildCount(), 1u);
    EXPECT_TRUE(missing->GetFirstChild()->GetLabel().starts_with("Couldn't open note"));
}

TEST(NoteNode, FieldsOfNotesAndTheirInformation) {
    Fixture f;
    TNDocument document(f.db, 18, &f.tree.doc);
    ExpectParts(Describe(document),
                {"(note Document \"Memo: Hello\"", "(note-id ", "(oid ", "(modified "},
                {"is-default"});

    TNDocument form(f.db, 10, &f.tree.doc);
    EXPECT_TRUE(Has(Describe(form), "(is-default True)")) << Describe(form);
    TNDocument plainForm(f.db, 14, &f.tree.doc);
    EXPECT_TRUE(Has(Describe(plainForm), "(is-default False)")) << Describe(plainForm);

    store::NoteHandle parent = 0, child = 0;
    ASSERT_EQ(store::OpenNote(f.db->GetHandle(), 18, 0, &parent), store::kNoError);
    ASSERT_EQ(store::OpenNote(f.db->GetHandle(), 38, 0, &child), store::kNoError);
    TNDocumentInfo parentInfo(parent), childInfo(child);
    const std::string p = Describe(parentInfo), c = Describe(childInfo);
    store::CloseNote(parent);
    store::CloseNote(child);
    ExpectParts(p, {"(responses", "0x26", "(response-count 1)"});
    ExpectParts(c, {"(responses 0)", "(parent-noteid 0x12)"}, {"pre-v3-privileges-mask"});
}

store::SEARCH_MATCH StubMatch(store::NoteId id, std::uint16_t cls) {
    store::SEARCH_MATCH m{};
    std::memcpy(m.identity + 16, &id, 4);
    m.noteClass = cls;
    return m;
}

TEST(DeletionStub, LabelsByClassAndOptions) {
    fake::Document doc;
    struct Case {
        std::uint16_t cls;
        int noteId, title;
        const char* label;
    } cases[] = {
        {0x8001, 0, 1, "Deleted document"},
        {0x8008, 1, 1, "2a: Deleted view"},
        {0x8800, 1, 0, "2a"},
        {0x8003, 0, 1, "Deleted ???"},
        {0x0400, 0, 0, ""},
    };
    for (const Case& c : cases) {
        DocumentNodeValues v;
        v.noteId = c.noteId;
        v.title = c.title;
        doc.DocumentOptions().Apply(v, CompiledFormula());
        TNDeletionStub stub(StubMatch(0x2A, c.cls), &doc);
        EXPECT_EQ(stub.GetLabel(), c.label);
        EXPECT_EQ(stub.GetNoteClass() & 0x8000, 0);
        EXPECT_FALSE(stub.IsExpandable());
    }
    TNDeletionStub stub(StubMatch(0x2A, 0x8004), &doc);
    ExpectParts(Describe(stub), {"(deletion-stub Form", "(giid "}, {"Default"});
}

TEST(FormulaText, EveryResultTypeBecomesText) {
    struct Case {
        const char* formula;
        const char* text;
    } cases[] = {
        {"\"plain\"", "plain"}, {"[\"a\", \"b\", \"c\"]", "a;b;c"},  {"42", "42"},
        {"[7, 8]", "7"},        {"date(1996, 5, 10)", "05/10/1996"},
    };
    for (const Case& c : cases) {
        const vb::Bytes bytes = storetest::CompiledFormula(c.formula);
        store::ComputeHandle compute = 0;
        ASSERT_EQ(store::ComputeStart(bytes.data() + 2, bytes.size() - 2, &compute),
                  store::kNoError);
        std::string text;
        EXPECT_EQ(FormulaResultToText(compute, 0, 0, &text), store::kNoError);
        store::ComputeStop(compute);
        EXPECT_TRUE(text.starts_with(c.text)) << c.formula << " -> " << text;
    }
}

TEST(DocumentNodeOptions, LoadSaveAndApply) {
    CMemorySettings settings;
    settings.WriteInt(kDocumentNodesSection, "NoteID", 1);
    settings.WriteInt(kDocumentNodesSection, "OpenFlags", 0x1001);
    settings.WriteString(kDocumentNodesSection, "Formula", "#Subject ..");
    storetest::RecordingBox box;
    CDocumentNodeOptions options;
    options.Load(settings);
    EXPECT_EQ(options.Values().noteId, 1);
    EXPECT_EQ(options.Values().title, 1);
    EXPECT_EQ(options.Values().openFlags, 0x1001);
    EXPECT_TRUE(options.Formula().Empty());
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].first, "Error");

    CMemorySettings copy;
    ASSERT_TRUE(options.Save(copy));
    CDocumentNodeOptions reread;
    reread.Load(copy);
    EXPECT_EQ(reread.Values(), options.Values());

    DocumentNodeValues v = options.Values();
    v.openFlags = 0x0004;
    EXPECT_EQ(options.Apply(v, CompiledFormula()), 0u);
    EXPECT_EQ(options.Values().openFlags, 0x0004);
    v.sortItems = 0;
    EXPECT_EQ(options.Apply(v, CompiledFormula()), CDocumentNodeOptions::kLabelsChanged);
    v.formula = "#Subject";
    EXPECT_EQ(options.Apply(v, CompileFormulaText(v.formula).formula),
              CDocumentNodeOptions::kLabelsChanged);
    EXPECT_FALSE(options.Formula().Empty());
}

TEST(DocumentNodePages, TheNotesPageCompilesOnlyWhatItShows) {
    CDocumentNodeOptions options;
    CDocumentNodePages pages(options);
    pages.Values().formula = "#Subject ..";
    EXPECT_EQ(pages.LeaveNotesPage().status, store::kNoError) << "simple labels compile nothing";

    pages.Values().titleType = 1;
    EXPECT_TRUE(pages.FormulaControlsEnabled());
    const FormulaCompileResult bad = pages.LeaveNotesPage();
    EXPECT_EQ(bad.status, store::kFormulaSyntax);
    EXPECT_LE(bad.errorOffset + bad.errorLength, pages.Values().formula.size());
    EXPECT_TRUE(options.Formula().Empty()) << "a refused page changes nothing yet";

    pages.Values().formula = "#Subject .. \"!\"";
    EXPECT_EQ(pages.LeaveNotesPage().status, store::kNoError);
    EXPECT_EQ(pages.ApplyTo(options), CDocumentNodeOptions::kLabelsChanged);
    EXPECT_FALSE(options.Formula().Empty());
    EXPECT_EQ(options.Values().formula, "#Subject .. \"!\"");
}

TEST(DocumentNodePages, AFormulaEditedUnderSimpleLabelsNeverKeepsAStaleCompilation) {
    CDocumentNodeOptions options;
    {
        CDocumentNodePages first(options);
        first.Values().titleType = 1;
        first.Values().formula = "#Subject";
        ASSERT_EQ(first.LeaveNotesPage().status, store::kNoError);
        first.ApplyTo(options);
    }
    ASSERT_FALSE(options.Formula().Empty());

    // Simple chosen, text changed: leaving the page compiles nothing, so OK must.
    CDocumentNodePages pages(options);
    pages.Values().titleType = 0;
    pages.Values().formula = "let = ;";
    EXPECT_EQ(pages.LeaveNotesPage().status, store::kNoError);
    EXPECT_EQ(pages.ApplyTo(options), CDocumentNodeOptions::kLabelsChanged);
    EXPECT_EQ(options.Values().formula, "let = ;");
    EXPECT_TRUE(options.Formula().Empty()) << "the old compilation no longer matches the text";

    CDocumentNodePages again(options);
    again.Values().formula = "#Form";
    again.ApplyTo(options);
    EXPECT_FALSE(options.Formula().Empty());
}

TEST(DocumentNodePages, OpenFlagRowsSetBitsWithoutRelabelling) {
    CDocumentNodeOptions options;
    CDocumentNodePages pages(options);
    pages.SetOpenFlag(0x1000, true);
    pages.SetOpenFlag(0x0004, true);
    pages.SetOpenFlag(0x0004, false);
    EXPECT_TRUE(pages.OpenFlag(0x1000));
    EXPECT_FALSE(pages.OpenFlag(0x0004));
    EXPECT_EQ(pages.ApplyTo(options), 0u);
    EXPECT_EQ(options.Values().openFlags, 0x1000);
}

} // namespace
