// Searches of databases large enough to be read ahead on a second thread: the callback sees the
// same notes in the same order, an early stop ends the search at once, and a damaged page ends
// it at the same note as a search read on the caller's thread.
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "VltTestSupport.h"
#include "store/api/Items.h"
#include "store/api/Notes.h"
#include "store/api/Search.h"
#include "vlt/SearchRows.h"

using namespace store;
using namespace vlttest;

namespace {

constexpr int kNotes = 3000; // IDs 4 to 12000

// Documents with a summary item and a body, a view among them, and every tenth note a stub.
std::string ManyNotes() {
    std::string json = R"({ "id": "2000-01-01T00:00:00Z", "notes": [)";
    for (int n = 1; n <= kNotes; ++n) {
        char note[400];
        if (n % 10 == 0)
            std::snprintf(note, sizeof note, R"({ "id": %d, "deleted": true })", 4 * n);
        else
            std::snprintf(note, sizeof note,
                          R"({ "id": %d, "class": "%s", "modified": "2000-01-%02dT00:00:00Z",)"
                          R"( "items": [ { "name": "Subject", "text": "note %d",)"
                          R"( "flags": ["summary"] }, { "name": "Body", "text": "body %d" } ] })",
                          4 * n, n % 7 == 0 ? "view" : "document", 2 + n % 20, n, n);
        json += n > 1 ? "," : "";
        json += note;
    }
    return json + "] }";
}

std::size_t Documents() {
    std::size_t count = 0;
    for (int n = 1; n <= kNotes; ++n)
        count += n % 10 != 0 && n % 7 != 0;
    return count;
}

struct Seen {
    std::vector<NoteId> ids;
    std::vector<std::uint16_t> classes;
    std::vector<std::string> summaries;
    int stopAt = -1;
};

Status Record(void* ctx, const SEARCH_MATCH* m, const ITEM_TABLE* summary) {
    auto* seen = static_cast<Seen*>(ctx);
    seen->ids.push_back(SearchMatchNoteId(*m));
    seen->classes.push_back(m->noteClass);
    seen->summaries.emplace_back(reinterpret_cast<const char*>(summary), m->summaryLength);
    return int(seen->ids.size()) == seen->stopAt ? kCancelled : kNoError;
}

class SearchReadAheadTest : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = BuildJson(dir_, "many.vlt", ManyNotes());
        ASSERT_EQ(OpenDatabase(path_.c_str(), &db_), kNoError);
    }
    void TearDown() override {
        vlt::SetSearchReadAhead(true);
        if (db_)
            CloseDatabase(db_);
    }
    Status Run(bool ahead, std::uint16_t flags, std::uint16_t mask, const TimeDate* since,
               Seen* seen) {
        vlt::SetSearchReadAhead(ahead);
        return Search(db_, nullptr, 0, flags, mask, since, Record, seen);
    }
    ScratchDir dir_;
    std::string path_;
    DbHandle db_ = 0;
};

} // namespace

TEST_F(SearchReadAheadTest, SameNotesInTheSameOrderAsWithoutReadingAhead) {
    TimeDate since;
    ASSERT_TRUE(vlt::builder::ParseTime("2000-01-12T00:00:00Z", &since));
    const struct {
        std::uint16_t flags, mask;
        const TimeDate* since;
        std::size_t count;
    } cases[] = {
        {3 | kSearchStubs, 0x7FFF, nullptr, kNotes},
        {3, 0x0001, nullptr, Documents()},
        {3 | kSearchStubs, 0x7FFF, &since, 0}, // only compared
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "flags " << c.flags << " mask " << c.mask);
        Seen here, ahead;
        ASSERT_EQ(Run(false, c.flags, c.mask, c.since, &here), kNoError);
        ASSERT_EQ(Run(true, c.flags, c.mask, c.since, &ahead), kNoError);
        if (c.count) {
            EXPECT_EQ(here.ids.size(), c.count);
        }
        EXPECT_TRUE(std::is_sorted(ahead.ids.begin(), ahead.ids.end()));
        EXPECT_EQ(ahead.ids, here.ids);
        EXPECT_EQ(ahead.classes, here.classes);
        EXPECT_EQ(ahead.summaries, here.summaries);
    }
}

TEST_F(SearchReadAheadTest, ACallbackStopsTheSearchAtOnceAndTheNextSearchIsWhole) {
    for (int stopAt : {1, 70, 2999}) {
        Seen seen;
        seen.stopAt = stopAt;
        EXPECT_EQ(Run(true, 3 | kSearchStubs, 0x7FFF, nullptr, &seen), kCancelled);
        EXPECT_EQ(seen.ids.size(), std::size_t(stopAt));
    }
    // A search from within a callback, while the first reads ahead, sees every note too.
    struct Nested {
        DbHandle db;
        int calls = 0;
        Seen inner;
        Status status = kInvalidArgument;
    } nested{db_, 0, {}, kInvalidArgument};
    auto cb = [](void* p, const SEARCH_MATCH*, const ITEM_TABLE*) -> Status {
        auto* n = static_cast<Nested*>(p);
        if (n->calls++ == 5)
            n->status = Search(n->db, nullptr, 0, 3, 0x7FFF, nullptr, Record, &n->inner);
        return kNoError;
    };
    vlt::SetSearchReadAhead(true);
    EXPECT_EQ(Search(db_, nullptr, 0, 3 | kSearchStubs, 0x7FFF, nullptr, cb, &nested), kNoError);
    EXPECT_EQ(nested.calls, kNotes);
    EXPECT_EQ(nested.status, kNoError);
    EXPECT_EQ(nested.inner.ids.size(), std::size_t(kNotes - kNotes / 10));
    Seen all;
    EXPECT_EQ(Run(true, 3 | kSearchStubs, 0x7FFF, nullptr, &all), kNoError);
    EXPECT_EQ(all.ids.size(), std::size_t(kNotes));
}

TEST_F(SearchReadAheadTest, ADamagedPageEndsTheSearchAtTheSameNote) {
    CloseDatabase(db_);
    db_ = 0;
    // A leaf page of the items in the middle of the table, its page type made invalid.
    sqlite3* sql = nullptr;
    ASSERT_EQ(sqlite3_open(path_.c_str(), &sql), SQLITE_OK);
    sqlite3_stmt* q = nullptr;
    int page = 0, pageSize = 0;
    if (sqlite3_prepare_v2(sql,
                           "SELECT pageno FROM dbstat WHERE name = 'items' AND pagetype = 'leaf' "
                           "ORDER BY pageno",
                           -1, &q, nullptr) == SQLITE_OK) {
        std::vector<int> pages;
        while (sqlite3_step(q) == SQLITE_ROW)
            pages.push_back(sqlite3_column_int(q, 0));
        if (!pages.empty())
            page = pages[pages.size() / 2];
    }
    sqlite3_finalize(q);
    ASSERT_EQ(sqlite3_prepare_v2(sql, "PRAGMA page_size", -1, &q, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(q), SQLITE_ROW);
    pageSize = sqlite3_column_int(q, 0);
    sqlite3_finalize(q);
    sqlite3_close(sql);
    if (page == 0)
        GTEST_SKIP() << "this SQLite lists no pages (no dbstat)";
    std::string bytes = ReadAll(path_);
    ASSERT_GT(bytes.size(), std::size_t(page) * pageSize);
    bytes[std::size_t(page - 1) * pageSize] = '\x42'; // no b-tree page type
    WriteAll(path_, bytes);
    ASSERT_EQ(OpenDatabase(path_.c_str(), &db_), kNoError);

    Seen here, ahead;
    EXPECT_EQ(Run(false, 3 | kSearchStubs, 0x7FFF, nullptr, &here), kDatabaseCorrupt);
    EXPECT_EQ(Run(true, 3 | kSearchStubs, 0x7FFF, nullptr, &ahead), kDatabaseCorrupt);
    EXPECT_GT(here.ids.size(), 0u);
    EXPECT_LT(here.ids.size(), std::size_t(kNotes));
    EXPECT_EQ(ahead.ids, here.ids);
}

namespace {

// What an opening gives: its status, then the header and every item as text.
std::string Opened(DbHandle db, NoteId id) {
    NoteHandle note = 0;
    const Status s = OpenNote(db, id, 0, &note);
    std::string out = std::to_string(s);
    if (s != kNoError)
        return out;
    std::uint16_t noteClass = 0;
    TimeDate modified;
    NoteHeader(note, kHeaderClass, &noteClass, sizeof noteClass);
    NoteHeader(note, kHeaderModified, &modified, sizeof modified);
    out += " class " + std::to_string(noteClass) + " modified " + std::to_string(modified.Value());
    auto visit = [](const ItemEntry& e, void* ctx) -> Status {
        char text[64];
        std::size_t n = 0;
        ItemValueToText(e.value, e.valueLength, ';', text, sizeof text, &n);
        *static_cast<std::string*>(ctx) += " | " + std::string(e.name, e.nameLength) + " " +
                                           std::to_string(e.flags) + " " + std::to_string(e.type) +
                                           " " + std::string(text, n);
        return kNoError;
    };
    WalkItems(note, visit, &out);
    CloseNote(note);
    return out;
}

} // namespace

// Notes opened in ID order, with IDs that name no note, stubs, a form opened now and then in
// between, and a jump ahead: each opening gives what it gives without reading ahead.
TEST_F(SearchReadAheadTest, NotesOpenedInOrderAreAsWithoutReadingAhead) {
    std::vector<NoteId> order;
    for (NoteId id = 2; id <= 4 * kNotes + 8; id += 2) {
        order.push_back(id);
        if (id % 400 == 0)
            order.push_back(28); // out of order
        if (id == 6000)
            id = 8000; // past what is read ahead
    }
    for (bool ahead : {false, true}) {
        vlt::SetSearchReadAhead(ahead);
        std::vector<std::string> got;
        for (NoteId id : order)
            got.push_back(Opened(db_, id));
        static std::vector<std::string> without;
        if (!ahead) {
            without = got;
            EXPECT_EQ(got[0], std::to_string(kNoteNotFound));
            EXPECT_NE(got[1].find("| Subject 4 1280 note 1"), std::string::npos) << got[1];
            continue;
        }
        ASSERT_EQ(got.size(), without.size());
        for (std::size_t i = 0; i < got.size(); ++i)
            ASSERT_EQ(got[i], without[i]) << "note " << order[i];
    }
    // Closing the database ends what is read ahead with it.
    CloseDatabase(db_);
    db_ = 0;
}
