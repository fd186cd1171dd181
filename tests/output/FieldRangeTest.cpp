// Byte ranges of fields: given by decoders from their reader's position, kept with each field
// the info pane lays out, and invisible in the dump text.
#include <gtest/gtest.h>

#include <sstream>

#include "common/ByteReader.h"
#include "output/DumpWriter.h"
#include "output/InfoPaneWriter.h"

namespace {

void Describe(CFieldWriter& w, bool ranges) {
    w.Begin();
    if (ranges)
        w.NextRange(0, 6);
    w.BeginField("outer");
    if (ranges)
        w.NextRange(2, 4);
    w.NumberField("inner", 3);
    w.Comment("a comment");
    w.NumberField("computed", 4);
    w.EndField();
    if (ranges)
        w.NextRange(6, 1); // never taken: the line ends first
    w.EndLine();
    w.NumberField("after", 5);
    w.End();
}

TEST(FieldRanges, TheDumpTextIsTheSameWithOrWithoutThem) {
    std::ostringstream with, without;
    {
        CDumpWriter a(with, nullptr), b(without, nullptr);
        Describe(a, true);
        Describe(b, false);
        a.Close();
        b.Close();
    }
    EXPECT_EQ(with.str(), without.str());
    EXPECT_NE(with.str().find("(inner 3)"), std::string::npos);
}

TEST(FieldRanges, TheInfoPaneKeepsEachFieldsRangeAndNesting) {
    CCellMeasure measure{10, 20};
    CInfoPaneWriter w(measure, InfoPaneMetrics::Measure(measure));
    Describe(w, true);
    const std::vector<InfoPaneField>& f = w.Fields();
    ASSERT_EQ(f.size(), 4u);
    EXPECT_TRUE(f[0].hasRange);
    EXPECT_EQ(f[0].offset, 0u);
    EXPECT_EQ(f[0].length, 6u);
    EXPECT_EQ(f[0].depth, 0);
    EXPECT_TRUE(f[1].hasRange);
    EXPECT_EQ(f[1].offset, 2u);
    EXPECT_EQ(f[1].length, 4u);
    EXPECT_EQ(f[1].parent, 0);
    EXPECT_EQ(f[1].depth, 1);
    EXPECT_FALSE(f[2].hasRange); // computed
    EXPECT_FALSE(f[3].hasRange); // the dropped range is not carried over
    // The outer field's lines hold its children's; each child has a line of its own.
    EXPECT_EQ(f[0].top, f[1].top - 20);
    EXPECT_EQ(f[0].bottom, f[2].bottom);
    EXPECT_EQ(FieldAtY(f, f[1].top + 1), 1);
    EXPECT_EQ(FieldAtY(f, f[0].top + 1), 0);
    EXPECT_EQ(FieldAtY(f, f[3].bottom + 100), -1);
    // The innermost covering field wins; bytes past every range belong to none.
    EXPECT_EQ(FieldAtByte(f, 1), 0);
    EXPECT_EQ(FieldAtByte(f, 3), 1);
    EXPECT_EQ(FieldAtByte(f, 6), -1);
    const std::vector<bool> explained = ExplainedBytes(f, 8);
    EXPECT_EQ(explained, (std::vector<bool>{true, true, true, true, true, true, false, false}));
}

TEST(FieldRanges, AReaderKnowsItsPositionInTheOutermostSpan) {
    const std::uint8_t bytes[12] = {};
    ByteReader r(bytes, sizeof bytes);
    r.u16le();
    ByteReader sub = r.Sub(6);
    EXPECT_EQ(sub.Position(), 2u);
    sub.u32le();
    EXPECT_EQ(sub.Position(), 6u);
    EXPECT_EQ(sub.At(1).Position(), 3u);
    EXPECT_EQ(r.Position(), 8u);
    EXPECT_EQ(r.At(10).Position(), 10u);
    EXPECT_EQ(r.At(10).At(1).Position(), 11u);
}

} // namespace
