// The browsing document: its roots, opening paths, its options and command routing.
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

#include "app/DelvexDoc.h"
#include "app/FrontEnd.h"
#include "app/HeadlessPlatform.h"
#include "common/MemorySettings.h"
#include "output/DocumentNodeOptions.h"
#include "store/TNDatabase.h"
#include "store/TNServer.h"
#include "tree/PlaceholderNode.h"
#include "tree/TNError.h"
#include "treelist/TreeListCore.h"

namespace {

std::vector<std::pair<int, std::string>> RootsOf(const CDelvexDoc& doc) {
    std::vector<std::pair<int, std::string>> out;
    for (std::size_t i = 0; i < doc.RootCount(); ++i) {
        const CDocNode* n = doc.Root(i);
        const bool placeholder = dynamic_cast<const CPlaceholderNode*>(n) != nullptr;
        out.emplace_back(n->GetTypeId(),
                         (placeholder ? "placeholder " : "") + std::string(n->GetLabel()));
    }
    return out;
}

TEST(DelvexDoc, NewDocumentHasFourRootsSubjectToHiddenTypes) {
    struct Case {
        const char* hidden; // [Delvex] HiddenTypes
        int placeholders;
        std::vector<std::pair<int, std::string>> roots;
    };
    const Case cases[] = {
        {"",
         1,
         {{1, "Recently Peeked Databases"},
          {2, "Local"},
          {3, "Recently Peeked Servers"},
          {4, "Servers"}}},
        {"W",
         1,
         {{1, "placeholder (- Hidden Recently Peeked Databases -)"},
          {2, "Local"},
          {3, "Recently Peeked Servers"},
          {4, "Servers"}}},
        {"WLM", 0, {{4, "Servers"}}},
    };
    for (const Case& c : cases) {
        CMemorySettings s;
        s.WriteString("Delvex", "HiddenTypes", c.hidden);
        s.WriteInt("Delvex", "Placeholders", c.placeholders);
        CDelvexDoc doc(&s);
        doc.NewDocument();
        auto roots = RootsOf(doc);
        if (std::string(c.hidden) == "W" && !roots.empty()) {
            // The placeholder's label belongs to the placeholder; check only that it is one.
            EXPECT_EQ(roots[0].first, 1);
            EXPECT_EQ(roots[0].second.rfind("placeholder ", 0), 0u);
            roots[0] = c.roots[0];
        }
        EXPECT_EQ(roots, c.roots) << c.hidden;
        for (std::size_t i = 0; i < doc.RootCount(); ++i) {
            EXPECT_EQ(doc.Root(i)->GetDocument(), &doc);
        }
    }
}

TEST(DelvexDoc, OpenPaths) {
    struct Case {
        std::string path;
        int type; // -1: no root
        std::string title;
    };
    const Case cases[] = {
        {"Hub!!", 5, "Hub"},
        {"Hub!!plans.vlt", 5, "Hub"}, // the file part is ignored
        {"discuss.vlt", 9, "discuss.vlt"},
        {"", -1, ""},
        {std::string(300, 'x') + "!!", 42, "Error"}, // a server part too long to parse
    };
    CMemorySettings s;
    for (const Case& c : cases) {
        CDelvexDoc doc(&s);
        EXPECT_TRUE(doc.OpenDocument(c.path));
        EXPECT_EQ(doc.Title(), c.title) << c.path;
        if (c.type < 0) {
            EXPECT_EQ(doc.RootCount(), 0u);
            continue;
        }
        ASSERT_EQ(doc.RootCount(), 1u) << c.path;
        EXPECT_EQ(doc.Root(0)->GetTypeId(), c.type) << c.path;
        if (c.type == 42) {
            EXPECT_EQ(std::string(doc.Root(0)->GetLabel()).rfind("Couldn't parse xxx", 0), 0u);
        }
    }
    CDelvexDoc doc(&s);
    doc.OpenDocument("discuss.vlt");
    auto* db = dynamic_cast<TNDatabase*>(doc.Root(0));
    ASSERT_NE(db, nullptr);
    EXPECT_EQ(db->GetPath(), "discuss.vlt");
    EXPECT_EQ(db->GetLabel(), "discuss.vlt");
}

TEST(DelvexDoc, AtMostFiveRoots) {
    CMemorySettings s;
    CDelvexDoc doc(&s);
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(doc.AddRoot(new TNServer("S", -1)));
    }
    EXPECT_FALSE(doc.AddRoot(new TNServer("Sixth", -1))); // destroyed, not leaked
    EXPECT_EQ(doc.RootCount(), 5u);
    CHeadlessPlatform platform;
    CTreeListCore control(platform);
    CDocNode* first = doc.TakeRootsInto(control);
    EXPECT_EQ(control.RowCount(), 5);
    EXPECT_EQ(control.GetCurrent(), first);
    EXPECT_EQ(doc.GetCurrentNode(), first);
    EXPECT_EQ(doc.RootCount(), 0u);
}

TEST(DelvexDoc, HiddenRootsComeBackWhenShownAgain) {
    CMemorySettings s;
    CDelvexDoc doc(&s);
    doc.NewDocument();
    CHeadlessPlatform platform;
    CTreeListCore control(platform);
    doc.TakeRootsInto(control);
    auto rows = [&] {
        std::vector<std::string> out;
        for (int r = 0; r < control.RowCount(); ++r)
            out.emplace_back(control.NodeAt(r)->GetLabel());
        return out;
    };
    auto select = [&](int row) {
        control.Select(control.NodeAt(row));
        control.SendSelectionNotifications();
    };
    const std::vector<std::string> all = {"Recently Peeked Databases", "Local",
                                          "Recently Peeked Servers", "Servers"};
    ASSERT_EQ(rows(), all);
    select(1);
    ASSERT_TRUE(doc.RouteCommand(32787)); // Hide All: Local Machine
    EXPECT_EQ(rows(),
              (std::vector<std::string>{"Recently Peeked Databases", "(- Hidden Local Machine -)",
                                        "Recently Peeked Servers", "Servers"}));
    ASSERT_NE(control.GetCurrent(), nullptr);
    EXPECT_EQ(control.GetCurrent()->GetLabel(), "(- Hidden Local Machine -)");
    ASSERT_TRUE(doc.RouteCommand(32793)); // Show All from that placeholder
    EXPECT_EQ(rows(), all);
    EXPECT_EQ(control.GetCurrent()->GetLabel(), "Local");

    // Without placeholders a hidden first root leaves no row; the view commands bring it back.
    ASSERT_TRUE(doc.RouteCommand(32794)); // placeholders off
    EXPECT_FALSE(doc.PlaceholdersWanted());
    select(0);
    ASSERT_TRUE(doc.RouteCommand(32787));
    EXPECT_EQ(rows(), (std::vector<std::string>{"Local", "Recently Peeked Servers", "Servers"}));
    ASSERT_TRUE(doc.RouteCommand(32794)); // placeholders on
    EXPECT_EQ(rows().front(), "(- Hidden Recently Peeked Databases -)");
    ASSERT_TRUE(doc.RouteCommand(32795)); // Hide All: Placeholders
    EXPECT_EQ(rows(), (std::vector<std::string>{"Local", "Recently Peeked Servers", "Servers"}));
    EXPECT_FALSE(doc.PlaceholdersWanted());
    CCmdUI ui;
    ui.id = 32788;
    ASSERT_TRUE(doc.RouteUpdate(ui));
    EXPECT_TRUE(ui.enabled);
    ASSERT_TRUE(doc.RouteCommand(32788)); // Show All Data
    EXPECT_EQ(rows(), all);
    EXPECT_TRUE(doc.AllTypesShown());
    ASSERT_TRUE(doc.RouteUpdate(ui));
    EXPECT_FALSE(ui.enabled);
}

TEST(DelvexDoc, OptionsRoundTrip) {
    CMemorySettings s;
    CDelvexDoc doc(&s);
    EXPECT_TRUE(doc.AllTypesShown());
    CTypeSet shown = CTypeSet::All();
    shown.Remove(19);
    shown.Remove(33);
    doc.SetShownSet(shown);
    doc.SetPlaceholdersWanted(false);
    doc.InfoOptions().ShowComments = 0;
    ASSERT_TRUE(doc.SaveOptions(s));
    EXPECT_EQ(s.GetString("Delvex", "HiddenTypes"), "fq");
    EXPECT_EQ(s.GetInt("Delvex", "Placeholders", -1), 0);

    CDelvexDoc again(&s);
    EXPECT_EQ(again.OwnShownSet(), shown);
    EXPECT_FALSE(again.PlaceholdersWanted());
    EXPECT_TRUE(again.OwnPlaceholderSet().IsEmpty());
    EXPECT_EQ(again.InfoOptions().ShowComments, 0);

    // Nothing hidden is written as an empty value, which reads back as nothing hidden.
    again.SetShownSet(CTypeSet::All());
    ASSERT_TRUE(again.SaveOptions(s));
    EXPECT_EQ(s.GetString("Delvex", "HiddenTypes", "absent"), "");
    EXPECT_TRUE(CDelvexDoc(&s).AllTypesShown());
}

TEST(DelvexDoc, SaveStopsAtTheFirstFailedWrite) {
    CMemorySettings s;
    CDelvexDoc doc(&s);
    s.FailWritesAfter(1);
    EXPECT_FALSE(doc.SaveOptions(s));
    EXPECT_FALSE(s.Read("Delvex", "Placeholders").has_value());
}

struct RecordingFrontEnd : CFrontEnd {
    void ShowMessage(std::string_view title, std::string_view text) override {
        messages.emplace_back(std::string(title) + ": " + std::string(text));
    }
    int AskUser(std::string_view, store::MessageButtons) override { return store::kAnswerOk; }
    std::optional<DumpRequest> AskDumpFile() override { return dump; }
    std::uint32_t EditOptions(CDelvexDoc&) override {
        ++optionsShown;
        return 0x100;
    }
    std::vector<std::string> messages;
    std::optional<DumpRequest> dump;
    int optionsShown = 0;
};

struct ViewDoc : CDelvexDoc {
    using CDelvexDoc::CDelvexDoc;
    void UpdateAllViews(std::uint32_t hint) override { hints.push_back(hint); }
    std::vector<std::uint32_t> hints;
};

TEST(DelvexDoc, CommandsGoToTheDocumentThenToTheCurrentNode) {
    CMemorySettings s;
    RecordingFrontEnd fe;
    ViewDoc doc(&s, &fe);
    doc.OpenDocument(std::string(300, 'x') + "!!");
    CHeadlessPlatform platform;
    CTreeListCore control(platform);
    doc.TakeRootsInto(control);
    EXPECT_TRUE(doc.RouteCommand(CDelvexDoc::kCmdOptions));
    EXPECT_EQ(fe.optionsShown, 1);
    ASSERT_FALSE(doc.hints.empty());
    EXPECT_EQ(doc.hints.back(), 0x100u);
    // Dump to File reaches the current node, whose command asks the document.
    fe.dump = DumpRequest{"/nonexistent-dir/x/dump.txt", false};
    EXPECT_TRUE(doc.RouteCommand(32769));
    ASSERT_EQ(fe.messages.size(), 1u);
    EXPECT_NE(fe.messages[0].find("/nonexistent-dir/x/dump.txt"), std::string::npos);
    EXPECT_EQ(fe.messages[0].rfind("Error: ", 0), 0u);
    EXPECT_FALSE(doc.IsModified());
    // The dialog's format reaches the file.
    const std::string json =
        ::testing::TempDir() + "/doc-dump-" + std::to_string(getpid()) + ".json";
    fe.dump = DumpRequest{json, false, DumpFormat::Json};
    EXPECT_TRUE(doc.RouteCommand(32769));
    EXPECT_EQ(fe.messages.size(), 1u);
    std::ifstream in(json);
    std::string first;
    std::getline(in, first);
    EXPECT_EQ(first.rfind("{\"label\":", 0), 0u) << first;
}

} // namespace
