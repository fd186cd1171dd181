#include <gtest/gtest.h>

#include "common/IniDocument.h"

namespace {

CIniDocument Parsed(std::string_view text) {
    CIniDocument d;
    d.Parse(text);
    return d;
}

} // namespace

TEST(IniDocument, WritesKeepEveryLineTheyDoNotChange) {
    const std::string before = "stray=before any section\n"
                               "; a comment\n"
                               "[Delvex]\n"
                               "  Placeholders = 0  \n"
                               "this line is not a setting\n"
                               "[Unknown Section]\n"
                               "# its own comment\n"
                               "Key=value\n"
                               "[half open\n"
                               "\n"
                               "[Tree Pane] ; fonts\n"
                               "Font=-13,0,0\n";
    CIniDocument d = Parsed(before);
    EXPECT_EQ(d.Serialize(), before);
    EXPECT_FALSE(d.Get("Delvex", "stray")); // before any header: kept, never read
    EXPECT_EQ(d.Get("Delvex", "Placeholders"), "0");

    ASSERT_TRUE(d.Set("delvex", "placeholders", "1"));
    ASSERT_TRUE(d.Set("DELVEX", "HiddenTypes", "ab"));
    ASSERT_TRUE(d.Set("Splash Screen", "Suppress", "1"));
    EXPECT_TRUE(d.DeleteKey("tree pane", "FONT"));
    EXPECT_EQ(d.Serialize(), "stray=before any section\n"
                             "; a comment\n"
                             "[Delvex]\n"
                             "Placeholders=1\n"
                             "this line is not a setting\n"
                             "HiddenTypes=ab\n"
                             "[Unknown Section]\n"
                             "# its own comment\n"
                             "Key=value\n"
                             "[half open\n"
                             "\n"
                             "[Tree Pane] ; fonts\n"
                             "\n"
                             "[Splash Screen]\n"
                             "Suppress=1\n");
}

TEST(IniDocument, NamesMatchWithoutRegardToCase) {
    // Identifier sections are written with upper-case digits and read with lower-case ones.
    CIniDocument d = Parsed("[0000ABCD:00001234]\nTitle=Mail\n");
    EXPECT_EQ(d.Get("0000abcd:00001234", "title"), "Mail");
    ASSERT_TRUE(d.Set("0000abcd:00001234", "TITLE", "News"));
    EXPECT_EQ(d.Serialize(), "[0000ABCD:00001234]\nTitle=News\n");
    EXPECT_EQ(d.Keys("0000ABCD:00001234"), std::vector<std::string>{"Title"});
}

TEST(IniDocument, RepeatedSectionsReadAsOneAndGoTogether) {
    CIniDocument d = Parsed("[A]\nx=1\n[B]\ny=2\n[a]\nx=3\nz=4\n");
    EXPECT_EQ(d.Get("A", "x"), "1");
    EXPECT_EQ(d.Get("A", "z"), "4");
    EXPECT_EQ(d.Keys("a"), (std::vector<std::string>{"x", "z"}));
    EXPECT_EQ(d.Sections(), (std::vector<std::string>{"A", "B"}));
    EXPECT_TRUE(d.DeleteKey("A", "X")); // a deleted key must not reappear from the second part
    EXPECT_FALSE(d.Get("A", "x"));
    EXPECT_TRUE(d.DeleteSection("a"));
    EXPECT_EQ(d.Serialize(), "[B]\ny=2\n");
    EXPECT_FALSE(d.DeleteSection("a"));
}

TEST(IniDocument, ProblemsNameTheLinesThatAreNeverRead) {
    const CIniDocument d = Parsed("orphan=1\r\n; note\n[S]\n  stray line  \nk=v\n=bare\n");
    EXPECT_EQ(d.Problems(), (std::vector<std::string>{"line 1: orphan=1", "line 4: stray line",
                                                      "line 6: =bare"}));
    EXPECT_TRUE(Parsed("").Problems().empty());
}

TEST(IniDocument, EveryValueSurvivesAWriteAndARead) {
    const std::string values[] = {"",
                                  " leading",
                                  "trailing\t",
                                  "\"quoted\"",
                                  "a;b=c",
                                  "line\nbreak\r",
                                  "back\\slash \"",
                                  std::string("nul\0x", 5),
                                  "\"",
                                  "=",
                                  "1a 2b ",
                                  "#not a comment"};
    for (const std::string& v : values) {
        CIniDocument d;
        ASSERT_TRUE(d.Set("S", "k", v));
        const std::string text = d.Serialize();
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2) << text; // one line per key
        EXPECT_EQ(Parsed(text).Get("S", "k"), v) << text;
    }
    // Hand-written quoted values lose their quotes; unknown escapes stay as written.
    EXPECT_EQ(Parsed("[S]\nk=\"a\\qb\"\n").Get("S", "k"), "a\\qb");
}

TEST(IniDocument, NamesAFileCannotHoldAreRefused) {
    CIniDocument d = Parsed("[S]\nk=v\n");
    const std::pair<std::string, std::string> bad[] = {
        {"", "k"},    {"a]b", "k"}, {" S", "k"}, {"S\n", "k"}, {"S", ""},
        {"S", "a=b"}, {"S", ";k"},  {"S", "[k"}, {"S", "k "},  {"S", "k\r"}};
    for (const auto& [section, key] : bad)
        EXPECT_FALSE(d.Set(section, key, "x")) << section << "/" << key;
    EXPECT_EQ(d.Serialize(), "[S]\nk=v\n");
}

TEST(IniDocument, KeepsLineEndsMarkAndMissingFinalNewline) {
    CIniDocument d = Parsed("\xEF\xBB\xBF[S]\r\nk=v\r\nz=1");
    EXPECT_EQ(d.Get("S", "k"), "v");
    ASSERT_TRUE(d.Set("S", "k", "w"));
    EXPECT_EQ(d.Serialize(), "\xEF\xBB\xBF[S]\r\nk=w\r\nz=1");
    // Each line keeps its own end; new lines take the end of the file's first line.
    d = Parsed("[S]\r\na=1\nb=2\r\n");
    ASSERT_TRUE(d.Set("S", "a", "3"));
    ASSERT_TRUE(d.Set("S", "c", "4"));
    ASSERT_TRUE(d.Set("T", "d", "5"));
    EXPECT_EQ(d.Serialize(), "[S]\r\na=3\nb=2\r\nc=4\r\n\r\n[T]\r\nd=5\r\n");
    d = Parsed("[S]\nk=v\r\n");
    ASSERT_TRUE(d.Set("S", "n", "1"));
    EXPECT_EQ(d.Serialize(), "[S]\nk=v\r\nn=1\n");
}
