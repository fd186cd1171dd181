#include <gtest/gtest.h>

#include <string>

#include "DataDirFixture.h"
#include "store/api/Paths.h"
#include "store/api/Session.h"
#include "vlt/Environment.h"

using namespace store;

namespace {

std::string Env(const char* name, Status expected = kNoError) {
    char buffer[512] = "junk";
    EXPECT_EQ(GetEnvironmentValue(name, buffer, sizeof buffer), expected) << name;
    return buffer;
}

} // namespace

class Session : public DataDirFixture {};

TEST_F(Session, DataDirectoryAndSettingsByName) {
    Write("store.ini", "[Environment]\nDirectory=/ignored/while/the/variable/is/set\n"
                       "Colour = Blue \n");
    setenv("DELVEX_STORE_SETTINGS", (dir() + "/store.ini").c_str(), 1);
    ASSERT_EQ(SessionStart(), kNoError);
    EXPECT_TRUE(SessionStarted());
    EXPECT_EQ(Env("Directory"), dir());
    EXPECT_EQ(Env("directory"), dir());
    EXPECT_EQ(vlt::DataDirectory(), dir());
    EXPECT_EQ(Env("COLOUR"), "Blue");
    EXPECT_EQ(Env("Missing", kNotAvailable), "");
    EXPECT_EQ(Env("", kInvalidArgument), "");

    // Without the variable the settings file decides.
    unsetenv("DELVEX_DATA_DIR");
    ASSERT_EQ(SessionStart(), kNoError);
    EXPECT_EQ(Env("Directory"), "/ignored/while/the/variable/is/set");

    // Values set for the session win and can be removed again.
    ASSERT_EQ(SetEnvironmentValue("Colour", "Red"), kNoError);
    EXPECT_EQ(Env("colour"), "Red");
    ASSERT_EQ(SetEnvironmentValue("Directory", (dir() + "/sub/").c_str()), kNoError);
    EXPECT_EQ(vlt::DataDirectory(), dir() + "/sub");
    char notes[512];
    ASSERT_EQ(GetSessionNotes(notes, sizeof notes), kNoError);
    EXPECT_EQ(std::string(notes), dir() + "/sub: the data directory does not exist\n");
    ASSERT_EQ(SetEnvironmentValue("Colour", nullptr), kNoError);
    EXPECT_EQ(Env("Colour"), "Blue");
    char small[4];
    EXPECT_EQ(GetEnvironmentValue("Colour", small, sizeof small), kBufferTooSmall);
    EXPECT_STREQ(small, "Blu");
}

TEST_F(Session, WorksWithoutStartAndForgetsAtEnd) {
    SessionEnd();
    EXPECT_FALSE(SessionStarted());
    EXPECT_EQ(vlt::DataDirectory(), dir()); // loaded on first use
    MakeDir("srv");
    Write("servers.ini", "[Hub]\nDirectory=srv\n");
    // Still the first load: the server file written later is not seen until a new start.
    char buffer[256];
    EXPECT_EQ(ResolveStorePath("Hub!!x", 6, buffer, sizeof buffer), kServerUnknown);
    ASSERT_EQ(SessionStart(), kNoError);
    EXPECT_EQ(ResolveStorePath("Hub!!x", 6, buffer, sizeof buffer), kNoError);
    EXPECT_EQ(std::string(buffer), dir() + "/srv/x");
}

TEST_F(Session, DefaultDirectoryUnderHome) {
    unsetenv("DELVEX_DATA_DIR");
    const char* oldHome = std::getenv("HOME");
    const std::string saved = oldHome ? oldHome : "";
    setenv("HOME", dir().c_str(), 1);
    ASSERT_EQ(SessionStart(), kNoError);
    EXPECT_EQ(vlt::DataDirectory(), dir() + "/.local/share/delvex/data");
    if (oldHome)
        setenv("HOME", saved.c_str(), 1);
    else
        unsetenv("HOME");
}

namespace {

int cancelAfter = 0;
int BreakAfter(void* calls) {
    return ++*static_cast<int*>(calls) > cancelAfter;
}

struct Asked {
    std::string text;
    Status status = 0;
    MessageButtons buttons = MessageButtons::Ok;
};
int Answer(const char* text, Status status, MessageButtons buttons, void* context) {
    auto* asked = static_cast<Asked*>(context);
    asked->text = text ? text : "";
    asked->status = status;
    asked->buttons = buttons;
    return kAnswerRetry;
}

} // namespace

TEST_F(Session, HooksReachTheProgram) {
    EXPECT_EQ(vlt::PollBreak(), kNoError); // no hook: never cancelled
    int calls = 0;
    cancelAfter = 2;
    SetBreakHook(&BreakAfter, &calls);
    EXPECT_EQ(vlt::PollBreak(), kNoError);
    EXPECT_EQ(vlt::PollBreak(), kNoError);
    EXPECT_EQ(vlt::PollBreak(), kCancelled);
    EXPECT_EQ(calls, 3);

    EXPECT_EQ(vlt::AskUser("Disk full", 0, MessageButtons::RetryCancel), kAnswerNone);
    Asked asked;
    SetMessageHook(&Answer, &asked);
    EXPECT_EQ(vlt::AskUser("Disk full", 0, MessageButtons::RetryCancel), kAnswerRetry);
    EXPECT_EQ(asked.text, "Disk full");
    EXPECT_EQ(asked.buttons, MessageButtons::RetryCancel);
    EXPECT_EQ(vlt::AskUser(nullptr, kBadPath, MessageButtons::Ok), kAnswerRetry);
    EXPECT_EQ(asked.status, kBadPath);

    SessionEnd(); // hooks are forgotten
    EXPECT_EQ(vlt::PollBreak(), kNoError);
    EXPECT_EQ(vlt::AskUser("x", 0, MessageButtons::Ok), kAnswerNone);
}
