#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "DataDirFixture.h"
#include "store/api/Memory.h"
#include "store/api/Servers.h"
#include "store/api/Session.h"

using namespace store;

namespace {

std::vector<std::uint8_t> Names() {
    MemHandle h = 0;
    std::size_t size = 0;
    EXPECT_EQ(ServerNames(&h, &size), kNoError);
    EXPECT_EQ(MemSize(h), size);
    OwnedMem owned(h);
    LockedMem mem(h);
    return std::vector<std::uint8_t>(mem.bytes(), mem.bytes() + mem.size());
}

} // namespace

class Servers : public DataDirFixture {};

TEST_F(Servers, ListLayoutByteForByte) {
    MakeDir("srv-alpha");
    Write("servers.ini", "; servers of this machine\n"
                         "[CN=Alpha/O=Acme]\r\n"
                         "Directory = srv-alpha\r\n"
                         "[Hub]\n"
                         "Directory=/nonexistent/hub\n");
    ASSERT_EQ(SessionStart(), kNoError);
    const std::string a = "CN=Alpha/O=Acme", b = "Hub";
    std::vector<std::uint8_t> expected = {2, 0, std::uint8_t(a.size()), 0, 3, 0};
    expected.insert(expected.end(), a.begin(), a.end());
    expected.insert(expected.end(), b.begin(), b.end());
    EXPECT_EQ(Names(), expected);
}

TEST_F(Servers, NoSettingsMeansAnEmptyList) {
    ASSERT_EQ(SessionStart(), kNoError);
    EXPECT_EQ(Names(), (std::vector<std::uint8_t>{0, 0}));
    ServerLatency l;
    EXPECT_EQ(GetServerLatency("Alpha", &l), kServerUnknown);
}

TEST_F(Servers, LatencyAndRelease) {
    MakeDir("a");
    MakeDir("b");
    Write("servers.ini", "[CN=Alpha/O=Acme]\nDirectory=a\nRelease=166\n"
                         "LatencyToServer=12\nLatencyFromServer=15\n"
                         "[Beta]\nDirectory=b\n"
                         "[Gone]\nDirectory=missing\n"
                         "[NoDir]\n"
                         "[Half]\nDirectory=b\nLatencyToServer=5\nRelease=abc\n");
    ASSERT_EQ(SessionStart(), kNoError);
    ServerLatency l;
    ASSERT_EQ(GetServerLatency("alpha/acme", &l), kNoError); // display form, any case
    EXPECT_EQ(l.toServer, 12u);
    EXPECT_EQ(l.fromServer, 15u);
    EXPECT_EQ(l.release, 166);
    ASSERT_EQ(GetServerLatency("Beta", &l), kNoError); // measured, no release reported
    EXPECT_LT(l.toServer, 1000u);
    EXPECT_EQ(l.release, 0);
    ASSERT_EQ(GetServerLatency("Half", &l), kNoError); // one figure alone is not used
    EXPECT_EQ(l.release, 0);
    l.release = 7;
    EXPECT_EQ(GetServerLatency("Gone", &l), kServerNotResponding);
    EXPECT_EQ(l.release, 7); // untouched on failure
    EXPECT_EQ(GetServerLatency("NoDir", &l), kServerNotResponding);
    EXPECT_EQ(GetServerLatency("Nobody", &l), kServerUnknown);
    EXPECT_EQ(GetServerLatency(nullptr, &l), kInvalidArgument);
}

TEST_F(Servers, DuplicateAndUnusableNamesAreSkipped) {
    Write("servers.ini", "[Hub]\nDirectory=x\n[HUB]\nDirectory=y\n[Bad!!Name]\n");
    ASSERT_EQ(SessionStart(), kNoError);
    // Sections repeated with another case fold into one; "!!" cannot be in a server name.
    EXPECT_EQ(Names(), (std::vector<std::uint8_t>{1, 0, 3, 0, 'H', 'u', 'b'}));
    char notes[512];
    ASSERT_EQ(GetSessionNotes(notes, sizeof notes), kNoError);
    EXPECT_EQ(std::string(notes),
              dir() + "/servers.ini: server \"Bad!!Name\": not a usable server name\n");
}

TEST_F(Servers, UnreadableLinesAndNumbersAreNamed) {
    Write("servers.ini", "stray line\n[Hub]\nRelease=1x\nLatencyToServer=1\nLatencyFromServer=-\n");
    ASSERT_EQ(SessionStart(), kNoError);
    char notes[512];
    ASSERT_EQ(GetSessionNotes(notes, sizeof notes), kNoError);
    const std::string file = dir() + "/servers.ini: ";
    EXPECT_EQ(std::string(notes), file + "line 1: stray line\n" + file +
                                      "server \"Hub\": Release is not a number: 1x\n" + file +
                                      "server \"Hub\": latency is not a number\n");
}
