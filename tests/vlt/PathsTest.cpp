#include <gtest/gtest.h>

#include <string>

#include "DataDirFixture.h"
#include "store/api/Paths.h"

using namespace store;

namespace {

struct Split {
    Status status;
    std::string server, file;
};

Split SplitOf(const std::string& path, std::size_t serverSize = 64, std::size_t fileSize = 64) {
    char server[64] = "junk", file[64] = "junk";
    Split r;
    r.status = SplitNetPath(path.data(), path.size(), server, serverSize, file, fileSize);
    r.server = server;
    r.file = file;
    return r;
}

std::string Join(const char* server, const char* file, Status expected = kNoError) {
    char buffer[64] = "junk";
    std::size_t length = 99;
    EXPECT_EQ(JoinNetPath(server, file, buffer, sizeof buffer, &length), expected);
    EXPECT_EQ(length, std::string(buffer).size());
    return buffer;
}

std::string Display(const std::string& name, Status expected, std::size_t size = 64) {
    char buffer[64] = "junk";
    EXPECT_EQ(NameToDisplay(name.data(), name.size(), buffer, size), expected) << name;
    return buffer;
}

} // namespace

TEST(Paths, JoinAndSplit) {
    EXPECT_EQ(Join("Hub", "mail\\ann.vlt"), "Hub!!mail\\ann.vlt");
    EXPECT_EQ(Join("CN=Hub/O=Acme", ""), "CN=Hub/O=Acme!!");
    EXPECT_EQ(Join(nullptr, "local.vlt"), "local.vlt");
    EXPECT_EQ(Join("", "local.vlt"), "local.vlt");
    EXPECT_EQ(Join("Hub", nullptr), "Hub!!");
    EXPECT_EQ(Join("Bad!!Name", "x", kBadPath), "");
    char tiny[5];
    EXPECT_EQ(JoinNetPath("Hub", "x.vlt", tiny, sizeof tiny), kBufferTooSmall);
    EXPECT_STREQ(tiny, "Hub!");

    struct Case {
        const char* path;
        const char* server;
        const char* file;
    } cases[] = {
        {"Hub!!mail.vlt", "Hub", "mail.vlt"},
        {"Hub!!", "Hub", ""},
        {"mail.vlt", "", "mail.vlt"},
        {"", "", ""},
        {"!!mail.vlt", "", "mail.vlt"},
        {"Hub!!a!!b", "Hub", "a!!b"}, // the first separator splits
        {"Hub!mail", "", "Hub!mail"},
    };
    for (const Case& c : cases) {
        const Split s = SplitOf(c.path);
        EXPECT_EQ(s.status, kNoError) << c.path;
        EXPECT_EQ(s.server, c.server) << c.path;
        EXPECT_EQ(s.file, c.file) << c.path;
        if (*c.server) { // joining the parts gives the path back
            EXPECT_EQ(Join(c.server, c.file), c.path);
        }
    }
    // The length bounds the read; a part that does not fit is reported.
    char server[8], file[8];
    EXPECT_EQ(SplitNetPath("Hub!!x.vltGARBAGE", 10, server, sizeof server, file, sizeof file),
              kNoError);
    EXPECT_STREQ(file, "x.vlt");
    EXPECT_EQ(SplitOf("LongServerName!!x", 8).status, kBufferTooSmall);
    EXPECT_EQ(SplitOf("Hub!!long-file-name", 64, 8).status, kBufferTooSmall);
}

TEST(Paths, DisplayNames) {
    EXPECT_EQ(Display("CN=Ann Lee/OU=Sales/O=Acme", kNoError), "Ann Lee/Sales/Acme");
    EXPECT_EQ(Display("cn=Hub/ou=East/o=Acme/c=US", kNoError), "Hub/East/Acme/US");
    EXPECT_EQ(Display("Ann Lee/Sales/Acme", kNoError), "Ann Lee/Sales/Acme");
    EXPECT_EQ(Display("Hub", kNoError), "Hub");
    EXPECT_EQ(Display("", kNoError), "");
    // Failures give the input back.
    EXPECT_EQ(Display("CN=Ann/XX=Sales", kBadName), "CN=Ann/XX=Sales");
    EXPECT_EQ(Display("CN=/O=Acme", kBadName), "CN=/O=Acme");
    EXPECT_EQ(Display("CN=Ann//O=Acme", kBadName), "CN=Ann//O=Acme");
    EXPECT_EQ(Display("CN=Ann Lee/O=Acme", kBufferTooSmall, 5), "Ann ");
    EXPECT_EQ(Display("CN=Zo\xC3\xAB/O=Acme", kBufferTooSmall, 4), "Zo"); // never half a letter
}

class PathsResolve : public DataDirFixture {};

TEST_F(PathsResolve, StaysInsideTheDirectories) {
    MakeDir("srv");
    Write("servers.ini", "[CN=Hub/O=Acme]\nDirectory=srv\n");
    ASSERT_EQ(SessionStart(), kNoError);
    const std::string d = dir();
    struct Case {
        const char* path;
        Status status;
        std::string file;
    } cases[] = {
        {"", kNoError, d},
        {"mail.vlt", kNoError, d + "/mail.vlt"},
        {"sub\\deep/./x.vlt", kNoError, d + "/sub/deep/x.vlt"},
        {"sub\\..\\x.vlt", kNoError, d + "/x.vlt"},
        {"..\\outside.vlt", kBadPath, ""},
        {"sub/../../outside.vlt", kBadPath, ""},
        {"/abs/x.vlt", kNoError, "/abs/x.vlt"},
        {"/..", kBadPath, ""},
        {"Hub!!", kNoError, d + "/srv"},
        {"hub!!names.vlt", kNoError, d + "/srv/names.vlt"},
        {"CN=Hub/O=Acme!!\\mail\\a.vlt", kNoError, d + "/srv/mail/a.vlt"},
        {"Hub!!/etc/passwd", kNoError, d + "/srv/etc/passwd"},
        {"Hub!!..\\secret.vlt", kBadPath, ""},
        {"Nowhere!!x.vlt", kServerUnknown, ""},
        {"!!x.vlt", kNoError, d + "/x.vlt"},
    };
    for (const Case& c : cases) {
        char buffer[512] = "junk";
        const std::string path = c.path;
        EXPECT_EQ(ResolveStorePath(path.data(), path.size(), buffer, sizeof buffer), c.status)
            << c.path;
        EXPECT_EQ(buffer, c.file) << c.path;
    }
    char buffer[64];
    EXPECT_EQ(ResolveStorePath("a\0b", 3, buffer, sizeof buffer), kBadPath);
}
