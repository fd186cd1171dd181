// delvex-dump --find: each criterion finds what the sample databases hold and nothing else,
// the paths printed lead back to the nodes, and a cancel stops the search and says so.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "app/DumpCommand.h"
#include "app/NodeSearch.h"
#include "support/RunDump.h"
#include "tree/Cancel.h"

namespace {

std::vector<std::string> Find(std::vector<std::string> args) {
    args.insert(args.begin(), "--find");
    const DumpRun r = RunDump(args);
    EXPECT_EQ(r.status, 0) << r.err;
    std::vector<std::string> lines;
    std::istringstream in(r.out);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

using Lines = std::vector<std::string>;

TEST(FindCommand, EachCriterionFindsWhatTheSamplesHold) {
    const std::string person = "Documents (2)/Untitled Person/";
    const std::string report = "Documents (1)/Untitled Report/";
    // Both contacts have a phone; the notes' information and the peeked notes are not searched.
    EXPECT_EQ(Find({"--item-name", "phone", "contacts.vlt"}),
              (Lines{person + "Phone", person + "Phone"}));
    EXPECT_EQ(Find({"--item-name", "Full*", "contacts.vlt"}),
              (Lines{person + "FullName", person + "FullName"}));
    EXPECT_EQ(Find({"--item-name", "?hone", "--item-type", "Text", "contacts.vlt"}),
              (Lines{person + "Phone", person + "Phone"}));
    EXPECT_EQ(Find({"--item-type", "textlist", "contacts.vlt"}),
              (Lines{person + "FullName", person + "FullName"}));
    EXPECT_EQ(Find({"--item-type", "0x501", "contacts.vlt"}),
              (Lines{person + "FullName", person + "FullName"}));
    // Only one contact is a Quill, in the second entry of its text list.
    EXPECT_EQ(Find({"--text", "a. QUILL", "contacts.vlt"}), (Lines{person + "FullName"}));
    EXPECT_EQ(Find({"--text", "nobody", "contacts.vlt"}), Lines{});

    // In rich text only text records count: the link comment "Budget" and the linked file
    // "budget.sht" do not.
    EXPECT_EQ(Find({"--text", "budget", "richtext.vlt"}), (Lines{report + "Body"}));
    EXPECT_EQ(Find({"--text", "figures", "richtext.vlt"}),
              (Lines{report + "Body", report + "Subject"}));
    EXPECT_EQ(Find({"--item-name", "Subject", "--text", "figures", "richtext.vlt"}),
              (Lines{report + "Subject"}));

    EXPECT_EQ(Find({"--record-kind", "Text", "--text", "budget", "richtext.vlt"}),
              (Lines{report + "Body/\"Budget\""}));
    EXPECT_EQ(Find({"--record-kind", "winmetaseg", "richtext.vlt"}),
              (Lines{report + "Body/Windows Metafile Segment",
                     report + "Body/Windows Metafile Segment"}));
    EXPECT_EQ(Find({"--record-kind", "0xFF85", "richtext.vlt"}).size(), 6u);
    EXPECT_EQ(Find({"--record-kind", "Text", "--item-name", "$Body", "richtext.vlt"}), Lines{});
    EXPECT_EQ(Find({"--record-kind", "Header", "richtext.vlt"}),
              (Lines{"Design Elements (1)/Report/$Body/Header"}));
}

TEST(FindCommand, PathsLeadBackToTheNodes) {
    const Lines found = Find({"--record-kind", "Text", "--text", "done", "richtext.vlt"});
    ASSERT_EQ(found.size(), 1u);
    const DumpRun r = RunDump({"richtext.vlt", found[0]});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("(record-type Text)"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"Done\""), std::string::npos) << r.out;
}

TEST(FindCommand, UsageErrors) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--find", "contacts.vlt"},
          {"--text", "x", "contacts.vlt"},
          {"--find", "--item-type", "NoSuchType", "contacts.vlt"},
          {"--find", "--list", "--text", "x", "contacts.vlt"}}) {
        const DumpRun r = RunDump(args);
        EXPECT_EQ(r.status, dumpcommand::kUsage) << args[1];
        EXPECT_EQ(r.out, "");
    }
}

TEST(FindCommand, CancelStopsTheSearchAndSaysSo) {
    static int polls = 0;
    polls = 0;
    cancel::SetKeyPoll([] { return ++polls == 10; });
    const DumpRun r = RunDump({"--find", "--item-name", "*"});
    cancel::SetKeyPoll(nullptr);
    cancel::Clear();
    EXPECT_EQ(r.status, dumpcommand::kCancelled);
    const std::string marker = "*** Cancelled ***\n";
    ASSERT_GE(r.out.size(), marker.size());
    EXPECT_EQ(r.out.substr(r.out.size() - marker.size()), marker);
    EXPECT_NE(r.err.find("interrupted"), std::string::npos);
}

TEST(NodeSearch, PatternsTextsAndTypes) {
    using nodesearch::HoldsText;
    using nodesearch::MatchesPattern;
    EXPECT_TRUE(MatchesPattern("*", ""));
    EXPECT_TRUE(MatchesPattern("$*flags", "$FlagsNoRefresh$Flags"));
    EXPECT_FALSE(MatchesPattern("$*flags", "$FlagsNoRefresh"));
    EXPECT_TRUE(MatchesPattern("a?c", "ABC"));
    EXPECT_FALSE(MatchesPattern("a?c", "ac"));
    EXPECT_TRUE(HoldsText("Quarterly Figures", "y fig"));
    EXPECT_FALSE(HoldsText("fig", "figs"));
    std::uint16_t type = 0;
    EXPECT_TRUE(nodesearch::ParseItemType("composite", &type));
    EXPECT_EQ(type, 1);
    EXPECT_TRUE(nodesearch::ParseItemType("1280", &type));
    EXPECT_EQ(type, 0x500);
    EXPECT_FALSE(nodesearch::ParseItemType("70000", &type));
    EXPECT_FALSE(nodesearch::ParseItemType("0x", &type));
}

} // namespace
