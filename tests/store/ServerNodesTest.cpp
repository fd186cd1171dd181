// Machines, the server list and directories over the sample data directory and scratch ones.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/HeadlessPlatform.h"
#include "output/DumpWriter.h"
#include "store/TNDirectory.h"
#include "store/TNServer.h"
#include "store/TNServerInfo.h"
#include "store/api/Session.h"
#include "support/BoundedChild.h"
#include "support/CollapsedDump.h"
#include "support/ExpectParts.h"
#include "tree/CancelProbe.h"
#include "tree/DumpToFile.h"
#include "tree/NodeDocument.h"
#include "tree/TNError.h"
#include "treelist/TreeListCore.h"
namespace {

namespace fs = std::filesystem;

struct MachineTest : ::testing::Test {
    // The document outlives the control, whose rows own nodes that tell it of their end.
    CNodeDocument doc;
    CHeadlessPlatform platform;
    CTreeListCore control{platform};

    void UseDataDirectory(const std::string& dir) {
        store::SessionStart();
        ASSERT_EQ(store::SetEnvironmentValue("Directory", dir.c_str()), store::kNoError);
    }
    void TearDown() override { store::SessionEnd(); }

    template <class Node> Node* Root(Node* n) {
        n->SetDocument(&doc);
        control.AddRoot(n);
        return n;
    }
    static std::vector<std::string> Children(CTreeListNode& n) {
        std::vector<std::string> out;
        for (CTreeListNode* c = n.GetFirstChild(); c; c = c->GetNextSibling()) {
            out.emplace_back(c->GetLabel());
        }
        return out;
    }
    static std::string Dump(CTreeListNode& n) {
        std::ostringstream text;
        CDumpWriter writer(text);
        WriteSubtree(n, writer, CollapsedDump());
        writer.Close();
        return text.str();
    }
};

TEST_F(MachineTest, ServerListNamesTheKnownServersInSettingsOrder) {
    UseDataDirectory(DELVEX_SAMPLE_DATA_DIR);
    auto* list = Root(new TNServerList());
    control.Expand(list);
    EXPECT_EQ(Children(*list),
              (std::vector<std::string>{"Alpha/Acme", "Beta/East/Acme", "Gamma/Acme"}));
}

TEST_F(MachineTest, ServerInformationAndAServerThatDoesNotRespond) {
    UseDataDirectory(DELVEX_SAMPLE_DATA_DIR);
    // Alpha reports its release: no names database is asked.
    const std::string alpha = Dump(*Root(new TNServer("CN=Alpha/O=Acme", -1)));
    ExpectParts(alpha, {"(server \"Alpha/Acme\"", "(build-version 166)    ; Release 4.x",
                        "(client-to-server 12)", "(server-to-client 15)"});
    // Beta reports none and has no names database: the build version is an error field.
    const std::string beta = Dump(*Root(new TNServer("CN=Beta/OU=East/O=Acme", -1)));
    ExpectParts(beta, {"Unable to get build version", "(latency"});
    // Gamma's directory is missing: one error node is its only child.
    auto* gamma = Root(new TNServer("CN=Gamma/O=Acme", -1));
    control.Expand(gamma);
    ASSERT_EQ(gamma->ChildCount(), 1u);
    EXPECT_EQ(
        std::string(gamma->GetFirstChild()->GetLabel()).rfind("Unable to open network path", 0),
        0u);
}

TEST(ServerInfo, ReleaseOfBuild) {
    const std::pair<unsigned, int> cases[] = {{1, 1},  {81, 1},  {82, 2},  {93, 2},
                                              {94, 3}, {118, 3}, {119, 4}, {166, 4}};
    for (auto [build, release] : cases) {
        EXPECT_EQ(ReleaseOfBuild(build), release) << build;
    }
}

TEST_F(MachineTest, LocalMachineListsDirectoriesDatabasesAndItsInformation) {
    UseDataDirectory(DELVEX_SAMPLE_DATA_DIR);
    auto* local = Root(new TNLocalMachine());
    control.Expand(local);
    const auto children = Children(*local);
    EXPECT_EQ(children.front(), "Machine Information");
    for (const char* label : {"projects", "srv-alpha", "Payroll Records"}) {
        EXPECT_NE(std::find(children.begin(), children.end(), label), children.end()) << label;
    }
    const std::string text = Dump(*local);
    EXPECT_NE(text.find("(linked-directory \"/srv/shared/projects\")"), std::string::npos);
    // The link file's last line has no line end and is shown whole.
    EXPECT_NE(text.find("\"Sales Team\")"), std::string::npos) << text;
    EXPECT_NE(text.find("(data-directory \""), std::string::npos);
    EXPECT_EQ(local->ChildCount(), children.size()); // the dump put back what it expanded
}

TEST_F(MachineTest, OnlyTheTemplateSearchRunsWhenDatabasesAndDirectoriesAreHidden) {
    UseDataDirectory(DELVEX_SAMPLE_DATA_DIR);
    doc.SetPlaceholdersWanted(false);
    CTypeSet shown = CTypeSet::All();
    shown.Remove(8);
    shown.Remove(9);
    doc.SetShownSet(shown);
    auto* local = Root(new TNLocalMachine());
    control.Expand(local);
    std::vector<int> types;
    for (CTreeListNode* c = local->GetFirstChild(); c; c = c->GetNextSibling()) {
        types.push_back(c->AsTyped()->GetTypeId());
    }
    EXPECT_EQ(types, (std::vector<int>{7, 10}));
}

TEST_F(MachineTest, RemoteDirectoriesShowNoLinkAndUnreadableLinksAreLeftOut) {
    const fs::path dir = fs::temp_directory_path() / ("delvex-dir-" + std::to_string(getpid()));
    fs::create_directories(dir / "linked");
    std::ofstream(dir / "linked.dir") << "target\r\nfirst\n";
    UseDataDirectory(dir.string());
    const std::string local = Dump(*Root(new TNDirectory(nullptr, "linked", {})));
    ExpectParts(local, {"(linked-directory \"target\")", "\"first\")"});
    auto server = std::make_shared<const std::string>("Hub");
    const std::string remote = Dump(*Root(new TNDirectory(server, "linked", {})));
    EXPECT_EQ(remote.find("linked-directory"), std::string::npos) << remote;
    fs::remove(dir / "linked.dir");
    const std::string missing = Dump(*Root(new TNDirectory(nullptr, "linked", {})));
    EXPECT_EQ(missing.find("linked-directory"), std::string::npos) << missing;
    EXPECT_EQ(TNDirectory(nullptr, "a\\b\\c", {}).GetLabel(), "c");
    fs::remove_all(dir);
}

// The user cancels once two entries are listed. The store polls the same cancel check between
// entries as the node does; the listing ends in one cancel node, and the template search that
// would follow does not run.
TEST_F(MachineTest, ACancelledListingEndsInOneCancelNode) {
    const fs::path dir = fs::temp_directory_path() / ("delvex-cancel-" + std::to_string(getpid()));
    fs::create_directories(dir);
    for (const char* name : {"a.vlt", "b.vlt", "c.vlt", "d.vlt", "t.vtf"})
        std::ofstream(dir / name) << "not read here";
    UseDataDirectory(dir.string());
    for (const bool storeAsks : {false, true}) {
        SCOPED_TRACE(storeAsks ? "store polls too" : "only the node asks");
        auto* local = Root(new TNLocalMachine());
        // The information node and two entries.
        const auto pressed = [](void* n) {
            return static_cast<CTreeListNode*>(n)->ChildCount() >= 3;
        };
        CScopedCancelProbe probe(pressed, local);
        if (storeAsks)
            store::SetBreakHook(
                [](void* n) -> int { return static_cast<CTreeListNode*>(n)->ChildCount() >= 3; },
                local);
        control.Expand(local);
        store::SetBreakHook(nullptr, nullptr);
        const auto children = Children(*local);
        ASSERT_EQ(children.size(), 4u) << ::testing::PrintToString(children);
        auto* error = dynamic_cast<TNError*>(local->GetLastChild());
        ASSERT_NE(error, nullptr) << children.back();
        EXPECT_EQ(error->GetStatus(), store::kCancelled);
        control.Collapse(local);
    }
    fs::remove_all(dir);
}

TEST_F(MachineTest, ALinkFileThatIsAPipeIsLeftOutWithoutBlocking) {
    const fs::path dir = fs::temp_directory_path() / ("delvex-pipe-" + std::to_string(getpid()));
    fs::create_directories(dir / "linked");
    ASSERT_EQ(::mkfifo((dir / "linked.dir").c_str(), 0600), 0);
    const std::string dump = testsupport::InBoundedChild(10, [&] {
        store::SessionStart();
        store::SetEnvironmentValue("Directory", dir.c_str());
        return Dump(*Root(new TNDirectory(nullptr, "linked", {})));
    });
    ExpectParts(dump, {"(directory \"linked\""}, {"***", "linked-directory"});
    fs::remove_all(dir);
}

} // namespace
