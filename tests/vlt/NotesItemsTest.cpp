// Notes and items: opening, the item walk, item values and texts, and note headers.
#include <cstring>
#include <string>
#include <vector>

#include "VltTestSupport.h"
#include "store/api/Items.h"
#include "store/api/Notes.h"

using namespace store;
using namespace vlttest;

namespace {

const char* kDb = R"({
  "notes": [
    { "id": 4, "class": "form", "items": [ { "name": "$TITLE", "text": "Main Topic|MainTopic" },
                                           { "name": "$WindowTitle", "raw": "", "type": "0x600" } ] },
    { "id": 8, "class": "view", "items": [ { "name": "$TITLE", "text": "Main Topic" } ] },
    { "id": 12, "created": "2001-02-03T04:05:06.07+01:00", "modified": "2001-03-01T00:00:00Z",
      "accessed": "2001-04-01T00:00:00Z", "added": "2001-02-04T00:00:00Z",
      "flags": 32, "privileges": 5, "sequence": 3,
      "items": [
        { "name": "Form", "text": "Topic" },
        { "name": "Tags", "textlist": ["red", "green", "blue"], "flags": ["summary", "seal"] },
        { "name": "Count", "number": 2.5 },
        { "name": "Odd", "raw": "0300 ffff 0100 6162", "type": "0x0501" },
        { "name": "tags", "text": "second of the name" },
        { "name": "Short", "raw": "", "type": 0 },
        { "name": "$Sig", "raw": "00", "type": 8 },
        { "name": "$FILE", "attachment": { "object": 9, "file": "a.txt" } } ] },
    { "id": 16, "parent": 12, "items": [ { "name": "Form", "text": "Reply" },
                                         { "name": "$TITLE", "text": "Main Topic" } ] },
    { "id": 20, "parent": 12, "items": [ { "name": "Form", "text": "Reply" } ] },
    { "id": 24, "deleted": true }
  ],
  "objects": [ { "id": 9, "note": 12, "text": "abc" } ] })";

class NotesTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string path = BuildJson(dir_, "n.vlt", kDb);
        ASSERT_EQ(OpenDatabase(path.c_str(), &db_), kNoError);
        ASSERT_EQ(OpenNote(db_, 12, 0, &note_), kNoError);
    }
    void TearDown() override {
        CloseNote(note_);
        CloseDatabase(db_);
    }
    struct Item {
        std::string name;
        std::uint16_t flags, type;
        std::uint32_t length;
    };
    std::vector<Item> Walk(NoteHandle note) {
        std::vector<Item> items;
        BlockId item, value;
        std::uint16_t type = 0;
        std::uint32_t length = 0;
        Status s = FindItem(note, nullptr, &item, &type, &value, &length);
        while (s == kNoError) {
            char name[kItemNameBuffer];
            std::uint16_t nameLength = 0, flags = 0, type2 = 0;
            BlockId value2;
            std::uint32_t length2 = 0;
            EXPECT_EQ(ItemInfo(note, item, name, sizeof name, &nameLength, &flags, &type2, &value2,
                               &length2),
                      kNoError);
            EXPECT_EQ(type2, type);
            EXPECT_EQ(length2, length);
            EXPECT_EQ(value2.offset, value.offset);
            EXPECT_EQ(std::strlen(name), nameLength);
            items.push_back({name, flags, type, length});
            s = FindNextItem(note, item, nullptr, &item, &type, &value, &length);
        }
        EXPECT_EQ(s, kNoMoreItems);
        return items;
    }
    std::string Text(const char* name, std::size_t size = 256, Status expect = kNoError) {
        BlockId value;
        std::uint32_t length = 0;
        EXPECT_EQ(FindItem(note_, name, nullptr, nullptr, &value, &length), kNoError) << name;
        std::vector<char> buf(size);
        std::size_t n = 0;
        EXPECT_EQ(ItemValueToText(value, length, ';', buf.data(), size, &n), expect) << name;
        return std::string(buf.data(), n);
    }
    ScratchDir dir_;
    DbHandle db_ = 0;
    NoteHandle note_ = 0;
};

} // namespace

TEST_F(NotesTest, ItemsComeInStoredOrderEndingWithNoMoreItems) {
    const auto items = Walk(note_);
    const std::vector<std::string> names = {"Form", "Tags",  "Count", "Odd",
                                            "tags", "Short", "$Sig",  "$FILE"};
    ASSERT_EQ(items.size(), names.size());
    for (std::size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(items[i].name, names[i]);
    EXPECT_EQ(items[0].flags, kItemSummary); // "Form" is always a summary item
    EXPECT_EQ(items[1].flags, kItemSummary | kItemSeal);
    EXPECT_EQ(items[1].type, kTypeTextList);
    EXPECT_EQ(items[1].length, 2u + 2 + 6 + 12);
    EXPECT_EQ(items[2].type, kTypeNumber);
    EXPECT_EQ(items[2].length, 10u);
    EXPECT_EQ(items[5].type, 0); // a stored value without its type word gets a zero one
    EXPECT_EQ(items[5].length, 2u);
    EXPECT_EQ(items[7].type, 3);
}

TEST_F(NotesTest, WalkOfAllItemsMatchesTheStepwiseWalkAndStopsOnTheVisitorsStatus) {
    struct Seen {
        std::vector<Item> items;
        std::vector<BlockId> ids;
        std::size_t stopAfter = 0;
    };
    const ItemVisitor visit = [](const ItemEntry& e, void* context) {
        auto* seen = static_cast<Seen*>(context);
        seen->items.push_back({std::string(e.name, e.nameLength), e.flags, e.type, e.valueLength});
        seen->ids.push_back(e.item);
        EXPECT_EQ(e.value.pool, e.item.pool);
        EXPECT_EQ(e.value.offset, e.item.offset);
        return seen->items.size() == seen->stopAfter ? kCancelled : kNoError;
    };
    Seen all;
    ASSERT_EQ(WalkItems(note_, visit, &all), kNoError);
    const auto stepwise = Walk(note_);
    ASSERT_EQ(all.items.size(), stepwise.size());
    BlockId id;
    ASSERT_EQ(FindItem(note_, nullptr, &id, nullptr, nullptr, nullptr), kNoError);
    for (std::size_t i = 0; i < stepwise.size(); ++i) {
        EXPECT_EQ(all.items[i].name, stepwise[i].name);
        EXPECT_EQ(all.items[i].flags, stepwise[i].flags);
        EXPECT_EQ(all.items[i].type, stepwise[i].type);
        EXPECT_EQ(all.items[i].length, stepwise[i].length);
        // Each item's block ID is one the stepwise walk accepts to continue from.
        EXPECT_EQ(all.ids[i].offset, id.offset) << i;
        FindNextItem(note_, id, nullptr, &id, nullptr, nullptr, nullptr);
    }

    Seen some;
    some.stopAfter = 3;
    EXPECT_EQ(WalkItems(note_, visit, &some), kCancelled);
    EXPECT_EQ(some.items.size(), 3u);

    Seen none;
    EXPECT_EQ(WalkItems(note_ + 1000, visit, &none), kInvalidHandle);
    EXPECT_TRUE(none.items.empty());
}

TEST_F(NotesTest, LockedValueStartsWithTheTypeWord) {
    BlockId value;
    std::uint32_t length = 0;
    std::uint16_t type = 0;
    ASSERT_EQ(FindItem(note_, "count", nullptr, &type, &value, &length), kNoError);
    const auto* p = static_cast<const std::uint8_t*>(MemLockBlock(value));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p[0] | (p[1] << 8), kTypeNumber);
    double d;
    std::memcpy(&d, p + 2, 8);
    EXPECT_EQ(d, 2.5);
    MemUnlock(value.pool);

    // Locked with the bytes held: the rest of the block from the value on, which holds it.
    std::size_t held = 0;
    const auto* q = static_cast<const std::uint8_t*>(MemLockBlock(value, &held));
    EXPECT_EQ(q, p);
    EXPECT_EQ(held, MemSize(value.pool) - value.offset);
    EXPECT_GE(held, length);
    MemUnlock(value.pool);
    held = 1;
    const BlockId past{value.pool, std::uint32_t(MemSize(value.pool) + 1)};
    EXPECT_EQ(MemLockBlock(past, &held), nullptr);
    EXPECT_EQ(held, 0u);
}

TEST_F(NotesTest, NamedFindIgnoresCaseAndFindsTheNextOfTheName) {
    BlockId first, second, third;
    ASSERT_EQ(FindItem(note_, "TAGS", &first, nullptr, nullptr, nullptr), kNoError);
    ASSERT_EQ(FindNextItem(note_, first, "Tags", &second, nullptr, nullptr, nullptr), kNoError);
    char name[kItemNameBuffer];
    ItemInfo(note_, second, name, sizeof name, nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_STREQ(name, "tags");
    EXPECT_EQ(FindNextItem(note_, second, "Tags", &third, nullptr, nullptr, nullptr), kNoMoreItems);
    EXPECT_EQ(FindItem(note_, "Nothing", nullptr, nullptr, nullptr, nullptr), kNoMoreItems);
    EXPECT_EQ(FindNextItem(note_, BlockId{first.pool, 999999}, nullptr, nullptr, nullptr, nullptr,
                           nullptr),
              kInvalidArgument);
}

TEST_F(NotesTest, ValuesAsTextAreJoinedTruncatedAndBounded) {
    EXPECT_EQ(Text("Form"), "Topic");
    EXPECT_EQ(Text("Tags"), "red;green;blue");
    EXPECT_EQ(Text("Tags", 6, kBufferTooSmall), "red;g");
    EXPECT_EQ(Text("$Sig"), ""); // no text form
    // Three entries declared, the first longer than all the bytes left: nothing is read.
    EXPECT_EQ(Text("Odd", 256, kBadValue), "");
    // A length that reaches past the block is refused, not read.
    BlockId value;
    std::uint32_t length = 0;
    ASSERT_EQ(FindItem(note_, "Form", nullptr, nullptr, &value, &length), kNoError);
    char buf[64];
    EXPECT_EQ(ItemValueToText(value, 1u << 30, ';', buf, sizeof buf, nullptr), kInvalidArgument);
}

TEST(ValueToText, EveryPrefixOfEveryValueIsReadSafely) {
    std::vector<std::vector<std::uint8_t>> values = {
        vlt::builder::TextListValue({"a", "bc", ""}),
        vlt::builder::NumberRangeValue({1, 2}, {{3, 4}}),
        vlt::builder::TimeRangeValue({TimeDate::FromValue(0x8040)}, {}),
        vlt::builder::NumberValue(3),
        vlt::builder::TimeValue(TimeDate::FromValue(0x8040)),
        vlt::builder::TextValue("xyz"),
    };
    for (const auto& v : values) {
        for (std::size_t n = 0; n <= v.size(); ++n) {
            std::vector<std::uint8_t> prefix(v.begin(), v.begin() + n);
            char buf[128];
            const Status s =
                ValueToText(prefix.data(), prefix.size(), ';', buf, sizeof buf, nullptr);
            const int type = v[0] | (v[1] << 8);
            if (n < v.size() && (type != kTypeText || n < 2)) { // a cut text is still a text
                EXPECT_EQ(s, kBadValue) << "type " << type << " cut at " << n;
            }
        }
    }
}

TEST_F(NotesTest, HeaderFieldsAndNoteFacts) {
    DbHandle db = 0;
    EXPECT_EQ(NoteHeader(note_, kHeaderDatabase, &db, sizeof db), kNoError);
    EXPECT_EQ(db, db_);
    std::uint16_t u16 = 0;
    EXPECT_EQ(NoteHeader(note_, kHeaderFlags, &u16, 2), kNoError);
    EXPECT_EQ(u16, 32);
    EXPECT_EQ(NoteHeader(note_, kHeaderPrivileges, &u16, 2), kNoError);
    EXPECT_EQ(u16, 5);
    EXPECT_EQ(NoteHeader(note_, kHeaderResponseCount, &u16, 2), kNoError);
    EXPECT_EQ(u16, 2);
    TimeDate t, want;
    EXPECT_EQ(NoteHeader(note_, kHeaderAccessed, &t, sizeof t), kNoError);
    ASSERT_TRUE(vlt::builder::ParseTime("2001-04-01T00:00:00Z", &want));
    EXPECT_EQ(t, want);
    EXPECT_EQ(NoteHeader(note_, kHeaderAdded, &t, sizeof t), kNoError);
    ASSERT_TRUE(vlt::builder::ParseTime("2001-02-04T00:00:00Z", &want));
    EXPECT_EQ(t, want);
    MemHandle responses = 0;
    ASSERT_EQ(NoteHeader(note_, kHeaderResponses, &responses, sizeof responses), kNoError);
    {
        LockedMem mem(responses);
        ASSERT_EQ(mem.size(), 12u);
        std::uint32_t words[3];
        std::memcpy(words, mem.bytes(), 12);
        EXPECT_EQ(words[0], 2u);
        EXPECT_EQ(words[1], 16u);
        EXPECT_EQ(words[2], 20u);
    }
    MemFree(responses);
    EXPECT_EQ(NoteHeader(note_, kHeaderFlags, &u16, 4), kInvalidArgument);
    EXPECT_EQ(NoteHeader(note_, 9, &u16, 2), kInvalidArgument);

    NoteHandle reply = 0;
    ASSERT_EQ(OpenNote(db_, 16, 0, &reply), kNoError);
    NoteId parent = 0;
    EXPECT_EQ(NoteHeader(reply, kHeaderParent, &parent, sizeof parent), kNoError);
    EXPECT_EQ(parent, 12u);
    EXPECT_EQ(NoteHeader(reply, kHeaderResponses, &responses, sizeof responses), kNoError);
    EXPECT_EQ(responses, 0u); // none: no block
    BlockId ref;
    std::uint32_t refLength = 0;
    EXPECT_EQ(FindItem(reply, "$REF", nullptr, nullptr, &ref, &refLength), kNoError);
    EXPECT_EQ(refLength, 2u + 2 + 16);
    bool flag = true;
    EXPECT_EQ(NoteHasObjects(reply, &flag), kNoError);
    EXPECT_FALSE(flag);
    EXPECT_EQ(NoteIsSigned(reply, &flag), kNoError);
    EXPECT_FALSE(flag);
    CloseNote(reply);

    EXPECT_EQ(NoteHasObjects(note_, &flag), kNoError);
    EXPECT_TRUE(flag);
    EXPECT_EQ(NoteIsSigned(note_, &flag), kNoError);
    EXPECT_TRUE(flag);
    EXPECT_EQ(NoteIsSealed(note_, &flag), kNoError);
    EXPECT_TRUE(flag);
}

TEST_F(NotesTest, OpeningAndInformationByIdReportMissingAndDeletedNotes) {
    NoteHandle h = 0;
    EXPECT_EQ(OpenNote(db_, 999, 0, &h), kNoteNotFound);
    EXPECT_EQ(OpenNote(db_, 24, 0, &h), kNoteDeleted);
    EXPECT_EQ(h, 0u);
    std::uint16_t cls = 0;
    EXPECT_EQ(NoteInfo(db_, 999, nullptr, nullptr, &cls), kNoteNotFound);
    OriginatorId oid;
    TimeDate modified, want;
    ASSERT_EQ(NoteInfo(db_, 12, &oid, &modified, &cls), kNoError);
    EXPECT_EQ(cls, 1);
    EXPECT_EQ(oid.sequence, 3u);
    ASSERT_TRUE(vlt::builder::ParseTime("2001-03-01T00:00:00Z", &want));
    EXPECT_EQ(modified, want);
    EXPECT_EQ(oid.sequenceTime, want);
    ASSERT_TRUE(vlt::builder::ParseTime("2001-02-03T04:05:06.07+01:00", &want));
    EXPECT_EQ(oid.note, want);
}

namespace {

// One note of every kind of item the open flags can leave out: summary and other items, rich
// text (type 1), an object item (type 3) and a signature that is no summary item.
const char* kFlagsDb = R"({
  "notes": [
    { "id": 4, "flags": 32, "items": [
        { "name": "Form", "text": "Topic" },
        { "name": "Body", "raw": "8102", "type": 1 },
        { "name": "Subject", "text": "Hello", "flags": ["summary"] },
        { "name": "$FILE", "attachment": { "object": 9, "file": "a.txt" } },
        { "name": "Head", "raw": "8102", "type": 1, "flags": ["summary"] },
        { "name": "Notes", "text": "long remarks" },
        { "name": "$Sig", "raw": "00", "type": 8 } ] } ],
  "objects": [ { "id": 9, "note": 4, "text": "abc" } ] })";

} // namespace

TEST(OpenFlags, EachHonouredFlagChangesWhatTheOpenGives) {
    ScratchDir dir;
    OpenDb db(BuildJson(dir, "flags.vlt", kFlagsDb));
    struct Open {
        std::vector<std::string> names;
        std::uint16_t noteFlags = 0;
        std::string subject, notes;
        bool isSigned = false, hasObjects = false;
    };
    auto open = [&](std::uint16_t flags) {
        Open o;
        NoteHandle h = 0;
        EXPECT_EQ(OpenNote(db.get(), 4, flags, &h), kNoError) << flags;
        BlockId item, value;
        std::uint32_t length = 0;
        for (Status s = FindItem(h, nullptr, &item, nullptr, &value, &length); s == kNoError;
             s = FindNextItem(h, item, nullptr, &item, nullptr, &value, &length)) {
            char name[kItemNameBuffer];
            EXPECT_EQ(
                ItemInfo(h, item, name, sizeof name, nullptr, nullptr, nullptr, nullptr, nullptr),
                kNoError);
            o.names.emplace_back(name);
            char text[64];
            std::size_t n = 0;
            ItemValueToText(value, length, ';', text, sizeof text, &n);
            if (o.names.back() == "Subject")
                o.subject.assign(text, n);
            if (o.names.back() == "Notes")
                o.notes.assign(text, n);
        }
        EXPECT_EQ(NoteHeader(h, kHeaderFlags, &o.noteFlags, 2), kNoError);
        EXPECT_EQ(NoteIsSigned(h, &o.isSigned), kNoError);
        EXPECT_EQ(NoteHasObjects(h, &o.hasObjects), kNoError);
        CloseNote(h);
        return o;
    };
    using Names = std::vector<std::string>;
    const Open all = open(0);
    EXPECT_EQ(all.names, (Names{"Form", "Body", "Subject", "$FILE", "Head", "Notes", "$Sig"}));
    EXPECT_EQ(all.noteFlags, 32);

    const Open summary = open(kOpenSummary);
    EXPECT_EQ(summary.names, (Names{"Form", "Subject", "Head"}));
    EXPECT_EQ(summary.subject, "Hello") << "the values left are those of their items";
    // What the note is does not depend on what was read of it.
    EXPECT_TRUE(summary.isSigned);
    EXPECT_TRUE(summary.hasObjects);
    EXPECT_EQ(summary.noteFlags, 32);

    const Open noObjects = open(kOpenNoObjects);
    EXPECT_EQ(noObjects.names, (Names{"Form", "Body", "Subject", "Head", "Notes", "$Sig"}));
    EXPECT_EQ(noObjects.notes, "long remarks");
    EXPECT_TRUE(noObjects.hasObjects);

    const Open abstract = open(kOpenAbstract);
    EXPECT_EQ(abstract.names, (Names{"Form", "Subject", "$FILE", "Notes", "$Sig"}));
    EXPECT_EQ(abstract.noteFlags, 32 | kNoteAbstracted);
    EXPECT_EQ(abstract.notes, "long remarks");

    EXPECT_EQ(open(kOpenSummary | kOpenNoObjects).names, (Names{"Form", "Subject", "Head"}));
    EXPECT_EQ(open(kOpenSummary | kOpenAbstract).names, (Names{"Form", "Subject"}));

    // The flags that mean nothing for a database file give what an open without flags gives.
    for (std::uint16_t flag : {0x0002, 0x0004, 0x0020, 0x0040, 0x0100, 0x1000}) {
        const Open o = open(flag);
        EXPECT_EQ(o.names, all.names) << flag;
        EXPECT_EQ(o.noteFlags, all.noteFlags) << flag;
        EXPECT_EQ(kOpenHonoured & flag, 0) << flag;
    }
    for (std::uint16_t flag : {kOpenSummary, kOpenNoObjects, kOpenAbstract})
        EXPECT_NE(kOpenHonoured & flag, 0) << flag;
}

TEST_F(NotesTest, DesignNotesAreFoundByTitleOrAliasAndClass) {
    const struct {
        const char* name;
        std::uint16_t cls;
        Status status;
        NoteId id;
    } cases[] = {
        {"Main Topic", 0x0004, kNoError, 4},
        {"maintopic", 0x0004, kNoError, 4},
        {"Main Topic", 0x0008, kNoError, 8},
        {"Main", 0x0004, kDesignNotFound, 0},
        {"Topic", 0x0001, kDesignNotFound, 0},
        // A document's title counts only when documents are asked for, and the lowest ID wins.
        {"Main Topic", 0x0001, kNoError, 16},
        {"main topic", 0x0009, kNoError, 8},
        {"Main Topic", 0x0002, kDesignNotFound, 0},
    };
    for (const auto& c : cases) {
        NoteId id = 0;
        EXPECT_EQ(FindDesignNote(db_, c.name, c.cls, &id), c.status) << c.name;
        EXPECT_EQ(id, c.id) << c.name;
    }
}
