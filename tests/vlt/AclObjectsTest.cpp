// Access control lists and note objects.
#include <cstring>
#include <string>
#include <vector>

#include "VltTestSupport.h"
#include "store/api/Acl.h"
#include "store/api/Objects.h"

using namespace store;
using namespace vlttest;

namespace {

const char* kDb = R"({
  "notes": [ { "id": 4 } ],
  "objects": [ { "id": 1, "note": 4, "class": 2, "privileges": 7, "hex": "00 01 02 03 04 05" },
               { "id": 2, "note": 4 } ],
  "acl": {
    "flags": 1, "admin-server": "CN=Hub/O=Org",
    "roles": [ { "index": 0, "name": "CreateDocuments" }, { "index": 5, "name": "[Pay]" },
               { "index": 79, "name": "[Last]" } ],
    "entries": [
      { "name": "-Default-", "level": "noaccess" },
      { "name": "CN=Ada/O=Org", "level": "manager", "flags": ["person"], "roles": [0, "[Pay]", 79] },
      { "name": "Staff", "level": 3, "flags": 64 } ],
    "history": ["first change", "second change"] } })";

struct Entry {
    std::string name;
    std::uint16_t level, flags;
    ACL_PRIVILEGES roles;
};

class AclTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string path = BuildJson(dir_, "a.vlt", kDb);
        ASSERT_EQ(OpenDatabase(path.c_str(), &db_), kNoError);
        ASSERT_EQ(AclRead(db_, &acl_), kNoError);
    }
    void TearDown() override {
        MemFree(acl_);
        CloseDatabase(db_);
    }
    ScratchDir dir_;
    DbHandle db_ = 0;
    MemHandle acl_ = 0;
};

} // namespace

TEST_F(AclTest, EntriesComeInOrderWithTheirLevelsFlagsAndRoles) {
    std::vector<Entry> entries;
    // Returning 1 after each entry, as list nodes do, must not stop the walk.
    auto cb = [](void* ctx, const char* name, std::uint16_t level, const ACL_PRIVILEGES* roles,
                 std::uint16_t flags) -> Status {
        static_cast<std::vector<Entry>*>(ctx)->push_back({name, level, flags, *roles});
        return 1;
    };
    EXPECT_EQ(AclForEachEntry(acl_, cb, &entries), kNoError);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].name, "-Default-");
    EXPECT_EQ(entries[0].level, 0);
    EXPECT_EQ(entries[1].name, "CN=Ada/O=Org");
    EXPECT_EQ(entries[1].level, 6);
    EXPECT_EQ(entries[1].flags, 0x20);
    const std::uint8_t ada[10] = {0x21, 0, 0, 0, 0, 0, 0, 0, 0, 0x80};
    EXPECT_EQ(std::memcmp(entries[1].roles.bits, ada, 10), 0);
    EXPECT_EQ(entries[2].level, 3);
    EXPECT_EQ(entries[2].flags, 0x40);
    const std::uint8_t none[10] = {};
    EXPECT_EQ(std::memcmp(entries[2].roles.bits, none, 10), 0);

    int seen = 0;
    auto cancel = [](void* ctx, const char*, std::uint16_t, const ACL_PRIVILEGES*,
                     std::uint16_t) -> Status {
        ++*static_cast<int*>(ctx);
        return kCancelled;
    };
    EXPECT_EQ(AclForEachEntry(acl_, cancel, &seen), kCancelled);
    EXPECT_EQ(seen, 1);
}

TEST_F(AclTest, RoleNamesFlagsAdminServerAndHistory) {
    const struct {
        unsigned index;
        Status status;
        const char* name;
    } roles[] = {{0, kNoError, "CreateDocuments"}, {1, kRoleUndefined, ""},
                 {5, kNoError, "[Pay]"},           {6, kRoleUndefined, ""},
                 {79, kNoError, "[Last]"},         {80, kInvalidArgument, ""}};
    for (const auto& r : roles) {
        char name[20] = "junk";
        EXPECT_EQ(AclRoleName(acl_, r.index, name, sizeof name), r.status) << r.index;
        EXPECT_STREQ(name, r.name) << r.index;
    }
    char small[4];
    EXPECT_EQ(AclRoleName(acl_, 5, small, sizeof small), kBufferTooSmall);
    EXPECT_STREQ(small, "[Pa");

    std::uint32_t flags = 0;
    EXPECT_EQ(AclListFlags(acl_, &flags), kNoError);
    EXPECT_EQ(flags, 1u);
    char server[256];
    EXPECT_EQ(AclAdminServer(acl_, server, sizeof server), kNoError);
    EXPECT_STREQ(server, "CN=Hub/O=Org");

    MemHandle history = 0;
    std::uint16_t count = 0;
    ASSERT_EQ(AclHistory(acl_, &history, &count), kNoError);
    ASSERT_EQ(count, 2);
    LockedMem mem(history);
    const std::string texts(reinterpret_cast<const char*>(mem.bytes()), mem.size());
    EXPECT_EQ(texts, std::string("first change\0second change\0", 27));
    MemFree(history);
}

TEST(Acl, DatabaseWithoutAListAndForgedHandles) {
    ScratchDir dir;
    OpenDb db(BuildJson(dir, "none.vlt", R"({ "acl": {} })"));
    MemHandle acl = 0;
    ASSERT_EQ(AclRead(db.get(), &acl), kNoError); // an empty list is still a list
    MemHandle history = 0;
    std::uint16_t count = 9;
    EXPECT_EQ(AclHistory(acl, &history, &count), kNoError);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(history, 0u);
    MemFree(acl);

    OpenDb none(BuildJson(dir, "nolist.vlt", "{}"));
    EXPECT_EQ(AclRead(none.get(), &acl), kNotAvailable);
    EXPECT_EQ(acl, 0u);

    // Blocks that are not lists, or lists cut short, are refused without reading past them.
    const std::string good = [&] {
        OpenDb full(BuildJson(dir, "full.vlt", kDb));
        MemHandle h = 0;
        EXPECT_EQ(AclRead(full.get(), &h), kNoError);
        LockedMem mem(h);
        std::string bytes(reinterpret_cast<const char*>(mem.bytes()), mem.size());
        MemFree(h);
        return bytes;
    }();
    for (std::size_t n = 0; n < good.size(); ++n) {
        const MemHandle forged = MemAlloc(n);
        {
            LockedMem mem(forged);
            std::memcpy(mem.bytes(), good.data(), n);
        }
        std::uint32_t flags;
        char name[20];
        EXPECT_EQ(AclListFlags(forged, &flags), kBadValue) << n;
        EXPECT_EQ(AclRoleName(forged, 5, name, sizeof name), kBadValue) << n;
        auto cb = [](void*, const char*, std::uint16_t, const ACL_PRIVILEGES*,
                     std::uint16_t) -> Status { return 0; };
        EXPECT_EQ(AclForEachEntry(forged, cb, nullptr), kBadValue) << n;
        MemFree(forged);
    }
    // An entry count that reaches past the entries gives no entry at all (u32 count at the
    // offset in bytes 12..15); the other sections are still read.
    std::string raised = good;
    std::uint32_t entriesAt = 0;
    std::memcpy(&entriesAt, raised.data() + 12, 4);
    ASSERT_LT(entriesAt, raised.size());
    raised[entriesAt] = 4;
    const MemHandle forged = MemAlloc(raised.size());
    {
        LockedMem mem(forged);
        std::memcpy(mem.bytes(), raised.data(), raised.size());
    }
    int seen = 0;
    auto counted = [](void* ctx, const char*, std::uint16_t, const ACL_PRIVILEGES*,
                      std::uint16_t) -> Status {
        ++*static_cast<int*>(ctx);
        return 0;
    };
    EXPECT_EQ(AclForEachEntry(forged, counted, &seen), kBadValue);
    EXPECT_EQ(seen, 0);
    char name[20];
    EXPECT_EQ(AclRoleName(forged, 5, name, sizeof name), kNoError);
    EXPECT_STREQ(name, "[Pay]");
    MemFree(forged);

    std::uint32_t flags;
    EXPECT_EQ(AclListFlags(0xFFFFFFF0u, &flags), kInvalidHandle);
}

TEST(Objects, InformationAndRangesWithinTheObject) {
    ScratchDir dir;
    OpenDb db(BuildJson(dir, "o.vlt", kDb));
    std::uint32_t size = 0;
    std::uint16_t cls = 0, privileges = 0;
    ASSERT_EQ(ObjectInfo(db.get(), 1, 0xFFFF, &size, &cls, &privileges), kNoError);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(cls, 2);
    EXPECT_EQ(privileges, 7);
    EXPECT_EQ(ObjectInfo(db.get(), 1, 0x0001, &size, &cls, &privileges), kObjectNotFound);
    EXPECT_EQ(ObjectInfo(db.get(), 3, 0xFFFF, &size, &cls, &privileges), kObjectNotFound);
    ASSERT_EQ(ObjectInfo(db.get(), 2, 0xFFFF, &size, &cls, &privileges), kNoError);
    EXPECT_EQ(size, 0u);

    const struct {
        std::uint32_t offset, length;
        Status status;
        std::vector<std::uint8_t> bytes;
    } reads[] = {
        {0, 6, kNoError, {0, 1, 2, 3, 4, 5}},
        {4, 2, kNoError, {4, 5}},
        {6, 0, kNoError, {}},
        {5, 2, kBadRange, {}},
        {7, 0, kBadRange, {}},
        {0xFFFFFFFFu, 2, kBadRange, {}},
    };
    for (const auto& r : reads) {
        MemHandle h = 0;
        EXPECT_EQ(ObjectRead(db.get(), 1, r.offset, r.length, &h), r.status) << r.offset;
        if (r.status != kNoError) {
            EXPECT_EQ(h, 0u);
            continue;
        }
        LockedMem mem(h);
        EXPECT_EQ(std::vector<std::uint8_t>(mem.bytes(), mem.bytes() + mem.size()), r.bytes);
        MemFree(h);
    }
}
