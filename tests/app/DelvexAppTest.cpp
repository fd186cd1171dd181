// The application's start and end, and the hooks the store service calls.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "app/DelvexApp.h"
#include "app/DelvexDoc.h"
#include "app/FrontEnd.h"
#include "common/Hooks.h"
#include "common/MemorySettings.h"
#include "common/ProgramSettings.h"
#include "output/MessageBox.h"
#include "store/RecentPeeked.h"
#include "tree/Cancel.h"

namespace {

struct FakeFrontEnd : CFrontEnd {
    void ShowMessage(std::string_view title, std::string_view text) override {
        shown.push_back(std::string(title) + "|" + std::string(text));
    }
    int AskUser(std::string_view text, store::MessageButtons buttons) override {
        asked.push_back(std::string(text) + "|" + std::to_string(static_cast<int>(buttons)));
        return answer;
    }
    std::optional<DumpRequest> AskDumpFile() override { return std::nullopt; }
    bool CreateMainFrame() override {
        order.push_back("frame");
        return frameOk;
    }
    void OpenDocumentWindow(CDelvexDoc* doc) override {
        order.push_back("doc:" + std::to_string(doc->RootCount()) + ":" + doc->Title());
        delete doc;
    }
    std::vector<std::string> shown, asked, order;
    int answer = store::kAnswerYes;
    bool frameOk = true;
};

std::vector<std::string>* g_order = nullptr;
void Record(void* what) {
    if (g_order) {
        g_order->push_back(static_cast<const char*>(what));
    }
}
const hooks::CRegistration g_up(Record, const_cast<char*>("hook0"), hooks::kStartup);
const hooks::CRegistration g_down(Record, const_cast<char*>("hook1"), hooks::kShutdown);

struct AppTest : ::testing::Test {
    CMemorySettings settings;
    FakeFrontEnd fe;
    void SetUp() override {
        OverrideProgramSettings(&settings);
        g_order = &fe.order;
    }
    void TearDown() override {
        g_order = nullptr;
        OverrideProgramSettings(nullptr);
        cancel::Clear();
    }
};

TEST_F(AppTest, StartRunsHooksBeforeTheFrameAndOpensTheFirstDocument) {
    {
        CDelvexApp app(fe);
        ASSERT_TRUE(app.Start(""));
        EXPECT_TRUE(app.StoreStarted());
        EXPECT_EQ(app.Shutdown(), 0);
        EXPECT_FALSE(app.StoreStarted());
    }
    EXPECT_EQ(fe.order, (std::vector<std::string>{"hook0", "frame", "doc:4:", "hook1"}));
    fe.order.clear();
    {
        CDelvexApp app(fe);
        ASSERT_TRUE(app.Start("Hub!!"));
    } // the destructor shuts down
    EXPECT_EQ(fe.order, (std::vector<std::string>{"hook0", "frame", "doc:1:Hub", "hook1"}));
}

TEST_F(AppTest, ARelativePathNamesAFileOfTheCurrentFolderFirst) {
    namespace fs = std::filesystem;
    const fs::path here = fs::temp_directory_path() / ("delvex-app-" + std::to_string(getpid()));
    fs::create_directories(here / "sub");
    fs::copy_file(fs::path(DELVEX_SAMPLE_DATA_DIR) / "richtext.vlt", here / "sub" / "mine.vlt");
    const fs::path before = fs::current_path();
    fs::current_path(here);
    setenv("DELVEX_DATA_DIR", DELVEX_SAMPLE_DATA_DIR, 1);
    for (const char* path : {"sub/mine.vlt", "discuss.vlt", "nonexist.vlt"}) {
        CDelvexApp app(fe);
        ASSERT_TRUE(app.Start(path));
    }
    unsetenv("DELVEX_DATA_DIR");
    fs::current_path(before);
    fs::remove_all(here);
    const std::vector<std::string> docs = {fe.order[2], fe.order[6], fe.order[10]};
    EXPECT_EQ(docs, (std::vector<std::string>{"doc:1:" + (here / "sub" / "mine.vlt").string(),
                                              "doc:1:discuss.vlt", "doc:1:nonexist.vlt"}));
    ASSERT_EQ(fe.shown.size(), 1u);
    EXPECT_EQ(fe.shown[0].rfind("Error|Couldn't open nonexist.vlt: no such file (looked in the "
                                "current folder " +
                                    here.string() + " and in the data directory ",
                                0),
              0u)
        << fe.shown[0];
}

TEST_F(AppTest, AFrameThatCannotBeMadeEndsStartUpSilently) {
    fe.frameOk = false;
    CDelvexApp app(fe);
    EXPECT_FALSE(app.Start(""));
    EXPECT_TRUE(fe.shown.empty());
}

TEST_F(AppTest, StoreFailuresReachTheFrontEndOnlyWhileRunning) {
    // The first document compiles the stored label formula; its error needs a window.
    settings.WriteString("Document Nodes", "Formula", "let = ;");
    {
        CDelvexApp app(fe);
        ASSERT_TRUE(app.Start(""));
        ASSERT_EQ(fe.shown.size(), 1u);
        EXPECT_EQ(fe.shown[0].rfind("Error|", 0), 0u) << fe.shown[0];
        app.Shutdown();
    }
    fe.shown.clear();
    ShowStatusMessage(store::kCancelled, "after the end");
    EXPECT_TRUE(fe.shown.empty()) << "the box went with the application";
}

TEST_F(AppTest, MessageHookAsksOnlyWithButtonsAndText) {
    struct Case {
        const char* text;
        store::MessageButtons buttons;
        int answer;
    };
    const Case cases[] = {
        {"Replace?", store::MessageButtons::YesNo, store::kAnswerYes},
        {"Done", store::MessageButtons::Ok, store::kAnswerYes},
        {"", store::MessageButtons::Ok, store::kAnswerNone},
        {"Working", store::MessageButtons::NoneProgress, store::kAnswerNone},
        {"Note", store::MessageButtons::NoneInformation, store::kAnswerNone},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CDelvexApp::MessageHook(c.text, 0, c.buttons, &fe), c.answer) << c.text;
    }
    EXPECT_EQ(fe.asked, (std::vector<std::string>{"Replace?|2", "Done|0"}));
    // Without a text the status's message is shown.
    fe.asked.clear();
    CDelvexApp::MessageHook(nullptr, store::kCancelled, store::MessageButtons::OkCancel, &fe);
    ASSERT_EQ(fe.asked.size(), 1u);
    EXPECT_NE(fe.asked[0], "|1");
}

TEST_F(AppTest, BreakHookReportsACancelUntilIdle) {
    CDelvexApp app(fe);
    EXPECT_EQ(CDelvexApp::BreakHook(nullptr), 0);
    cancel::Request();
    EXPECT_EQ(CDelvexApp::BreakHook(nullptr), store::kCancelled);
    EXPECT_EQ(CDelvexApp::BreakHook(nullptr), store::kCancelled);
    app.Idle();
    EXPECT_EQ(CDelvexApp::BreakHook(nullptr), 0);
}

} // namespace

TEST_F(AppTest, TheRecentListsLiveFromStartUpToShutDown) {
    settings.SetText("[Recent Servers]\nServers.Index=ba\nServers.a=Old\nServers.b=Older\n");
    {
        CDelvexApp app(fe);
        EXPECT_EQ(recent::ProgramServers(), nullptr);
        ASSERT_TRUE(app.Start(""));
        ASSERT_NE(recent::ProgramServers(), nullptr);
        EXPECT_EQ(recent::ProgramServers()->Count(), 2u);
        EXPECT_EQ(recent::ProgramServers()->At(0).name, "Older");
        recent::AddServer("Hub");
        recent::AddDatabase(store::TimeDate{{2, 1}}, "Mail", "mail.vlt", nodetype::kDatabases);
        app.Shutdown();
        EXPECT_EQ(recent::ProgramServers(), nullptr);
        EXPECT_EQ(recent::ProgramDatabases(), nullptr);
    }
    EXPECT_EQ(settings.GetString("Recent Servers", "Servers.Index"), "cba");
    EXPECT_EQ(settings.GetString("Recent Servers", "Servers.c"), "Hub");
    EXPECT_EQ(settings.GetString("Recent Databases", "DBs.a"), "00000001:00000002");
    EXPECT_EQ(settings.GetString("00000001:00000002", "Path"), "mail.vlt");
    EXPECT_TRUE(fe.shown.empty());

    // A save that fails tells the user which file could not be written.
    {
        CDelvexApp app(fe);
        ASSERT_TRUE(app.Start(""));
        settings.FailWritesAfter(0);
        app.Shutdown();
    }
    ASSERT_EQ(fe.shown.size(), 1u);
    EXPECT_EQ(fe.shown[0].rfind("Error|Couldn't save the recently peeked", 0), 0u) << fe.shown[0];
}
