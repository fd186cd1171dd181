#include <gtest/gtest.h>

#include "app/FontText.h"
#include "common/MemorySettings.h"

namespace {

TEST(FontText, ReadsThirteenNumbersAndTheFace) {
    const auto f = ParseFontText("-13,0,0,0,400,1,0,0,0,1,2,1,34,MS Sans Serif");
    ASSERT_TRUE(f);
    EXPECT_EQ(f->height, -13);
    EXPECT_EQ(f->weight, 400);
    EXPECT_EQ(f->italic, 1);
    EXPECT_EQ(f->pitchAndFamily, 34);
    EXPECT_EQ(f->face, "MS Sans Serif");
    EXPECT_EQ(FormatFontText(*f), "-13,0,0,0,400,1,0,0,0,1,2,1,34,MS Sans Serif");
}

TEST(FontText, EdgeCases) {
    struct Case {
        const char* text;
        bool readable;
        const char* face;
    };
    const Case cases[] = {
        {"-13,0,0,0,400,0,0,0,0,1,2,1,34,Mono", true, "Mono"},
        {"-13,0,0,0,400,0,0,0,0,1,2,1,34,", true, ""},                 // empty face
        {"-13,0,0,0,400,0,0,0,0,1,2,1,34,Ex, Bold", true, "Ex, Bold"}, // comma in the face
        {" 12, 0,0,0,700,0,0,0,0,1,2,1,34,Mono", true, "Mono"},        // blanks before numbers
        {"-13,0,0,0,400,0,0,0,0,1,2,1,Mono", false, ""},               // twelve numbers
        {"-13,0,0,0,400,0,0,0,0,1,2,1,34", false, ""},                 // no comma after 13
        {"", false, ""},
        {"a,b,c", false, ""},
        {"99999999999,0,0,0,400,0,0,0,0,1,2,1,34,Mono", false, ""}, // beyond 32 bits
        {"-13,0,0,0,400,0,0,0,0,1,2,1,70000,Mono", false, ""},      // beyond 16 bits
        {"-13,0,0,0,400,0,0,0,0,1,2,1,34,ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789", true,
         "ABCDEFGHIJKLMNOPQRSTUVWXYZ01234"}, // cut to 31
    };
    for (const Case& c : cases) {
        const auto f = ParseFontText(c.text);
        EXPECT_EQ(f.has_value(), c.readable) << c.text;
        if (f && c.readable) {
            EXPECT_EQ(f->face, c.face) << c.text;
        }
    }
}

TEST(FontText, BytesKeepTheirLowEightBitsAndWriteBackUnsigned) {
    const auto f = ParseFontText("1,2,3,4,5,-1,256,0,0,0,0,0,0,F");
    ASSERT_TRUE(f);
    EXPECT_EQ(f->italic, 255);
    EXPECT_EQ(f->underline, 0);
    const auto again = ParseFontText(FormatFontText(*f));
    ASSERT_TRUE(again);
    EXPECT_EQ(*again, *f);
}

TEST(FontText, TreeFontFallsThroughUnreadableSources) {
    CMemorySettings s;
    EXPECT_EQ(LoadTreeFont(s).face, "MS Sans Serif");
    s.WriteString("TreeView", "TreeFont", "1,0,0,0,400,0,0,0,0,0,0,0,0,Old");
    EXPECT_EQ(LoadTreeFont(s).face, "Old");
    s.WriteString("Delvex", "TreeFont", "1,0,0,0,400,0,0,0,0,0,0,0,Twelve");
    EXPECT_EQ(LoadTreeFont(s).face, "Old");
    s.WriteString("Delvex", "TreeFont", "1,0,0,0,400,0,0,0,0,0,0,0,0,Older");
    EXPECT_EQ(LoadTreeFont(s).face, "Older");
    FontDesc mine = LoadTreeFont(s);
    mine.face = "Mine";
    ASSERT_TRUE(SaveTreeFont(s, mine));
    EXPECT_EQ(LoadTreeFont(s), mine);
}

} // namespace
