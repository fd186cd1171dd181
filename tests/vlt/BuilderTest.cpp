// The builder: readable times, descriptions refused with a clear message, no file left behind
// by a failed build, and the sample descriptions.
#include <sys/resource.h>

#include <cstdlib>
#include <string>

#include "VltTestSupport.h"
#include "store/api/Acl.h"
#include "store/api/Conversions.h"
#include "store/api/Notes.h"
#include "store/api/Search.h"
#include "support/BoundedChild.h"

using namespace store;
using namespace vlttest;
using vlt::builder::DatabaseDesc;

TEST(BuilderTime, ReadableTimesParseToTheirPartsAndZone) {
    const struct {
        const char* text;
        int y, mo, d, h, mi, s, cs, zone;
    } good[] = {
        {"1995-12-25T12:02:43.17+01:00", 1995, 12, 25, 12, 2, 43, 17, 60},
        {"1995-12-25T12:02:43-05:30", 1995, 12, 25, 12, 2, 43, 0, -330},
        {"2000-02-29T23:59Z", 2000, 2, 29, 23, 59, 0, 0, 0},
        {"0001-01-01", 1, 1, 1, 0, 0, 0, 0, 0},
        {"1999-07-01 08:00:00.99+10:00", 1999, 7, 1, 8, 0, 0, 99, 600},
    };
    for (const auto& g : good) {
        SCOPED_TRACE(g.text);
        TimeDate t;
        ASSERT_TRUE(vlt::builder::ParseTime(g.text, &t));
        TimeParts p;
        p.zone = g.zone;
        ASSERT_EQ(SplitTime(t, &p), kNoError);
        EXPECT_EQ(p.year, g.y);
        EXPECT_EQ(p.month, g.mo);
        EXPECT_EQ(p.day, g.d);
        EXPECT_EQ(p.hour, g.h);
        EXPECT_EQ(p.minute, g.mi);
        EXPECT_EQ(p.second, g.s);
        EXPECT_EQ(p.hundredth, g.cs);
    }
    const char* bad[] = {"",
                         "1995-13-01",
                         "1995-02-30",
                         "1995-12-25T24:00",
                         "1995-12-25T12:02:43.1",
                         "1995-12-25T12:02+1",
                         "1995-12-25T12:02+01:07",
                         "95-12-25",
                         "1995-12-25T12:02 ",
                         "1995-12-25Tnoon"};
    for (const char* b : bad) {
        TimeDate t;
        EXPECT_FALSE(vlt::builder::ParseTime(b, &t)) << b;
    }
}

TEST(BuilderDescription, ProblemsAreNamedWithTheirPlace) {
    const struct {
        const char* json;
        const char* message;
    } cases[] = {
        {"{\n \"notes\": [\n  { \"id\": 4,, }\n ]\n}", "d.json:3: invalid JSON"},
        {R"({ "notes": [ { "class": "gadget" } ] })", "notes[0].class: unknown name \"gadget\""},
        {R"({ "notes": [ { "class": 70000 } ] })", "notes[0].class: 70000 is too large"},
        {R"({ "notes": [ { "id": -4 } ] })", "notes[0].id: must not be negative"},
        {R"({ "notes": [ { "items": [ { "text": "x" } ] } ] })",
         "notes[0].items[0]: an item needs a \"name\""},
        {R"({ "notes": [ { "items": [ { "name": "A", "text": "x", "number": 1 } ] } ] })",
         "notes[0].items[0] (\"A\"): give exactly one value"},
        {R"({ "notes": [ { "items": [ { "name": "A", "raw": "01" } ] } ] })", "needs a \"type\""},
        {R"({ "notes": [ { "items": [ { "name": "A", "raw": "012", "type": 1 } ] } ] })",
         "items[0] (\"A\").raw: not an even number of hex digits"},
        {R"({ "notes": [ { "items": [ { "name": "A", "time": "yesterday" } ] } ] })",
         "(\"A\").time: \"yesterday\" is not a time"},
        {R"({ "notes": [ { "items": [ { "name": "A", "formula": "1 + (" } ] } ] })",
         "(\"A\").formula: "},
        {R"({ "notes": [ { "items": [ { "name": "A", "noterefs": [ 8 ] } ] } ] })",
         "note 8 does not exist"},
        {R"({ "notes": [ { "items": [ { "name": "A", "attachment": { "object": 3, "file": "f" } } ] } ] })",
         "object 3 does not exist"},
        {R"({ "notes": [ { "default": "yes" } ] })", "unexpected value"},
        {R"({ "title": "two\nlines" })", "database.title: must not contain a line break"},
        {R"({ "acl": { "entries": [ { "name": "X", "level": 7 } ] } })", "level: 7 is too large"},
        {R"({ "acl": { "entries": [ { "name": "X", "roles": [ "[Nobody]" ] } ] } })",
         "no role named \"[Nobody]\""},
        {R"({ "acl": { "entries": [ { "name": "X", "roles": [ 80 ] } ] } })", "80 is too large"},
        // A role named by an entry sets the bit of its index, so that index is checked first.
        {R"({ "acl": { "roles": [ { "index": 80, "name": "[R]" }, { "index": 4000, "name": "[S]" } ],
                      "entries": [ { "name": "X", "roles": [ "[S]" ] } ] } })",
         "acl.entries[0].roles[0]: role \"[S]\" has index 4000, which must lie in 0..79"},
        {"[]", "must be a JSON object"},
        // Beyond the range of a double: the JSON reader refuses it without a place.
        {R"({ "notes": [ { "id": 1e400 } ] })",
         "d.json: invalid JSON: number overflow parsing '1e400'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json);
        DatabaseDesc desc;
        std::string error;
        EXPECT_FALSE(vlt::builder::ParseDescription(c.json, "d.json", &desc, &error));
        EXPECT_EQ(error.rfind("d.json:", 0), 0u) << error;
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
    }
}

TEST(BuilderDescription, MessagesNameTheLineOfTheValueAtFault) {
    const std::string json = "{\n"                                             // 1
                             "  \"title\": \"T\",\n"                           // 2
                             "  \"notes\": [\n"                                // 3
                             "    { \"id\": 4 },\n"                            // 4
                             "    { \"items\": [\n"                            // 5
                             "        { \"name\": \"A\", \"text\": \"x\" },\n" // 6
                             "        { \"name\": \"B\",\n"                    // 7
                             "          \"time\": \"noon\" } ] } ],\n"         // 8
                             "  \"replica\": { \"flags\": \"0xZZ\" }\n"        // 9
                             "}\n";
    // Root values are read before the notes: each case mends the fault of the one before.
    const struct {
        const char* from;
        const char* to;
        const char* prefix;
    } cases[] = {
        {"\"T\"", "7", "d.json:2: database.title:"},
        {"7", "\"T\"", "d.json:9: replica.flags:"},
        {"\"0xZZ\"", "1", "d.json:8: notes[1].items[1] (\"B\").time:"},
        {"\"noon\"", "\"1999-01-01\", \"flags\": [\"x\"]",
         "d.json:8: notes[1].items[1] (\"B\").flags[0]:"},
    };
    std::string text = json;
    for (const auto& c : cases) {
        text.replace(text.find(c.from), std::string(c.from).size(), c.to);
        DatabaseDesc desc;
        std::string error;
        EXPECT_FALSE(vlt::builder::ParseDescription(text, "d.json", &desc, &error));
        EXPECT_EQ(error.rfind(c.prefix, 0), 0u) << error;
    }
}

TEST(BuilderDescription, ChecksBeforeWritingCatchWhatJsonCannotSay) {
    const struct {
        const char* json;
        const char* message;
    } cases[] = {
        {R"({ "notes": [ { "id": 4 }, { "id": 4 } ] })", "note 4: the note ID is used twice"},
        {R"({ "notes": [ { "id": 0 } ] })", "note 0: a note ID must lie in 1..0x7FFFFFFF"},
        {R"({ "notes": [ { "id": 4, "parent": 12 } ] })", "note 12 does not exist"},
        {R"({ "notes": [ { "id": 4, "deleted": true, "items": [ { "name": "A", "text": "" } ] } ] })",
         "a deletion stub has no items"},
        {R"({ "objects": [ { "id": 1, "note": 4 } ] })", "object 1: its note 4 does not exist"},
        {R"({ "acl": { "roles": [ { "index": 5, "name": "[ThisNameIsTooLong]" } ] } })",
         "name must have 1 to 17 bytes"},
        {R"({ "acl": { "roles": [ { "index": 80, "name": "[R]" } ] } })",
         "index must lie in 0..79"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json);
        DatabaseDesc desc;
        std::string error;
        if (!vlt::builder::ParseDescription(c.json, "d.json", &desc, &error)) {
            EXPECT_NE(error.find(c.message), std::string::npos) << error;
            continue;
        }
        EXPECT_NE(vlt::builder::CheckDescription(desc).find(c.message), std::string::npos)
            << vlt::builder::CheckDescription(desc);
    }
    DatabaseDesc desc;
    desc.notes.push_back({});
    desc.notes.back().id = 4;
    desc.notes.back().items.push_back({std::string(130, 'n'), 0, {0, 5}});
    EXPECT_NE(vlt::builder::CheckDescription(desc).find("must have 1 to 129 bytes"),
              std::string::npos);
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#else
constexpr bool kAddressSanitizer = false;
#endif

TEST(BuilderDescription, DeepNestingIsRefusedWithItsLine) {
    // `depth` levels counting the root object, the innermost on line 2.
    auto nested = [](std::size_t depth) {
        return "{ \"notes\": \n" + std::string(depth - 1, '[') + std::string(depth - 1, ']') + " }";
    };
    const std::string limit = "d.json:2: values nested deeper than 64 levels";
    DatabaseDesc desc;
    std::string error;
    EXPECT_FALSE(vlt::builder::ParseDescription(nested(64), "d.json", &desc, &error));
    EXPECT_EQ(error.find("nested deeper"), std::string::npos) << error;
    EXPECT_FALSE(vlt::builder::ParseDescription(nested(65), "d.json", &desc, &error));
    EXPECT_EQ(error, limit);
    // Brackets inside texts are no nesting.
    EXPECT_TRUE(vlt::builder::ParseDescription(
        "{ \"title\": \"" + std::string(100, '[') + "\\\"{\" }", "d.json", &desc, &error))
        << error;

    // Far deeper nesting once overflowed the stack: the child has a bounded address space.
    const std::string deep = testsupport::InBoundedChild(30, [&] {
        // AddressSanitizer reserves its shadow memory beyond any such limit.
        if (!kAddressSanitizer) {
            const rlimit memory{std::size_t(1) << 30, std::size_t(1) << 30};
            ::setrlimit(RLIMIT_AS, &memory);
        }
        DatabaseDesc d;
        std::string e;
        return vlt::builder::ParseDescription(nested(200000), "d.json", &d, &e) ? "parsed" : e;
    });
    EXPECT_EQ(deep, limit);
}

TEST(BuilderDescription, NoteIdsDefaultInStepsOfFourAndParentsGetAReference) {
    DatabaseDesc desc;
    std::string error;
    ASSERT_TRUE(vlt::builder::ParseDescription(
        R"({ "notes": [ {}, { "id": 21 }, {}, { "parent": 4 } ] })", "d.json", &desc, &error))
        << error;
    ASSERT_EQ(desc.notes.size(), 4u);
    EXPECT_EQ(desc.notes[0].id, 4u);
    EXPECT_EQ(desc.notes[1].id, 21u);
    EXPECT_EQ(desc.notes[2].id, 24u);
    EXPECT_EQ(desc.notes[3].id, 28u);
    ASSERT_EQ(desc.notes[3].items.size(), 1u);
    EXPECT_EQ(desc.notes[3].items[0].name, "$REF");
    EXPECT_EQ(desc.notes[3].items[0].value.size(), 2u + 2 + 16);
    EXPECT_EQ(desc.notes[3].parent, 4u);
}

TEST(BuilderWrite, AFailedBuildLeavesNoFileAndKeepsAnOldOne) {
    ScratchDir dir;
    DatabaseDesc bad;
    bad.notes.resize(2);
    bad.notes[0].id = bad.notes[1].id = 8;
    std::string error;
    EXPECT_FALSE(vlt::builder::WriteDatabase(bad, dir.file("x.vlt"), &error));
    EXPECT_NE(error.find(dir.file("x.vlt")), std::string::npos) << error;
    EXPECT_TRUE(fs::is_empty(dir.path()));

    const std::string old = BuildJson(dir, "x.vlt", "{}");
    const std::string before = ReadAll(old);
    EXPECT_FALSE(vlt::builder::WriteDatabase(bad, old, &error));
    EXPECT_EQ(ReadAll(old), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);

    // An output directory that cannot be made: a message, no file.
    WriteAll(dir.file("plain"), "");
    EXPECT_FALSE(vlt::builder::WriteDatabase({}, dir.file("plain/y.vlt"), &error));
    EXPECT_NE(error.find("cannot create"), std::string::npos) << error;
}

TEST(BuilderTool, ReportsTheFileAndExitsNonZero) {
    ScratchDir dir;
    const std::string tool = std::string(DELVEX_BINARY_DIR) + "/tools/vlt-build/vlt-build";
    if (!fs::exists(tool))
        GTEST_SKIP() << "vlt-build not built";
    WriteAll(dir.file("bad.json"), "{\n  \"notes\": [ { \"class\": \"gadget\" } ]\n}\n");
    const std::string err = dir.file("err.txt");
    const std::string out = dir.file("bad.vlt");
    const int rc =
        std::system((tool + " -o " + out + " " + dir.file("bad.json") + " 2>" + err).c_str());
    EXPECT_NE(rc, 0);
    EXPECT_NE(ReadAll(err).find("bad.json:2: notes[0].class: unknown name"), std::string::npos)
        << ReadAll(err);
    EXPECT_FALSE(fs::exists(out));
    EXPECT_NE(std::system((tool + " 2>/dev/null").c_str()), 0);
}

TEST(BuilderValues, TypedValuesAreLaidOutAsStored) {
    DatabaseDesc desc;
    std::string error;
    ASSERT_TRUE(vlt::builder::ParseDescription(R"({ "notes": [
        { "id": 4, "created": "2000-01-01T00:00:00Z", "modified": "2000-01-02T00:00:00Z",
          "items": [
            { "name": "L", "textlist": ["ab", "", "c"] },
            { "name": "R", "numbers": [1], "numberranges": [[2, 3]] },
            { "name": "T", "timeranges": [["2000-01-01T00:00:00Z", "2000-01-02T00:00:00Z"]] },
            { "name": "F", "attachment": { "object": 258, "file": "a.txt" } },
            { "name": "N", "noterefs": [4], "flags": ["summary", 512] },
            { "name": "X", "raw": "de ad", "type": "0x0010" } ] } ],
      "objects": [ { "id": 258, "note": 4, "text": "hello" } ] })",
                                               "d.json", &desc, &error))
        << error;
    const auto& items = desc.notes[0].items;
    ASSERT_EQ(items.size(), 6u);
    using B = std::vector<std::uint8_t>;
    EXPECT_EQ(items[0].value, (B{0x01, 0x05, 3, 0, 2, 0, 0, 0, 1, 0, 'a', 'b', 'c'}));
    // u16 list count, u16 range count, the list, then the pairs.
    ASSERT_EQ(items[1].value.size(), 2u + 4 + 8 + 16);
    EXPECT_EQ(B(items[1].value.begin(), items[1].value.begin() + 6), (B{0x01, 0x03, 1, 0, 1, 0}));
    ASSERT_EQ(items[2].value.size(), 2u + 4 + 16);
    EXPECT_EQ(B(items[2].value.begin(), items[2].value.begin() + 6), (B{0x01, 0x04, 0, 0, 1, 0}));

    const auto& created = desc.notes[0].created;
    const auto& modified = desc.notes[0].modified;
    B file = {3, 0,        // object type word
              0, 0,        // file object, no flags
              2, 1, 0, 0,  // identifier 258
              5, 0,        // name length
              0, 0, 0, 0,  // host, compression
              0, 0, 0, 0,  // attributes, file flags
              5, 0, 0, 0}; // size of the object
    for (const TimeDate* t : {&created, &modified})
        for (std::uint32_t w : t->w)
            for (int i = 0; i < 4; ++i)
                file.push_back(static_cast<std::uint8_t>(w >> (8 * i)));
    file.insert(file.end(), {'a', '.', 't', 'x', 't'});
    EXPECT_EQ(items[3].value, file);

    B ref = {4, 0, 1, 0};
    for (const TimeDate* t : {&desc.notes[0].originator.file, &desc.notes[0].originator.note})
        for (std::uint32_t w : t->w)
            for (int i = 0; i < 4; ++i)
                ref.push_back(static_cast<std::uint8_t>(w >> (8 * i)));
    EXPECT_EQ(items[4].value, ref);
    EXPECT_EQ(items[4].flags, 0x0204);
    EXPECT_EQ(items[5].value, (B{0x10, 0x00, 0xde, 0xad}));
}
