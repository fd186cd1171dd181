// The recently peeked lists: the most-recently-used rules, their settings form and what a
// broken stored list keeps, the per-database notes records shared between documents, and the
// nodes that list the entries.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StoreTestSupport.h"
#include "common/MemorySettings.h"
#include "common/ProgramSettings.h"
#include "output/DumpWriter.h"
#include "store/RecentPeeked.h"
#include "store/RecentPeekedNodes.h"
#include "store/TNDatabase.h"
#include "store/TNDocument.h"
#include "store/api/Conversions.h"
#include "store/api/Items.h"
#include "support/FakeTree.h"
#include "tree/CommandIds.h"
#include "vlt/builder/Values.h"
#include "vlt/builder/Writer.h"

namespace {

// Every test of this program runs on settings in memory: database nodes remember their notes
// in the program's settings, which must never be the user's file.
class MemoryProgramSettings : public ::testing::Environment {
public:
    void SetUp() override { OverrideProgramSettings(&settings_); }
    void TearDown() override { OverrideProgramSettings(nullptr); }

private:
    CMemorySettings settings_;
};
[[maybe_unused]] ::testing::Environment* const g_memorySettings =
    ::testing::AddGlobalTestEnvironment(new MemoryProgramSettings);

namespace vb = vlt::builder;
using storetest::ChildLabels;

store::TimeDate Id(std::uint32_t high, std::uint32_t low) {
    store::TimeDate id;
    id.w[0] = low;
    id.w[1] = high;
    return id;
}

recent::DatabaseEntry Db(std::uint32_t n, std::string title = "T") {
    return recent::DatabaseEntry{Id(0x100 + n, n), std::move(title), "/p/" + std::to_string(n),
                                 nodetype::kDatabases};
}

std::vector<std::string> Titles(const recent::CDatabaseList& list) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < list.Count(); ++i)
        out.push_back(list.At(i).title);
    return out;
}

std::vector<std::string> Names(const recent::CServerList& list) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < list.Count(); ++i)
        out.push_back(list.At(i).name);
    return out;
}

std::vector<store::NoteId> Ids(const recent::CNoteList& list) {
    std::vector<store::NoteId> out;
    for (std::size_t i = 0; i < list.Count(); ++i)
        out.push_back(list.At(i).id);
    return out;
}

TEST(RecentList, AFullListReusesTheLeastRecentSlotAndReAddingKeepsSlotAndContent) {
    recent::CDatabaseList list;
    for (std::uint32_t n = 0; n < 10; ++n)
        EXPECT_EQ(list.Add(Db(n, "db" + std::to_string(n))), n);
    // Use db0 again: it moves to the front, keeps slot 0 and its old title and path.
    recent::DatabaseEntry again = Db(0, "renamed");
    again.path = "/elsewhere";
    EXPECT_EQ(list.Add(again), 0u);
    EXPECT_EQ(list.At(0).title, "db0");
    EXPECT_EQ(list.At(0).path, "/p/0");
    EXPECT_EQ(list.At(1).title, "db9");
    // The eleventh distinct one takes the least recent slot, db1's.
    EXPECT_EQ(list.Add(Db(10, "db10")), 1u);
    EXPECT_EQ(list.Count(), 10u);
    EXPECT_EQ(Titles(list), (std::vector<std::string>{"db10", "db0", "db9", "db8", "db7", "db6",
                                                      "db5", "db4", "db3", "db2"}));
    // Same identifier only when both words agree.
    EXPECT_EQ(list.Add(recent::DatabaseEntry{Id(0x100, 1), "x", "", nodetype::kDatabases}), 2u);
    EXPECT_EQ(list.At(0).title, "x");

    recent::CServerList servers;
    servers.Add({"Hub"});
    servers.Add({"hub"}); // names compare case-sensitively
    servers.Add({"Hub"});
    EXPECT_EQ(Names(servers), (std::vector<std::string>{"Hub", "hub"}));
}

TEST(RecentList, DatabasesSaveInTheirSettingsFormAndLoadBack) {
    recent::CDatabaseList list;
    list.Add({Id(0xA, 0xB), "Alpha", "a.vlt", nodetype::kDatabases});
    list.Add({Id(0xC, 0xD), "Beta", "b.vlt", nodetype::kTemplates});
    CMemorySettings settings;
    ASSERT_TRUE(list.Save(settings));
    EXPECT_EQ(settings.GetString("Recent Databases", "DBs.Index"), "ba");
    EXPECT_EQ(settings.GetString("Recent Databases", "DBs.a"), "0000000A:0000000B");
    EXPECT_EQ(settings.GetString("Recent Databases", "DBs.b"), "0000000C:0000000D");
    // The identifier's section is read back in lower case; names match regardless of case.
    EXPECT_EQ(settings.GetString("0000000c:0000000d", "Title"), "Beta");
    EXPECT_EQ(settings.GetString("0000000C:0000000D", "Type"), "T");

    recent::CDatabaseList loaded;
    loaded.Load(settings);
    ASSERT_EQ(loaded.Count(), 2u);
    EXPECT_EQ(loaded.SlotAt(0), 1u); // "ba": slot 1 is the most recent
    EXPECT_EQ(loaded.At(0).title, "Beta");
    EXPECT_EQ(loaded.At(0).type, nodetype::kTemplates);
    EXPECT_EQ(loaded.At(1).path, "a.vlt");
    EXPECT_EQ(loaded.At(1).id.w[1], 0xAu);
    EXPECT_EQ(loaded.At(1).id.w[0], 0xBu);

    recent::CServerList servers;
    servers.Add({"One"});
    servers.Add({"Two"});
    ASSERT_TRUE(servers.Save(settings));
    EXPECT_EQ(settings.GetString("Recent Servers", "Servers.Index"), "ba");
    recent::CServerList back;
    back.Load(settings);
    EXPECT_EQ(Names(back), (std::vector<std::string>{"Two", "One"}));
}

TEST(RecentList, AFailedWriteEndsTheSave) {
    recent::CDatabaseList list;
    list.Add(Db(1));
    list.Add(Db(2));
    CMemorySettings settings;
    settings.FailWritesAfter(3); // index, DBs.a, its title
    EXPECT_FALSE(list.Save(settings));
    EXPECT_EQ(settings.WriteCount(), 3u);
    EXPECT_FALSE(settings.Read("Recent Databases", "DBs.b"));

    recent::CNoteList notes;
    notes.Add({7});
    CMemorySettings none;
    none.FailWritesAfter(0);
    EXPECT_FALSE(notes.Save(none, "K"));
}

TEST(RecentList, BrokenStoredListsKeepWhatComesBeforeTheFault) {
    const std::string ids = "[Recent Databases]\n"
                            "DBs.a=00000001:00000002\nDBs.b=00000003:00000004\n"
                            "DBs.c=00000005:00000006\n";
    struct Case {
        const char* index;
        const char* extra;
        std::vector<std::string> paths; // in recency order
    };
    const Case cases[] = {
        {"cab", "", {"p5", "p1", "p3"}},
        {"bAc", "", {"p3"}}, // a letter before 'a' ends the list there
        {"bca", "", {"p3", "p5", "p1"}},
        {"bd", "", {"p3"}}, // a letter past the index's length ends it
        {"bb", "", {"p3"}}, // a slot named twice ends it
        {"", "", {}},
        // A bad identifier drops its slot and all later slots; the rest keep their order.
        {"cba", "DBs.b=nonsense\n", {"p1"}},
        {"cab", "DBs.c=1:\n", {"p1", "p3"}},
        {"abc", "DBs.b=123456789:1\n", {"p1"}}, // more than 32 bits
    };
    for (const Case& c : cases) {
        CMemorySettings settings;
        std::string text = ids + "DBs.Index=" + c.index + "\n";
        for (int n = 1; n <= 5; n += 2) {
            char section[64];
            std::snprintf(section, sizeof section, "[%08X:%08X]\nPath=p%d\n", n, n + 1, n);
            text += section;
        }
        settings.SetText(text);
        if (const std::string extra = c.extra; !extra.empty()) {
            const std::size_t eq = extra.find('=');
            settings.WriteString("Recent Databases", extra.substr(0, eq),
                                 extra.substr(eq + 1, extra.size() - eq - 2));
        }
        recent::CDatabaseList list;
        list.Load(settings);
        std::vector<std::string> paths;
        for (std::size_t i = 0; i < list.Count(); ++i)
            paths.push_back(list.At(i).path);
        EXPECT_EQ(paths, c.paths) << c.index << " " << c.extra;
        // Whatever was kept, the next entry takes a fresh slot and overwrites nothing.
        const std::size_t before = list.Count();
        list.Add(Db(99, "new"));
        EXPECT_EQ(list.Count(), before + 1) << c.index;
        EXPECT_EQ(list.At(0).title, "new");
        for (std::size_t i = 1; i < list.Count(); ++i)
            EXPECT_EQ(list.At(i).path, c.paths[i - 1]) << c.index;
    }
}

TEST(RecentList, StoredDatabaseFieldsAreCutAndDefaulted) {
    CMemorySettings settings;
    settings.SetText("[Recent Databases]\nDBs.Index=abcd\n"
                     "DBs.a=1:2\nDBs.b=3:4\nDBs.c=5:6\nDBs.d=7:8\n"
                     "[00000003:00000004]\nType=Template\nTitle=" +
                     std::string(40, 'x') +
                     "\n"
                     "[00000005:00000006]\nType=S\n"
                     "[00000007:00000008]\nTitle=" +
                     std::string(32, 'y') + "\xC3\xA9z\n");
    recent::CDatabaseList list;
    list.Load(settings);
    ASSERT_EQ(list.Count(), 4u);
    EXPECT_EQ(list.At(0).type, nodetype::kDatabases); // no section at all: a database
    EXPECT_EQ(list.At(0).title, "");
    EXPECT_EQ(list.At(1).type, nodetype::kTemplates);
    EXPECT_EQ(list.At(1).title, std::string(33, 'x'));
    EXPECT_EQ(list.At(2).type, nodetype::kDatabases);  // a server's letter makes no server
    EXPECT_EQ(list.At(3).title, std::string(32, 'y')); // never half a character

    settings.SetText(
        "[Recent Servers]\nServers.Index=abcdefghijkl\nServers.a=" + std::string(300, 's') + "\n");
    recent::CServerList servers;
    servers.Load(settings);
    ASSERT_EQ(servers.Count(), 10u); // at most ten; absent names are empty
    EXPECT_EQ(servers.At(0).name.size(), 256u);
    EXPECT_EQ(servers.At(1).name, "");
}

TEST(RecentList, NotesLoadUpToFiveNumbersAndSaveThemInRecencyOrder) {
    struct Case {
        const char* stored;
        std::vector<store::NoteId> ids;
    };
    const Case cases[] = {
        {"1a 2B\t3c ", {0x1a, 0x2b, 0x3c}},
        {"1 2 3 4 5 6 7", {1, 2, 3, 4, 5}},
        {"  9 zz 8", {9}},
        {"4 5 4 6", {4, 5}},  // a repeated note ends the list
        {"1 123456789", {1}}, // beyond 32 bits
        {"ffffffff", {0xffffffff}},
        {"", {}},
        {"-1", {}},
    };
    for (const Case& c : cases) {
        CMemorySettings settings;
        settings.WriteString("recentnotes", "K", c.stored);
        recent::CNoteList list;
        list.Load(settings, "K");
        EXPECT_EQ(Ids(list), c.ids) << c.stored;
    }
    recent::CNoteList list;
    list.Add({0x1F});
    list.Add({0x20});
    list.Add({0x1F});
    CMemorySettings settings;
    ASSERT_TRUE(list.Save(settings, "0000000A:0000000B"));
    EXPECT_EQ(settings.GetString("RecentNotes", "0000000A:0000000B"), "1f 20 ");
    recent::CNoteList empty;
    ASSERT_TRUE(empty.Save(settings, "E"));
    EXPECT_EQ(settings.Read("RecentNotes", "E"), std::string());
}

// Two documents, each with a tree showing one database file of notes 10 and 14.
struct TwoDocuments {
    storetest::TempDatabase file{Desc(), "recent"};
    CMemorySettings settings;
    CSettings* previous = OverrideProgramSettings(&settings);
    fake::Tree one, two;
    TNDatabase* dbOne = Add(one);
    TNDatabase* dbTwo = Add(two);

    ~TwoDocuments() {
        one.control.DeleteAllRows();
        two.control.DeleteAllRows();
        OverrideProgramSettings(previous);
    }
    static vb::DatabaseDesc Desc() {
        vb::DatabaseDesc desc;
        desc.id = Id(0x12345678, 0x9ABCDEF0);
        desc.replicaId = desc.id;
        for (store::NoteId id : {10u, 14u}) {
            vb::NoteDesc n;
            n.id = id;
            n.noteClass = 0x0001;
            store::CurrentTime(&n.created);
            n.modified = n.created;
            n.items = {vb::ItemDesc{"Subject", store::kItemSummary, vb::TextValue("S")}};
            desc.notes.push_back(n);
        }
        return desc;
    }
    TNDatabase* Add(fake::Tree& tree) {
        auto* db = new TNDatabase(&tree.doc, "Notes", file.Path().c_str(), nodetype::kDatabases);
        tree.control.AddRoot(db);
        return db;
    }
    static CRecentNotesNode* RecentNode(TNDatabase* db) {
        return dynamic_cast<CRecentNotesNode*>(db->GetFirstChild());
    }
};

TEST(RecentNotes, DocumentsShowingOneDatabaseShareItsRecord) {
    TwoDocuments f;
    const std::size_t recordsBefore = recent::NotesRecordCount();
    f.one.control.Expand(f.dbOne);
    f.two.control.Expand(f.dbTwo);
    ASSERT_NE(f.dbOne->RecentNotes(), nullptr);
    EXPECT_EQ(f.dbOne->RecentNotes(), f.dbTwo->RecentNotes());
    EXPECT_EQ(f.dbOne->RecentNotes()->Uses(), 2);
    EXPECT_EQ(f.dbOne->RecentNotes()->Key(), "12345678:9ABCDEF0");
    EXPECT_EQ(recent::NotesRecordCount(), recordsBefore + 1);

    CRecentNotesNode* recentOne = TwoDocuments::RecentNode(f.dbOne);
    CRecentNotesNode* recentTwo = TwoDocuments::RecentNode(f.dbTwo);
    ASSERT_NE(recentOne, nullptr);
    ASSERT_NE(recentTwo, nullptr);
    EXPECT_EQ(recentOne->GetLabel(), "Recently Peeked Notes");
    EXPECT_FALSE(recentTwo->IsExpandable()); // nothing opened yet

    // Opening note 14 in the first document tells both documents.
    f.one.doc.hints.clear();
    f.two.doc.hints.clear();
    auto* note = new TNDocument(f.dbOne, 14, &f.one.doc);
    f.dbOne->AddChild(note);
    f.one.control.Expand(note);
    EXPECT_EQ(f.one.doc.hints, std::vector<std::uint32_t>{hint::kRecentNotes});
    EXPECT_EQ(f.two.doc.hints, std::vector<std::uint32_t>{hint::kRecentNotes});
    EXPECT_TRUE(recentTwo->IsExpandable());

    // The second document lists it once its node is expanded.
    f.two.control.Expand(recentTwo);
    ASSERT_EQ(recentTwo->ChildCount(), 1u);
    auto* listed = dynamic_cast<TNDocument*>(recentTwo->GetFirstChild());
    ASSERT_NE(listed, nullptr);
    EXPECT_EQ(listed->GetNoteId(), 14u);
    // Its children stay until collapsed and expanded again.
    auto* ten = new TNDocument(f.dbOne, 10, &f.one.doc);
    f.dbOne->AddChild(ten);
    f.one.control.Expand(ten);
    EXPECT_EQ(recentTwo->ChildCount(), 1u);
    f.two.control.Collapse(recentTwo);
    f.two.control.Expand(recentTwo);
    ASSERT_EQ(recentTwo->ChildCount(), 2u);
    EXPECT_EQ(dynamic_cast<TNDocument*>(recentTwo->GetFirstChild())->GetNoteId(), 10u);

    // Nothing is saved while a user is left; the last one saves.
    f.one.control.DeleteAllRows();
    EXPECT_FALSE(f.settings.Read("RecentNotes", "12345678:9ABCDEF0"));
    EXPECT_EQ(f.dbTwo->RecentNotes()->Uses(), 1);
    f.two.control.DeleteAllRows();
    EXPECT_EQ(f.settings.GetString("RecentNotes", "12345678:9ABCDEF0"), "a e ");
    EXPECT_EQ(recent::NotesRecordCount(), recordsBefore);
}

TEST(RecentNotes, ARecordIsLoadedOnFirstUseAndSavedAtShutDown) {
    TwoDocuments f;
    f.settings.WriteString("RecentNotes", "12345678:9abcdef0", "e 63 ");
    f.one.control.Expand(f.dbOne);
    CRecentNotesNode* recent = TwoDocuments::RecentNode(f.dbOne);
    ASSERT_NE(recent, nullptr);
    f.one.control.Expand(recent);
    // Note 0x63 no longer exists: its node reports that when expanded; the entry stays.
    ASSERT_EQ(ChildLabels(recent).size(), 2u);
    auto* gone = dynamic_cast<TNDocument*>(recent->GetFirstChild()->GetNextSibling());
    ASSERT_NE(gone, nullptr);
    f.one.control.Expand(gone);
    ASSERT_EQ(gone->ChildCount(), 1u);
    EXPECT_TRUE(gone->GetFirstChild()->GetLabel().starts_with("Couldn't open note"));

    f.one.control.Expand(dynamic_cast<TNDocument*>(recent->GetFirstChild()));
    // A failed open remembered nothing; the open of 0xe moved nothing (already first).
    EXPECT_EQ(Ids(f.dbOne->RecentNotes()->List()), (std::vector<store::NoteId>{0xe, 0x63}));

    recent::SaveAllNotesRecords();
    EXPECT_EQ(f.settings.GetString("RecentNotes", "12345678:9ABCDEF0"), "e 63 ");
    EXPECT_EQ(recent::NotesRecordCount(), 0u);
    // A tool that only reads the settings file leaves it as it was.
    f.settings.WriteString("RecentNotes", "12345678:9ABCDEF0", "");
    const bool saving = recent::SetSaveNotesRecords(false);
    f.two.control.Expand(f.dbTwo);
    auto* opened = new TNDocument(f.dbTwo, 10, &f.two.doc);
    f.dbTwo->AddChild(opened);
    f.two.control.Expand(opened);
    EXPECT_EQ(Ids(f.dbTwo->RecentNotes()->List()), std::vector<store::NoteId>{10});
    f.two.control.DeleteAllRows();
    recent::SetSaveNotesRecords(saving);
    EXPECT_EQ(f.settings.GetString("RecentNotes", "12345678:9ABCDEF0"), "");
    // The node still holding the record after shut-down saves nothing more when it goes.
    f.settings.WriteString("RecentNotes", "12345678:9ABCDEF0", "kept");
    f.one.control.DeleteAllRows();
    EXPECT_EQ(f.settings.GetString("RecentNotes", "12345678:9ABCDEF0"), "kept");
}

TEST(RecentNotes, OnlyAnExpansionThatOpensTheDatabaseRemembersIt) {
    TwoDocuments f;
    recent::CreateProgramLists(f.settings);
    f.one.doc.hints.clear();
    f.one.control.Expand(f.dbOne);
    EXPECT_EQ(f.one.doc.hints, std::vector<std::uint32_t>{hint::kRecentDatabases});
    ASSERT_EQ(recent::ProgramDatabases()->Count(), 1u);
    EXPECT_EQ(recent::ProgramDatabases()->At(0).title, "Notes");
    // The hide and show commands run the expansion again on the open database.
    f.one.doc.hints.clear();
    f.dbOne->RunPlaceholderPass();
    EXPECT_TRUE(f.one.doc.hints.empty());
    EXPECT_EQ(f.dbOne->RecentNotes()->Uses(), 1);
    f.one.control.DeleteAllRows();
    recent::SaveAndDestroyProgramLists(f.settings);
}

TEST(RecentNodes, ListsFollowTheProgramListsInTheirOrder) {
    CMemorySettings settings;
    recent::CreateProgramLists(settings);
    fake::Tree tree;
    auto* dbs = new CRecentDatabasesNode();
    auto* servers = new CRecentServersNode();
    dbs->SetDocument(&tree.doc);
    servers->SetDocument(&tree.doc);
    tree.control.AddRoot(dbs);
    tree.control.AddRoot(servers);
    EXPECT_FALSE(dbs->IsExpandable());
    EXPECT_FALSE(servers->IsExpandable());

    tree.doc.hints.clear();
    recent::AddServer("zeta");
    recent::AddServer("Alpha");
    recent::AddServer("mid");
    recent::AddDatabase(Id(1, 1), "Zulu", "z.vlt", nodetype::kDatabases);
    recent::AddDatabase(Id(2, 2), "Able", "a.vlt", nodetype::kTemplates);
    EXPECT_EQ(tree.doc.hints, (std::vector<std::uint32_t>{
                                  hint::kRecentServers, hint::kRecentServers, hint::kRecentServers,
                                  hint::kRecentDatabases, hint::kRecentDatabases}));
    EXPECT_TRUE(dbs->IsExpandable());
    tree.control.Expand(dbs);
    tree.control.Expand(servers);
    EXPECT_EQ(ChildLabels(dbs), (std::vector<std::string>{"Able", "Zulu"})); // most recent first
    EXPECT_EQ(dynamic_cast<TNDatabase*>(dbs->GetFirstChild())->GetTypeId(), nodetype::kTemplates);
    EXPECT_EQ(ChildLabels(servers), (std::vector<std::string>{"Alpha", "mid", "zeta"}));

    // Hidden databases leave the templates; hidden servers leave nothing but a placeholder.
    CTypeSet shown = CTypeSet::All();
    shown.Remove(nodetype::kDatabases);
    shown.Remove(nodetype::kServer);
    tree.doc.SetShownSet(shown);
    tree.doc.SetPlaceholdersWanted(false);
    tree.control.Collapse(dbs);
    tree.control.Expand(dbs);
    tree.control.Collapse(servers);
    tree.control.Expand(servers);
    EXPECT_EQ(ChildLabels(dbs), (std::vector<std::string>{"Able"}));
    EXPECT_TRUE(ChildLabels(servers).empty());

    EXPECT_EQ(storetest::Describe(*dbs), "\n(recently-peeked-databases )\n");
    EXPECT_EQ(storetest::Describe(*servers), "\n(recently-peeked-servers )\n");

    CMemorySettings saved;
    EXPECT_TRUE(recent::SaveAndDestroyProgramLists(saved));
    EXPECT_EQ(recent::ProgramDatabases(), nullptr);
    EXPECT_EQ(saved.GetString("Recent Servers", "Servers.Index"), "cba");
    EXPECT_EQ(saved.GetString("Recent Databases", "DBs.b"), "00000002:00000002");
    // Without the program's lists the nodes are empty and nothing is remembered.
    EXPECT_FALSE(dbs->IsExpandable());
    recent::AddServer("late");
    EXPECT_EQ(recent::ProgramServers(), nullptr);
    tree.control.DeleteAllRows();
}

} // namespace
