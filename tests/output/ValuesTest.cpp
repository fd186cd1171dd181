// Numbers, measures with their units, the hex forms, truth values and error texts.
#include <gtest/gtest.h>

#include "WriterTestSupport.h"
#include "output/OutputStrings.h"

namespace {

TEST(Values, HexForms) {
    EXPECT_EQ(StringOf([](CFieldWriter& w) {
                  w.Hex(-1);
                  w.Space();
                  w.Hex2(0xA);
                  w.Space();
                  w.Hex4(0xBC);
                  w.Space();
                  w.Hex8(0xDEF);
                  w.Space();
                  w.HexL(0xABCDEF01u);
                  w.Space();
                  w.Bool(5);
                  w.Space();
                  w.Bool(0);
              }),
              "0xFFFFFFFF 0x0A 0x00BC 0x00000DEF 0xabcdef01 True False");
}

TEST(Values, MeasureUnits) {
    struct Case {
        double value;
        unsigned unit;
        std::string comment;
    };
    const Case cases[] = {
        {0, outstr::kUnitLines, "1.0 lines"},
        {3, outstr::kUnitLines, "2.5 lines"},
        {1440, outstr::kUnitTwips, "twips (1.0000 inches)"},
        {720, outstr::kUnitTwips, "twips (0.5000 inches)"},
        {5, outstr::kUnitBytes, "bytes"},
        {5, outstr::kUnitMilliseconds, "milliseconds"},
        {5, outstr::kUnitMinutesSinceMidnight, "minutes since midnight"},
        {5, outstr::kUnitNone, ""},
    };
    for (const Case& c : cases) {
        const std::string out =
            DumpOf([&](CFieldWriter& w) { w.MeasureField("m", c.value, c.unit); });
        const std::string value = "\n(m " + StoreNumberText(c.value) + ")";
        EXPECT_EQ(out, value + (c.comment.empty() ? "" : "    ; " + c.comment) + "\n") << c.unit;
    }
}

TEST(Values, SizeInTwipsAndPixels) {
    EXPECT_EQ(DumpOf([](CFieldWriter& w) { w.SizeField("size", 1440, 2880, true); }),
              "\n(size \n    (width " + StoreNumberText(1440) +
                  ")    ; twips (1.0000 inches)\n    (height " + StoreNumberText(2880) +
                  "))    ; twips (2.0000 inches)\n");
    EXPECT_EQ(DumpOf([](CFieldWriter& w) { w.SizeField("size", 3, 4, false); }),
              "\n(size \n    (width " + StoreNumberText(3) + ")    ; pixels\n    (height " +
                  StoreNumberText(4) + "))    ; pixels\n");
}

TEST(Values, ErrorTexts) {
    EXPECT_EQ(StringOf([](CFieldWriter& w) { w.Error(0, "Couldn't open %s", "x"); }),
              "\"Couldn't open x\"");
    const std::string withStatus = StatusText(store::kFileNotFound, "Couldn't open");
    EXPECT_EQ(
        DumpOf([](CFieldWriter& w) { w.ErrorField("err", store::kFileNotFound, "Couldn't open"); }),
        "\n(err *" + withStatus + "*)\n");
    CInfoPaneOptions options;
    options.ShowEmptyStrings = 0;
    EXPECT_EQ(DumpOf([](CFieldWriter& w) { w.ErrorField("err", 0, nullptr); }, &options), "\n");
}

TEST(Values, LongPrintfIsNotCut) {
    const std::string word(1000, 'w');
    EXPECT_EQ(StringOf([&](CFieldWriter& w) { w.Printf("<%s>", word.c_str()); }), "<" + word + ">");
}

TEST(Values, StringWriterRunsLabelsAndValuesTogether) {
    EXPECT_EQ(StringOf([](CFieldWriter& w) {
                  w.BeginField("label");
                  w.Printf("value");
                  w.Comment("note");
                  w.EndField();
                  w.EndLine();
              }),
              "labelvaluenote\n");
}

TEST(Values, CommentIdOfAnUnknownStringSaysWhich) {
    EXPECT_EQ(StringOf([](CFieldWriter& w) { w.CommentId(9999); }), "string 9999");
    EXPECT_EQ(StringOf([](CFieldWriter& w) { w.CommentId(outstr::kDateOfCreation); }),
              "(date of creation)");
}

} // namespace
