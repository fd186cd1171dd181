// Text escaping and wrapping at the line width.
#include <gtest/gtest.h>

#include "WriterTestSupport.h"

namespace {

std::string TextOf(const std::string& text, CInfoPaneOptions* options = nullptr, char open = '"',
                   char close = '"') {
    return StringOf(
        [&](CFieldWriter& w) { w.Text(text.data(), std::ptrdiff_t(text.size()), open, close); },
        options);
}

struct TextCase {
    const char* name;
    std::string text;
    std::string expected;
};

TEST(Text, EscapesAndWraps) {
    const std::string a80(80, 'a');
    const std::string a81(81, 'a');
    const TextCase cases[] = {
        {"empty", "", "\"\""},
        {"80 plain characters are one piece", a80, "\"" + a80 + "\""},
        {"the 81st starts an empty piece", a81, "\"" + a81 + "\"\n\"\""},
        {"the 82nd goes into the second piece", a81 + "b", "\"" + a81 + "\"\n\"b\""},
        {"own quote", "say \"hi\"", "\"say \\\"hi\\\"\""},
        {"backslash", "a\\b", "\"a\\\\b\""},
        {"tab, return, zero", std::string("\t\r\0", 3), "\"\\t\\r\\0\""},
        {"high and control bytes", "\xe9\x01\x7f", "\"\\xe9\\x01\\x7f\""},
        {"line feed wraps after it", "ab\ncd", "\"ab\\n\"\n\"cd\""},
        {"trailing line feed leaves an empty piece", "ab\n", "\"ab\\n\"\n\"\""},
    };
    for (const TextCase& c : cases)
        EXPECT_EQ(TextOf(c.text), c.expected) << c.name;
}

// Only the characters written count towards the width: two for "\t", four for "\xe9".
TEST(Text, EscapesCountTheirWidth) {
    std::string tabs, hexes;
    for (int i = 0; i < 40; ++i)
        tabs += "\\t";
    for (int i = 0; i < 20; ++i)
        hexes += "\\xe9";
    EXPECT_EQ(TextOf(std::string(40, '\t')), "\"" + tabs + "\"");
    EXPECT_EQ(TextOf(std::string(41, '\t')), "\"" + tabs + "\\t\"\n\"\"");
    EXPECT_EQ(TextOf(std::string(20, '\xe9')), "\"" + hexes + "\"");
    EXPECT_EQ(TextOf(std::string(21, '\xe9')), "\"" + hexes + "\\xe9\"\n\"\"");
}

TEST(Text, CommentsAreNotBrokenIntoLines) {
    const std::string text(90, 'c');
    EXPECT_EQ(DumpOf([&](CFieldWriter& w) {
                  w.BeginField("f");
                  w.BeginComment();
                  w.Text(text.c_str());
                  w.EndComment();
                  w.EndField();
              }),
              "\n(f )    ; \"" + text + "\"\n");
}

TEST(Text, DisplayHighBitWritesBytesAsTheyAre) {
    CInfoPaneOptions options;
    options.ShowDisplayHighBit = 1;
    EXPECT_EQ(TextOf("\xe9\xff", &options), "\"\xe9\xff\"");
    // Control bytes keep their escapes: written raw, they would break the lines of a dump.
    EXPECT_EQ(TextOf(std::string("\t\0\x01\x7f", 4), &options), "\"\\t\\0\\x01\\x7f\"");
    // Raw bytes count one column each.
    const std::string high(80, '\xe9');
    EXPECT_EQ(TextOf(high, &options), "\"" + high + "\"");
}

TEST(Text, OtherQuotesAreEscapedAndDoubleQuotesAreNot) {
    EXPECT_EQ(TextOf("a>b<c\"", nullptr, '<', '>'), "<a\\>b\\<c\">");
    EXPECT_EQ(TextOf("x*y", nullptr, '*', '*'), "*x\\*y*");
}

TEST(Text, TerminatedAndNullTexts) {
    EXPECT_EQ(StringOf([](CFieldWriter& w) { w.Text("abc"); }), "\"abc\"");
    EXPECT_EQ(StringOf([](CFieldWriter& w) { w.Text(nullptr, 5); }), "\"\"");
    // An explicit length goes past embedded zeros and stops before the rest.
    EXPECT_EQ(StringOf([](CFieldWriter& w) { w.Text("a\0bcd", 3); }), "\"a\\0b\"");
}

TEST(Text, TranslationFromTheStoreCharsetKeepsTheEscapes) {
    CInfoPaneOptions options;
    options.ShowConvertFromKMBCS = 1;
    const std::string text = "plain \"quoted\"";
    char translated[64];
    const std::size_t n = store::TranslateText(store::Translate::FromStore, text.data(),
                                               text.size(), translated, sizeof translated);
    CInfoPaneOptions plain;
    EXPECT_EQ(TextOf(text, &options), TextOf(std::string(translated, n), &plain));
}

} // namespace
