// The info pane's lines and runs: columns, indentation, comment placement and kinds.
#include <gtest/gtest.h>

#include "WriterTestSupport.h"
#include "output/InfoPaneWriter.h"

namespace {

const store::TimeDate kStamp{{0x72608040u, 0x05D08982u}};

// Cells of 10 by 20: gap 10, indent step 30, value column 200, comment column 460.
class InfoPane : public ::testing::Test {
protected:
    CCellMeasure measure{10, 20};
    InfoPaneMetrics metrics = InfoPaneMetrics::Measure(measure);
    CInfoPaneOptions options;

    std::vector<InfoPaneLine> Draw(const Describe& describe, InfoPaneExtent* extent = nullptr) {
        CInfoPaneWriter w(measure, metrics, &options);
        w.Begin();
        describe(w);
        w.End();
        if (extent)
            *extent = w.Extent();
        return w.Lines();
    }
};

struct Run {
    int x;
    RunKind kind;
    std::string text;
};

void ExpectLine(const InfoPaneLine& line, int y, const std::vector<Run>& runs) {
    EXPECT_EQ(line.y, y);
    ASSERT_EQ(line.runs.size(), runs.size()) << "line at " << y;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        EXPECT_EQ(line.runs[i].x, runs[i].x) << "run " << i << " at " << y;
        EXPECT_EQ(line.runs[i].kind, runs[i].kind) << "run " << i << " at " << y;
        EXPECT_EQ(line.runs[i].text, runs[i].text) << "run " << i << " at " << y;
        EXPECT_EQ(line.runs[i].width, int(runs[i].text.size()) * 10);
    }
}

TEST_F(InfoPane, NestedFieldsWithTimeComment) {
    InfoPaneExtent extent;
    const auto lines = Draw(
        [](CFieldWriter& w) {
            w.BeginField("note");
            w.HexLField("note-id", 0x2106);
            w.TimeField("modified", kStamp);
            w.EndField();
        },
        &extent);
    ASSERT_EQ(lines.size(), 3u);
    ExpectLine(lines[0], 3, {{5, RunKind::Label, "note"}});
    ExpectLine(lines[1], 23, {{35, RunKind::Label, "note-id"}, {200, RunKind::Value, "0x2106"}});
    const std::string time = "<" + StoreTimeText(kStamp) + ">";
    const int afterTime = 200 + int(time.size()) * 10;
    const int commentX = std::max(afterTime + 10, 460);
    ExpectLine(lines[2], 43,
               {{35, RunKind::Label, "modified"},
                {200, RunKind::Value, time},
                {commentX, RunKind::Comment, "; "},
                {commentX + 20, RunKind::Comment, RawTime(kStamp)}});
    EXPECT_EQ(extent.width, commentX + 20 + int(RawTime(kStamp).size()) * 10 + 5);
    EXPECT_EQ(extent.height, 43 + 20 + 3);
}

TEST_F(InfoPane, LongLabelPushesTheValueOneGap) {
    const std::string label(25, 'l'); // 250 wide, past the value column
    const auto lines = Draw([&](CFieldWriter& w) { w.HexLField(label, 1); });
    ExpectLine(lines[0], 3, {{5, RunKind::Label, label}, {5 + 250 + 10, RunKind::Value, "0x1"}});
}

TEST_F(InfoPane, HexDumpFieldAndTheFieldAfterIt) {
    const auto lines = Draw([](CFieldWriter& w) {
        w.HexDumpField("remaining-data", "ABC", 3);
        w.HexLField("next", 2);
    });
    // The label, one dump line, and the next field directly below it: no empty line.
    ASSERT_EQ(lines.size(), 3u);
    ExpectLine(lines[0], 3, {{5, RunKind::Label, "remaining-data"}});
    EXPECT_EQ(lines[1].y, 23);
    ASSERT_EQ(lines[1].runs.size(), 3u);
    EXPECT_EQ(lines[1].runs[0].x, 35);
    EXPECT_EQ(lines[1].runs[0].kind, RunKind::HexDump);
    EXPECT_TRUE(lines[1].runs[0].fixedPitch);
    EXPECT_EQ(lines[1].runs[0].text.substr(0, 9), "41 42 43 ");
    EXPECT_EQ(lines[1].runs[1].kind, RunKind::Comment);
    EXPECT_TRUE(lines[1].runs[1].fixedPitch);
    EXPECT_EQ(lines[1].runs[2].text, "000 ABC" + std::string(13, ' '));
    ExpectLine(lines[2], 43, {{5, RunKind::Label, "next"}, {200, RunKind::Value, "0x2"}});
    EXPECT_FALSE(lines[2].runs[1].fixedPitch);
}

TEST_F(InfoPane, ErrorsAreMarked) {
    const auto lines = Draw([](CFieldWriter& w) {
        w.BeginField("f");
        w.Printf("before");
        w.Error(store::kNotImplemented, "Couldn't do it");
        w.EndField();
        w.ErrorField("e", store::kNoError, "Couldn't %s", "again");
    });
    ASSERT_EQ(lines.size(), 2u);
    const std::string message = "\"" + StatusText(store::kNotImplemented, "Couldn't do it") + "\"";
    ExpectLine(lines[0], 3,
               {{5, RunKind::Label, "f"},
                {200, RunKind::Value, "before"},
                {260, RunKind::Error, message}});
    ExpectLine(lines[1], 23, {{5, RunKind::Label, "e"}, {200, RunKind::Error, "*Couldn't again*"}});
}

TEST_F(InfoPane, CommentOnAnEmptyLineStaysAtTheIndent) {
    const auto lines = Draw([](CFieldWriter& w) {
        w.HexLField("a", 1);
        w.EndLine();
        w.Comment("alone");
        w.EndLine();
    });
    ASSERT_EQ(lines.size(), 2u);
    ExpectLine(lines[1], 23, {{5, RunKind::Comment, "; "}, {25, RunKind::Comment, "alone"}});
}

TEST_F(InfoPane, NextValueLineLinesUpAtTheValueColumn) {
    const auto lines = Draw([](CFieldWriter& w) {
        w.BeginField("list");
        w.Printf("one");
        w.NextValueLine();
        w.Printf("two");
        w.NextValueLine();
        w.EndField();
        w.HexLField("after", 1);
    });
    ASSERT_EQ(lines.size(), 3u);
    ExpectLine(lines[1], 23, {{200, RunKind::Value, "two"}});
    // The last NextValueLine moved down a line the next field does not reuse.
    EXPECT_EQ(lines[2].y, 63);
}

TEST_F(InfoPane, EveryLineOfALongDescriptionCanBeScrolledTo) {
    InfoPaneExtent extent;
    const auto lines = Draw(
        [](CFieldWriter& w) {
            for (int i = 0; i < 2000; ++i)
                w.HexLField("f", std::uint32_t(i));
        },
        &extent);
    ASSERT_EQ(lines.size(), 2000u);
    EXPECT_GT(lines.back().y, 32767) << "taller than a 16-bit scroll range";
    EXPECT_EQ(extent.height, lines.back().y + metrics.lineHeight + 3);
}

TEST_F(InfoPane, NumbersArePunctuatedOnlyOnTheDisplay) {
    const auto lines = Draw([](CFieldWriter& w) { w.NumberField("n", 1234567); });
    EXPECT_EQ(lines[0].runs[1].text, StoreNumberText(1234567, true));
}

} // namespace
