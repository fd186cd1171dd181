// Searches: which notes come back, their matches and summaries, and directory listings.
#include <sqlite3.h>

#include <cstring>
#include <string>
#include <vector>

#include "VltTestSupport.h"
#include "store/api/Conversions.h"
#include "store/api/Notes.h"
#include "store/api/Search.h"
#include "vlt/DirectoryList.h"

using namespace store;
using namespace vlttest;

namespace {

const char* kNotes = R"({
  "id": "2000-01-01T00:00:00Z",
  "notes": [
    { "id": 4, "class": "form", "default": true, "modified": "2000-01-02T00:00:00Z",
      "items": [ { "name": "$TITLE", "text": "Topic" }, { "name": "$Flags", "text": "" },
                 { "name": "$Body", "text": "not in the summary" } ] },
    { "id": 8, "class": "view", "modified": "2000-01-03T00:00:00Z",
      "items": [ { "name": "$TITLE", "text": "All" } ] },
    { "id": 12, "modified": "2000-01-04T00:00:00Z",
      "items": [ { "name": "Form", "text": "Topic" },
                 { "name": "Subject", "text": "Hi", "flags": ["summary"] },
                 { "name": "Body", "text": "long text" } ] },
    { "id": 16, "modified": "2000-01-05T00:00:00Z", "items": [ { "name": "Form", "text": "Topic" } ] },
    { "id": 20, "deleted": true, "modified": "2000-01-06T00:00:00Z" },
    { "id": 24, "deleted": true, "class": "view", "modified": "2000-01-01T12:00:00Z" }
  ] })";

struct Hit {
    NoteId id;
    std::uint16_t noteClass;
    std::uint16_t matchFlags;
    std::vector<std::uint8_t> summary;
    SEARCH_MATCH match;
};

Status Collect(void* ctx, const SEARCH_MATCH* m, const ITEM_TABLE* summary) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(summary);
    static_cast<std::vector<Hit>*>(ctx)->push_back(
        {SearchMatchNoteId(*m), m->noteClass, m->matchFlags,
         std::vector<std::uint8_t>(bytes, bytes + summary->length), *m});
    return 0;
}

std::vector<Hit> RunSearch(DbHandle db, std::uint16_t flags, std::uint16_t mask,
                           const TimeDate* since = nullptr) {
    std::vector<Hit> hits;
    EXPECT_EQ(Search(db, nullptr, 0, flags, mask, since, Collect, &hits), kNoError);
    return hits;
}

std::vector<NoteId> Ids(const std::vector<Hit>& hits) {
    std::vector<NoteId> ids;
    for (const Hit& h : hits)
        ids.push_back(h.id);
    return ids;
}

TimeDate Time(const char* text) {
    TimeDate t;
    EXPECT_TRUE(vlt::builder::ParseTime(text, &t));
    return t;
}

class SearchTest : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = BuildJson(dir_, "s.vlt", kNotes);
        ASSERT_EQ(OpenDatabase(path_.c_str(), &db_), kNoError);
    }
    void TearDown() override { CloseDatabase(db_); }
    ScratchDir dir_;
    std::string path_;
    DbHandle db_ = 0;
};

} // namespace

TEST_F(SearchTest, ClassMaskSinceAndStubFlagChooseTheResults) {
    const TimeDate jan3 = Time("2000-01-03T00:00:00Z");
    const struct {
        std::uint16_t flags, mask;
        const TimeDate* since;
        std::vector<NoteId> ids;
    } cases[] = {
        {3, 0x0001, nullptr, {12, 16}},
        {3, 0x7FFE, nullptr, {4, 8}},
        {3, 0x0004, nullptr, {4}},
        {3, 0x7FFF, nullptr, {4, 8, 12, 16}},
        {3 | kSearchStubs, 0x7FFF, nullptr, {4, 8, 12, 16, 20, 24}},
        {3 | kSearchStubs, 0x0001, nullptr, {12, 16, 20}},
        {3 | kSearchStubs, 0x0008, nullptr, {8, 24}},
        {3, 0x7FFF, &jan3, {12, 16}}, // strictly after the time
        {3 | kSearchStubs, 0x7FFF, &jan3, {12, 16, 20}},
        {3, 0x8000, nullptr, {}}, // bit 15 is no class
        {3, 0, nullptr, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "flags " << c.flags << " mask " << c.mask);
        EXPECT_EQ(Ids(RunSearch(db_, c.flags, c.mask, c.since)), c.ids);
    }
}

TEST_F(SearchTest, MatchesCarryIdentityClassAndStubBit) {
    const auto hits = RunSearch(db_, 3 | kSearchStubs, 0x7FFF);
    ASSERT_EQ(hits.size(), 6u);
    TimeDate dbId;
    ASSERT_EQ(DatabaseId(db_, &dbId), kNoError);
    for (const Hit& h : hits) {
        SCOPED_TRACE(h.id);
        EXPECT_EQ(std::memcmp(h.match.identity, dbId.w, 8), 0);
        if (h.id == 20 || h.id == 24) {
            EXPECT_EQ(h.noteClass & kClassStub, kClassStub);
            EXPECT_EQ(h.summary, (std::vector<std::uint8_t>{4, 0, 0, 0}));
            const TimeDate modified =
                Time(h.id == 20 ? "2000-01-06T00:00:00Z" : "2000-01-01T12:00:00Z");
            EXPECT_EQ(std::memcmp(h.match.identity + 8, modified.w, 8), 0);
            continue;
        }
        OriginatorId oid;
        TimeDate modified;
        std::uint16_t cls = 0;
        ASSERT_EQ(NoteInfo(db_, h.id, &oid, &modified, &cls), kNoError);
        // In a match bit 15 means "deletion stub": a default design element leaves it clear.
        EXPECT_EQ(h.noteClass, cls & 0x7FFF);
        EXPECT_EQ(std::memcmp(h.match.identity + 8, modified.w, 8), 0);
        EXPECT_EQ(std::memcmp(h.match.originator, &oid, 28), 0);
        EXPECT_EQ(h.matchFlags & kMatchSelected, kMatchSelected);
        EXPECT_EQ(h.match.summaryLength, h.summary.size());
    }
    std::uint16_t formClass = 0;
    ASSERT_EQ(NoteInfo(db_, 4, nullptr, nullptr, &formClass), kNoError);
    EXPECT_EQ(formClass, 0x8004); // the note itself keeps its default bit
    EXPECT_EQ(hits[0].noteClass, 0x0004);
    EXPECT_EQ(hits[5].noteClass, 0x8008);
}

TEST_F(SearchTest, SummaryBufferHoldsTheSummaryItemsByteForByte) {
    const auto hits = RunSearch(db_, 3, 0x0001);
    ASSERT_EQ(hits.size(), 2u);
    // Note 12: "Form" (summary by name) and "Subject" (summary by flag); "Body" is left out.
    const std::vector<std::uint8_t> expected = {
        34,  0,   2,   0,                                          // total length, count
        4,   0,   7,   0,                                          // "Form", 2 + 5 bytes
        7,   0,   4,   0,                                          // "Subject", 2 + 2 bytes
        'F', 'o', 'r', 'm', 0x00, 0x05, 'T', 'o',  'p',  'i', 'c', //
        'S', 'u', 'b', 'j', 'e',  'c',  't', 0x00, 0x05, 'H', 'i'};
    EXPECT_EQ(hits[0].summary, expected);

    const auto* table = reinterpret_cast<const ITEM_TABLE*>(hits[0].summary.data());
    char text[16];
    std::size_t len = 0;
    EXPECT_EQ(SummaryValueText(table, "Subject", text, sizeof text, &len), kNoError);
    EXPECT_STREQ(text, "Hi");
    EXPECT_EQ(SummaryValueText(table, "subject", text, sizeof text, &len), kNoMoreItems);
    EXPECT_EQ(SummaryValueText(table, "Body", text, sizeof text, &len), kNoMoreItems);
    EXPECT_EQ(SummaryValueText(table, "Form", text, 3, &len), kBufferTooSmall);
    EXPECT_STREQ(text, "To");
}

TEST(SummaryValue, DamagedTablesAreRefusedWithoutReadingPastThem) {
    // Each table's first word is its true size, but what it declares inside does not fit.
    const std::vector<std::vector<std::uint8_t>> tables = {
        {3, 0, 0},                                      // shorter than its header
        {4, 0, 1, 0},                                   // one pair, no room for it
        {8, 0, 2, 0, 4, 0, 2, 0},                       // two pairs in room for one
        {12, 0, 1, 0, 4, 0, 10, 0, 'F', 'o', 'r', 'm'}, // value past the end
        {10, 0, 1, 0, 9, 0, 0, 0, 'F', 'o'},            // name past the end
    };
    for (const auto& t : tables) {
        // An exactly sized heap copy, so that a read past it is caught by the sanitizers.
        auto* bytes = new std::uint8_t[t.size() < 4 ? 4 : t.size()]();
        std::memcpy(bytes, t.data(), t.size());
        char text[8];
        EXPECT_EQ(SummaryValueText(reinterpret_cast<const ITEM_TABLE*>(bytes), "Form", text,
                                   sizeof text, nullptr),
                  kBadValue)
            << t.size();
        delete[] bytes;
    }
}

TEST_F(SearchTest, CallbackStatusStopsTheSearchAndIsReturned) {
    int calls = 0;
    auto stop = [](void* ctx, const SEARCH_MATCH*, const ITEM_TABLE*) -> Status {
        return ++*static_cast<int*>(ctx) == 2 ? kCancelled : 0;
    };
    EXPECT_EQ(Search(db_, nullptr, 0, 3, 0x7FFF, nullptr, stop, &calls), kCancelled);
    EXPECT_EQ(calls, 2);
}

TEST_F(SearchTest, ClosingTheDatabaseFromACallbackEndsNothingEarly) {
    struct Ctx {
        DbHandle db;
        int calls = 0;
        Status nested = 0;
    } ctx{db_};
    auto cb = [](void* p, const SEARCH_MATCH* m, const ITEM_TABLE*) -> Status {
        auto* c = static_cast<Ctx*>(p);
        if (c->calls++ == 0) {
            NoteHandle note = 0;
            c->nested = OpenNote(c->db, SearchMatchNoteId(*m), 0, &note); // re-entering
            CloseNote(note);
            CloseDatabase(c->db);
        }
        return 0;
    };
    EXPECT_EQ(Search(db_, nullptr, 0, 3, 0x7FFF, nullptr, cb, &ctx), kNoError);
    EXPECT_EQ(ctx.calls, 4);
    EXPECT_EQ(ctx.nested, kNoError);
    TimeDate id;
    EXPECT_EQ(DatabaseId(db_, &id), kInvalidHandle);
    db_ = 0;
}

TEST_F(SearchTest, FormulaSearchReportsTheEngineStatus) {
    const std::uint8_t formula[] = {1, 2, 3, 4};
    std::vector<Hit> hits;
    const Status s = Search(db_, formula, sizeof formula, 3, 0x0001, nullptr, Collect, &hits);
    // Whatever the formula engine answers for these bytes, a failure ends the search with its
    // status rather than passing notes through unselected.
    if (s != kNoError) {
        EXPECT_TRUE(hits.empty());
    }
    EXPECT_EQ(Search(db_, formula, 0, 3, 0x0001, nullptr, Collect, &hits), kInvalidArgument);
    EXPECT_EQ(Search(db_, nullptr, 0, 3, 0x0001, nullptr, nullptr, nullptr), kInvalidArgument);
}

TEST_F(SearchTest, ModifiedSinceTablesMarkStubsAndReportNone) {
    const struct {
        std::uint16_t mask;
        const char* since;
        std::vector<std::uint32_t> ids;
    } cases[] = {
        {0x7FFF, "1999-01-01T00:00:00Z", {4, 8, 12, 16, 20 | kIdStub, 24 | kIdStub}},
        {0x0001, "2000-01-04T00:00:00Z", {16, 20 | kIdStub}},
        {0x0008, "2000-01-01T00:00:00Z", {8, 24 | kIdStub}},
        {0x7FFF, "2000-01-06T00:00:00Z", {}},
        {0x0400, "1999-01-01T00:00:00Z", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.since);
        MemHandle table = 77;
        const Status s = NotesModifiedSince(db_, c.mask, Time(c.since), &table);
        if (c.ids.empty()) {
            EXPECT_EQ(s, kNoModifiedNotes);
            EXPECT_EQ(table, 0u);
            continue;
        }
        ASSERT_EQ(s, kNoError);
        std::vector<std::uint32_t> ids;
        std::uint32_t id;
        for (std::uint32_t i = 0; IdTableEntry(table, i, &id); ++i)
            ids.push_back(id);
        EXPECT_EQ(ids, c.ids);
        EXPECT_EQ(MemFree(table), kNoError);
    }
}

std::string DamageText(const Hit& h) {
    char text[200] = "";
    SummaryValueText(reinterpret_cast<const ITEM_TABLE*>(h.summary.data()), "$Damage", text,
                     sizeof text, nullptr);
    return text;
}

std::vector<std::uint32_t> TableIds(DbHandle db, std::uint16_t mask, const TimeDate& since) {
    MemHandle table = 0;
    std::vector<std::uint32_t> ids;
    EXPECT_EQ(NotesModifiedSince(db, mask, since, &table), kNoError);
    std::uint32_t id;
    for (std::uint32_t i = 0; IdTableEntry(table, i, &id); ++i)
        ids.push_back(id);
    MemFree(table);
    return ids;
}

// Rows that the builder never writes: a time of all ones, no time, IDs that are no note IDs.
// Each note still comes back once, in the search and in the ID table alike.
TEST_F(SearchTest, DamagedTimesAndIdsLeaveNoNoteOutOrTwice) {
    CloseDatabase(db_);
    db_ = 0;
    sqlite3* sql = nullptr;
    ASSERT_EQ(sqlite3_open(path_.c_str(), &sql), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(sql,
                           "UPDATE notes SET modified = -1 WHERE id = 12;"
                           "UPDATE notes SET modified = 0 WHERE id = 16;"
                           "UPDATE items SET note = 4294967300 WHERE note = 8;"
                           "UPDATE notes SET id = 4294967300 WHERE id = 8;"
                           "UPDATE notes SET id = 2147483672 WHERE id = 24;",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(sql);
    ASSERT_EQ(OpenDatabase(path_.c_str(), &db_), kNoError);

    const auto all = RunSearch(db_, 3 | kSearchStubs, 0x7FFF);
    EXPECT_EQ(Ids(all), (std::vector<NoteId>{4, 12, 16, 20, 0, 0}));
    ASSERT_EQ(all.size(), 6u);
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(all[i].matchFlags & kMatchDamaged, 0) << all[i].id;
    // The stub whose ID has bit 31 set, and the view whose ID does not fit 32 bits: reported
    // under no ID, with the stored value named, and nothing of note 4 (4294967300 mod 2^32).
    EXPECT_EQ(all[4].matchFlags & kMatchDamaged, kMatchDamaged);
    EXPECT_EQ(all[4].noteClass, 0x8008);
    EXPECT_NE(DamageText(all[4]).find("2147483672"), std::string::npos) << DamageText(all[4]);
    EXPECT_EQ(all[5].matchFlags & kMatchDamaged, kMatchDamaged);
    EXPECT_EQ(all[5].noteClass, 0x0008);
    EXPECT_NE(DamageText(all[5]).find("4294967300"), std::string::npos) << DamageText(all[5]);
    EXPECT_EQ(SummaryValue(reinterpret_cast<const ITEM_TABLE*>(all[5].summary.data()), "$TITLE",
                           nullptr, nullptr),
              kNoMoreItems);

    EXPECT_EQ(Ids(RunSearch(db_, 3, 0x7FFF)), (std::vector<NoteId>{4, 12, 16, 0}));
    NoteId found = 0;
    EXPECT_EQ(FindDesignNote(db_, "All", 0x0008, &found), kDesignNotFound) << found;
    // Counting asks from the earliest time: that is every note, the one without a time too.
    EXPECT_EQ(TableIds(db_, 0x7FFF, EarliestTime()),
              (std::vector<std::uint32_t>{4, 12, 16, 20 | kIdStub, 0 | kIdStub, 0}));

    // A real time compares as the unsigned stamp: all ones is after it, no time is not.
    const TimeDate jan3 = Time("2000-01-03T00:00:00Z");
    EXPECT_EQ(Ids(RunSearch(db_, 3 | kSearchStubs, 0x7FFF, &jan3)), (std::vector<NoteId>{12, 20}));
    EXPECT_EQ(TableIds(db_, 0x7FFF, jan3), (std::vector<std::uint32_t>{12, 20 | kIdStub}));
    // The late note comes with its summary, read under the same comparison.
    const auto late = RunSearch(db_, 3, 0x0001, &jan3);
    ASSERT_EQ(late.size(), 1u);
    char text[8];
    std::size_t len = 0;
    EXPECT_EQ(SummaryValueText(reinterpret_cast<const ITEM_TABLE*>(late[0].summary.data()),
                               "Subject", text, sizeof text, &len),
              kNoError);
    EXPECT_STREQ(text, "Hi");
}

TEST(DirectorySearch, ListsDatabasesSubdirectoriesAndTemplatesWithSummaries) {
    ScratchDir dir;
    BuildJson(dir, "b.vlt", R"({ "title": "Bee" })");
    BuildJson(dir, "a.VLT", R"({ "title": "Ay", "template": "Tx" })");
    BuildJson(dir, "t.vtf", R"({ "title": "Tee" })");
    WriteAll(dir.file("broken.vlt"), "not a database");
    WriteAll(dir.file("readme.txt"), "ignored");
    WriteAll(dir.file(".hidden.vlt"), "ignored");
    fs::create_directory(dir.path() / "sub");
    BuildJson(dir, "sub/inner.vlt", "{}");

    OpenDb d(dir.path().string());
    ASSERT_EQ(d.status(), kNoError);
    struct Row {
        std::string title, path, type, info;
        bool hasLength;
    };
    auto list = [&](std::uint16_t mask) {
        std::vector<Row> rows;
        auto cb = [](void* ctx, const SEARCH_MATCH* m, const ITEM_TABLE* t) -> Status {
            EXPECT_EQ(m->matchFlags & kMatchSelected, kMatchSelected);
            Row r;
            char buf[256];
            SummaryValueText(t, "$TITLE", buf, sizeof buf, nullptr);
            r.title = buf;
            SummaryValueText(t, "$Path", buf, sizeof buf, nullptr);
            r.path = buf;
            SummaryValueText(t, "$Type", buf, sizeof buf, nullptr);
            r.type = buf;
            r.info = SummaryValueText(t, "$Info", buf, sizeof buf, nullptr) == kNoError ? buf : "-";
            r.hasLength = SummaryValue(t, "$Length", nullptr, nullptr) == kNoError;
            EXPECT_EQ(SummaryValue(t, "$Modified", nullptr, nullptr), kNoError);
            static_cast<std::vector<Row>*>(ctx)->push_back(r);
            return 0;
        };
        EXPECT_EQ(Search(d.get(), nullptr, 0, 6, mask, nullptr, cb, &rows), kNoError);
        return rows;
    };
    const auto main = list(0xC004);
    ASSERT_EQ(main.size(), 4u);
    EXPECT_EQ(main[0].title, "a.VLT");
    EXPECT_EQ(main[0].info, "Ay\n\nTx\n");
    EXPECT_EQ(main[1].title, "b.vlt");
    EXPECT_EQ(main[1].type, "$NOTEFILE");
    EXPECT_TRUE(main[1].hasLength);
    EXPECT_EQ(main[2].title, "broken.vlt"); // listed; opening it will say what is wrong
    EXPECT_EQ(main[2].info, "-");
    EXPECT_EQ(main[3].title, "sub");
    EXPECT_EQ(main[3].type, "$DIR");
    EXPECT_FALSE(main[3].hasLength);

    const auto templates = list(0x0005);
    ASSERT_EQ(templates.size(), 1u);
    EXPECT_EQ(templates[0].title, "t.vtf");
    EXPECT_EQ(templates[0].info, "Tee\n\n\n");

    // Paths are store paths relative to how the directory was opened.
    OpenDb sub((dir.path() / "sub").string());
    std::vector<std::string> paths;
    auto cb = [](void* ctx, const SEARCH_MATCH*, const ITEM_TABLE* t) -> Status {
        char buf[512];
        SummaryValueText(t, "$Path", buf, sizeof buf, nullptr);
        static_cast<std::vector<std::string>*>(ctx)->push_back(buf);
        return 0;
    };
    ASSERT_EQ(Search(sub.get(), nullptr, 0, 6, 0xC004, nullptr, cb, &paths), kNoError);
    ASSERT_EQ(paths.size(), 1u);
    EXPECT_EQ(paths[0], (dir.path() / "sub").string() + "\\inner.vlt");
}

TEST(DirectorySearch, EntryPathsAreRelativeToTheMachinesDataDirectory) {
    const struct {
        const char* dir;
        const char* path;
    } cases[] = {
        {"", "x.vlt"},          {"a", "a\\x.vlt"},  {"a\\b\\", "a\\b\\x.vlt"},
        {"a/b/", "a/b\\x.vlt"}, {"Hub!!", "x.vlt"}, {"Hub!!mail", "mail\\x.vlt"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(vlt::EntryPathOf(c.dir, "x.vlt"), c.path) << c.dir;
}
