// A set's count against the rows it lists: over every sample database, and over a database
// whose note rows are damaged in ways the builder never writes.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "StoreTestSupport.h"
#include "common/MemorySettings.h"
#include "common/ProgramSettings.h"
#include "store/TNDatabase.h"
#include "store/TNDatabaseDocSet.h"
#include "store/TNDeletionStub.h"
#include "store/TNDocument.h"
#include "store/api/Conversions.h"
#include "store/api/Items.h"
#include "support/FakeTree.h"
#include "tree/TNError.h"
#include "vlt/builder/Values.h"

namespace fs = std::filesystem;
namespace vb = vlt::builder;

namespace {

struct Listing {
    std::string label;
    int labelCount = -1; // the number in "Name (n)", -1 when there is none
    std::vector<CTreeListNode*> rows;
};

int CountInLabel(const std::string& label) {
    const std::size_t open = label.rfind(" (");
    if (open == std::string::npos || label.back() != ')')
        return -1;
    const std::string digits = label.substr(open + 2, label.size() - open - 3);
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), ::isdigit))
        return -1;
    return std::atoi(digits.c_str());
}

// The three fixed sets of a database, each expanded.
std::vector<Listing> ListSets(fake::Tree& tree, TNDatabase* db) {
    tree.control.Expand(db);
    std::vector<Listing> sets;
    for (CTreeListNode* c = db->GetFirstChild(); c; c = c->GetNextSibling()) {
        if (!dynamic_cast<TNDatabaseDocSet*>(c))
            continue;
        tree.control.Expand(c);
        Listing l;
        l.label = std::string(c->GetLabel());
        l.labelCount = CountInLabel(l.label);
        for (CTreeListNode* n = c->GetFirstChild(); n; n = n->GetNextSibling())
            l.rows.push_back(n);
        sets.push_back(std::move(l));
    }
    return sets;
}

struct Settings {
    CMemorySettings settings;
    CSettings* previous = OverrideProgramSettings(&settings);
    ~Settings() { OverrideProgramSettings(previous); }
};

TEST(SetCounts, EverySampleSetListsAsManyNotesAsItsLabelCounts) {
    Settings settings;
    std::vector<fs::path> files;
    for (const auto& e : fs::recursive_directory_iterator(DELVEX_SAMPLE_DATA_DIR)) {
        std::string ext = e.path().extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(), ::tolower);
        if (e.is_regular_file() && (ext == ".vlt" || ext == ".vtf"))
            files.push_back(e.path());
    }
    std::sort(files.begin(), files.end());
    ASSERT_GE(files.size(), 8u) << DELVEX_SAMPLE_DATA_DIR;
    for (const fs::path& file : files) {
        SCOPED_TRACE(file.string());
        fake::Tree tree;
        auto* db = new TNDatabase(&tree.doc, "Sample", file.string().c_str(), nodetype::kDatabases);
        tree.control.AddRoot(db);
        const std::vector<Listing> sets = ListSets(tree, db);
        ASSERT_EQ(sets.size(), 3u);
        for (const Listing& set : sets) {
            SCOPED_TRACE(set.label);
            EXPECT_EQ(set.labelCount, int(set.rows.size()));
            for (CTreeListNode* row : set.rows) {
                const bool note = dynamic_cast<TNDocument*>(row) != nullptr;
                const bool stub = dynamic_cast<TNDeletionStub*>(row) != nullptr;
                EXPECT_EQ(stub, set.label.starts_with("Deletion Stubs")) << row->GetLabel();
                EXPECT_TRUE(note || stub) << row->GetLabel();
                // A default design element is a live note; its default bit shows as "*".
                if (auto* n = dynamic_cast<TNDocument*>(row); n && (n->GetNoteClass() & 0x8000)) {
                    EXPECT_TRUE(row->GetLabel().starts_with("*")) << row->GetLabel();
                }
            }
        }
    }
}

vb::NoteDesc Doc(store::NoteId id, std::uint64_t modified) {
    vb::NoteDesc n;
    n.id = id;
    n.noteClass = 0x0001;
    n.modified = store::TimeDate::FromValue(modified);
    n.items = {{"Subject", store::kItemSummary, vb::TextValue("s" + std::to_string(id))}};
    return n;
}

// Times of all ones and of zero, and a note ID above 32 bits that would read as the ID of
// another note: every note is still listed once and counted once.
TEST(SetCounts, DamagedNoteRowsAreListedAndCountedOnce) {
    Settings settings;
    vb::DatabaseDesc desc;
    store::CurrentTime(&desc.id);
    desc.replicaId = desc.id;
    const std::uint64_t now = desc.id.Value();
    desc.notes = {Doc(4, now), Doc(8, ~std::uint64_t(0)), Doc(12, 0), Doc(16, now), Doc(20, now)};
    vb::NoteDesc stub = Doc(24, 0);
    stub.deleted = true;
    stub.items.clear();
    desc.notes.push_back(stub);
    storetest::TempDatabase file(desc, "damaged-rows");
    sqlite3* sql = nullptr;
    ASSERT_EQ(sqlite3_open(file.Path().c_str(), &sql), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(sql,
                           "UPDATE items SET note = 4294967300 WHERE note = 20;"
                           "UPDATE notes SET id = 4294967300 WHERE id = 20;",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(sql);

    fake::Tree tree;
    auto* db = new TNDatabase(&tree.doc, "Damaged", file.Path().c_str(), nodetype::kDatabases);
    tree.control.AddRoot(db);
    const std::vector<Listing> sets = ListSets(tree, db);
    ASSERT_EQ(sets.size(), 3u);
    EXPECT_EQ(sets[1].label, "Documents (5)");
    ASSERT_EQ(sets[1].rows.size(), 5u);
    std::vector<store::NoteId> ids;
    std::vector<std::string> errors;
    for (CTreeListNode* row : sets[1].rows) {
        if (auto* n = dynamic_cast<TNDocument*>(row))
            ids.push_back(n->GetNoteId());
        else if (auto* e = dynamic_cast<TNError*>(row))
            errors.emplace_back(e->GetLabel());
    }
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(ids, (std::vector<store::NoteId>{4, 8, 12, 16}));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("4294967300"), std::string::npos) << errors[0];
    EXPECT_EQ(sets[2].label, "Deletion Stubs (1)");
    EXPECT_EQ(sets[2].rows.size(), 1u);
}

} // namespace
