// Dump to File over a tree of fake nodes: the nested text, the collapsed data the dump creates
// and deletes again, cancelling, and a file that cannot be written.
#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "output/DumpWriter.h"
#include "support/CollapsedDump.h"
#include "support/FakeTree.h"
#include "tree/Cancel.h"
#include "tree/DumpToFile.h"
#include "tree/WaitCursor.h"
namespace {

using fake::Desc;

// A node that describes itself by its label, and can request a cancel when it is written.
class Writing : public CNoteNode {
public:
    explicit Writing(Desc desc) : desc_(std::move(desc)) {
        SetTypeId(desc_.type);
        SetLabel(desc_.label);
    }
    bool IsExpandable() const override { return desc_.expandable; }
    void AddChildren() override {
        for (const Desc& child : desc_.children) {
            if (AcceptChild(child.type)) {
                AddChild(new Writing(child));
            }
        }
    }
    void WriteBegin(CFieldWriter& w) override {
        w.BeginField("node");
        w.Text(desc_.label.c_str());
        if (desc_.label == cancelAt) {
            cancel::Request();
        }
    }
    void WriteFields(CFieldWriter& w) override { w.NumberField("type", desc_.type); }
    void WriteEnd(CFieldWriter& w) override { w.EndField(); }

    static inline std::string cancelAt;

private:
    Desc desc_;
};

struct DumpFixture : ::testing::Test {
    fake::Tree tree;
    Writing* root = nullptr;

    void SetUp() override {
        cancel::Clear();
        Writing::cancelAt.clear();
        const Desc d(9, "db",
                     {Desc(13, "info", {}, false),
                      Desc(18, "design", {Desc(19, "form", {Desc(39, "item", {}, false)})}),
                      Desc(32, "docs", {Desc(33, "doc1", {}, false)})});
        root = new Writing(d);
        root->SetDocument(&tree.doc);
        tree.control.AddRoot(root);
    }
    void TearDown() override { cancel::Clear(); }

    std::string Dump(CTreeListNode& start, bool collapsed, DumpResult* out = nullptr) {
        std::ostringstream text;
        CDumpWriter writer(text);
        DumpOptions options;
        options.includeCollapsed = collapsed;
        DumpResult r = WriteSubtree(start, writer, options);
        writer.Close();
        if (out) {
            *out = r;
        }
        return text.str();
    }
};

TEST_F(DumpFixture, CollapsedNodeWithoutCollapsedDataIsOnlyItsOwnElement) {
    const std::string text = Dump(*root, false);
    EXPECT_NE(text.find("\"db\""), std::string::npos);
    EXPECT_EQ(text.find("\"info\""), std::string::npos);
    EXPECT_FALSE(root->HasChildren());
}

TEST_F(DumpFixture, CollapsedDataIsWrittenNestedAndTheTreeLooksAsBefore) {
    tree.control.Expand(root);
    tree.control.Expand(tree.Find("docs"));
    const auto before = tree.Rows();
    DumpResult r;
    const std::string text = Dump(*root, true, &r);
    EXPECT_EQ(tree.Rows(), before); // "docs" stays open, "design" is closed again
    EXPECT_FALSE(r.cancelled);
    EXPECT_EQ(r.nodes, 7u);
    // Children are nested one level deeper than their parent, in tree order.
    for (const char* label : {"db", "info", "design", "form", "item", "docs", "doc1"}) {
        EXPECT_NE(text.find('"' + std::string(label) + '"'), std::string::npos) << label;
    }
    EXPECT_LT(text.find("\"form\""), text.find("\"item\""));
    EXPECT_LT(text.find("\"item\""), text.find("\"docs\""));
    const auto indentOf = [&](const char* label) {
        const auto at = text.find(label);
        const auto line = text.rfind('\n', at);
        return text.find_first_not_of(' ', line + 1) - (line + 1);
    };
    EXPECT_LT(indentOf("\"db\""), indentOf("\"design\""));
    EXPECT_LT(indentOf("\"design\""), indentOf("\"form\""));
    EXPECT_LT(indentOf("\"form\""), indentOf("\"item\""));
}

TEST_F(DumpFixture, SameTextWithCollapsedDataAsWhenExpandedByHand) {
    const std::string automatic = Dump(*root, true);
    tree.control.ExpandAll(root);
    // Expand everything the dump would reach by hand: the default sets stop at the forms.
    for (const char* label : {"design", "form", "docs"}) {
        if (auto* n = tree.Find(label); n && !n->HasChildren()) {
            tree.control.Expand(n);
        }
    }
    EXPECT_EQ(Dump(*root, false), automatic);
}

TEST_F(DumpFixture, CancelWritesTheMarkerStopsAndLeavesTheTreeAsBefore) {
    tree.control.Expand(root);
    const auto before = tree.Rows();
    Writing::cancelAt = "form";
    DumpResult r;
    const std::string text = Dump(*root, true, &r);
    EXPECT_TRUE(r.cancelled);
    EXPECT_NE(text.find("*** Cancelled ***"), std::string::npos);
    EXPECT_EQ(text.find("\"item\""), std::string::npos);
    EXPECT_EQ(text.find("\"docs\""), std::string::npos);
    EXPECT_EQ(tree.Rows(), before);
    // The request stays until the program is idle: the next dump stops at once.
    const std::string again = Dump(*root, false);
    EXPECT_EQ(again.find("\"db\""), std::string::npos);
    EXPECT_NE(again.find("*** Cancelled ***"), std::string::npos);
}

TEST_F(DumpFixture, UnwritableFileIsReportedAndTheTreeIsNotTouched) {
    const std::string path = "/nonexistent-dir/sub/dump.txt";
    const DumpResult r = DumpSubtreeToFile(*root, path, CollapsedDump());
    EXPECT_FALSE(r.written);
    EXPECT_NE(r.error.find(path), std::string::npos);
    EXPECT_FALSE(root->HasChildren());
}

TEST_F(DumpFixture, FileDumpUsesTheDocumentOptionsAndAWaitCursor) {
    struct Display : CWaitCursorDisplay {
        std::vector<bool> seen;
        void SetForcedCursor(bool on) override { seen.push_back(on); }
    } display;
    CWaitCursor::SetDisplay(&display);
    const auto path = std::filesystem::temp_directory_path() /
                      ("delvex-dump-test-" + std::to_string(::getpid()) + ".txt");
    tree.doc.InfoOptions().ShowComments = 0;
    const DumpResult r = DumpSubtreeToFile(*root, path.string(), CollapsedDump());
    CWaitCursor::SetDisplay(nullptr);
    EXPECT_TRUE(r.written) << r.error;
    EXPECT_EQ(display.seen, (std::vector<bool>{true, false}));
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find("\"doc1\""), std::string::npos);
    std::filesystem::remove(path);
}

TEST(Cancel, PollSetsTheRequestWhichStaysUntilCleared) {
    static int polls = 0;
    static bool breakPending = false;
    cancel::Clear();
    cancel::SetKeyPoll([] {
        ++polls;
        return std::exchange(breakPending, false);
    });
    EXPECT_FALSE(cancel::Check()); // Shift or Control alone: the poll finds no Ctrl+Break
    breakPending = true;
    EXPECT_TRUE(cancel::Check());
    const int pollsBefore = polls;
    EXPECT_TRUE(cancel::Check()); // still set, without looking at the input again
    EXPECT_EQ(polls, pollsBefore);
    cancel::Clear();
    EXPECT_FALSE(cancel::Check());
    cancel::SetKeyPoll(nullptr);
}

TEST(Cancel, AnInterruptRequestsACancelInsteadOfEndingTheProgram) {
    cancel::Clear();
    cancel::InstallInterruptHandler();
    std::raise(SIGINT);
    EXPECT_TRUE(cancel::Requested());
    cancel::Clear();
    std::signal(SIGINT, SIG_DFL);
}

TEST(WaitCursor, NestedCursorsRestoreInReverseOrder) {
    struct Display : CWaitCursorDisplay {
        std::vector<std::string> log;
        void SetForcedCursor(bool on) override { log.push_back(on ? "wait" : "normal"); }
        void CaptureMouse(void*) override { log.push_back("capture"); }
        void ReleaseMouse(void*) override { log.push_back("release"); }
    } display;
    CWaitCursor::SetDisplay(&display);
    int window = 0;
    {
        CWaitCursor outer;
        {
            CWaitCursor inner(&window);
            EXPECT_EQ(CWaitCursor::Depth(), 2);
        }
        EXPECT_TRUE(CWaitCursor::Active());
    }
    EXPECT_FALSE(CWaitCursor::Active());
    CWaitCursor::SetDisplay(nullptr);
    EXPECT_EQ(display.log,
              (std::vector<std::string>{"wait", "wait", "capture", "release", "wait", "normal"}));
}

} // namespace
