// The dump file layout, byte for byte.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "WriterTestSupport.h"

namespace {

const store::TimeDate kStamp{{0x72608040u, 0x05D08982u}};

// The options a case runs under: comments, uninterpreted bytes, spare bytes, empty strings.
CInfoPaneOptions Options(int comments, int uninterpreted, int spare, int emptyStrings) {
    CInfoPaneOptions o;
    o.ShowComments = comments;
    o.ShowUninterpreted = uninterpreted;
    o.ShowSpareBytes = spare;
    o.ShowEmptyStrings = emptyStrings;
    return o;
}

TEST(DumpLayout, FieldsCommentsHexDumpsAndTextsUnderTheOptions) {
    const CInfoPaneOptions plain = Options(1, 1, 0, 1);
    const char bytes[] = "ABCDEFGH\x01IJKLMN~\xff";
    const std::string text81(81, 'a');
    const struct {
        const char* name;
        Describe write;
        std::string expected;
        CInfoPaneOptions options;
    } cases[] = {
        {"nested fields with a time comment",
         [](CFieldWriter& w) {
             w.BeginField("note");
             w.HexLField("note-id", 0x2106);
             w.TimeField("modified", kStamp);
             w.EndField();
         },
         "\n(note \n    (note-id 0x2106)\n    (modified <" + StoreTimeText(kStamp) + ">))    ; " +
             RawTime(kStamp) + "\n",
         plain},
        {"a comment follows all closing parentheses",
         [](CFieldWriter& w) {
             w.BeginField("a");
             w.BeginField("b");
             w.BeginField("c");
             w.Printf("1");
             w.Comment("first");
             w.Comment("second %d", 2);
             w.EndField();
             w.EndField();
             w.EndField();
             w.BeginField("d");
             w.EndField();
         },
         "\n(a \n    (b \n        (c 1)))    ; first second 2\n(d )\n", plain},
        {"comments off leave the text around unchanged",
         [](CFieldWriter& w) {
             w.BeginField("v");
             w.Printf("x");
             w.Comment("gone");
             w.Printf("y");
             w.EndField();
         },
         "\n(v xy)\n", Options(0, 1, 0, 1)},
        {"a nested comment continues the open one",
         [](CFieldWriter& w) {
             w.BeginField("v");
             w.BeginComment();
             w.Printf("outer");
             w.Comment("inner");
             w.Printf(" tail");
             w.EndComment();
             w.EndField();
         },
         "\n(v )    ; outer inner tail\n", plain},
        {"empty output is one line end", [](CFieldWriter&) {}, "\n", plain},
        {"hex dump lines start below the label",
         [&](CFieldWriter& w) {
             w.BeginField("rec");
             w.HexDumpField("remaining-data", bytes, 17);
             w.EndField();
         },
         "\n(rec \n    (remaining-data \n        41 42 43 44 45 46 47 48.01 49 4A 4B 4C 4D 4E 7E "
         "    ; 000 ABCDEFGH.IJKLMN~\n        FF " +
             std::string(45, ' ') + "    ; 001 ." + std::string(15, ' ') + "\n        ))\n",
         plain},
        {"a hex dump of nothing writes no line",
         [](CFieldWriter& w) { w.HexDumpField("remaining-data", "", 0); },
         "\n(remaining-data \n    )\n", plain},
        {"uninterpreted off drops hex dumps and spare bytes whole",
         [](CFieldWriter& w) {
             w.HexDumpField("remaining-data", "abc", 3);
             w.SpareField("spare", "abc", 3);
             w.HexDump("abc", 3);
         },
         "\n", Options(1, 0, 1, 1)},
        {"spare bytes hidden", [](CFieldWriter& w) { w.SpareField("spare", "\0\0", 2); }, "\n",
         plain},
        {"spare bytes asked for", [](CFieldWriter& w) { w.SpareField("spare", "\0\0", 2); },
         "\n(spare \n    00 00 " + std::string(42, ' ') + "    ; 000 .." + std::string(14, ' ') +
             "\n    )\n",
         Options(1, 1, 1, 1)},
        {"wrapped text continues at the indent",
         [&](CFieldWriter& w) {
             w.BeginField("outer");
             w.TextField("text", text81.c_str());
             w.EndField();
         },
         "\n(outer \n    (text \"" + text81 + "\"\n        \"\"))\n", plain},
        {"empty strings off",
         [](CFieldWriter& w) {
             w.TextField("empty", "");
             w.TextField("counted", "abc", 0);
             w.FormulaField("formula", nullptr, 0);
             w.TextField("kept", "x");
         },
         "\n(kept \"x\")\n", Options(1, 1, 0, 0)},
        {"empty strings on",
         [](CFieldWriter& w) {
             w.TextField("empty", "");
             w.FormulaField("formula", nullptr, 0);
         },
         "\n(empty \"\")\n(formula {})\n", plain},
    };
    for (const auto& c : cases) {
        CInfoPaneOptions options = c.options;
        EXPECT_EQ(DumpOf(c.write, &options), c.expected) << c.name;
    }
}

TEST(DumpLayout, BeginDiscardsAnUnbalancedComment) {
    std::ostringstream out;
    CDumpWriter w(out);
    w.Begin();
    w.BeginComment();
    w.Printf("left open");
    w.Begin();
    w.BeginField("f");
    w.Printf("1");
    w.EndField();
    w.End();
    w.Close();
    EXPECT_EQ(out.str(), "\n(f 1)\n");
}

TEST(DumpLayout, HexDumpLinesCoverExactlyTheBytes) {
    std::uint8_t full[33];
    for (std::size_t i = 0; i < sizeof full; ++i)
        full[i] = std::uint8_t('a' + i);
    for (std::size_t n = 0; n <= sizeof full; ++n) {
        const ExactBytes bytes(full, n);
        const std::string out = StringOf([&](CFieldWriter& w) { w.HexDump(bytes.data(), n); });
        // One line of 48 columns, a 3-digit line number, a blank and 16 characters.
        EXPECT_EQ(out.size(), (n + 15) / 16 * (48 + 4 + 16 + 1)) << n;
    }
}

// Every line of a long dump, made here byte by byte: row numbers past three digits, every byte
// value, a last row cut short, with comments and without, nested two fields deep.
TEST(DumpLayout, LongHexDumpsKeepTheLineFormatToTheEnd) {
    std::vector<std::uint8_t> bytes(0x1000 * 16 + 5);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = std::uint8_t(i * 37 + i / 256);
    for (const int comments : {1, 0}) {
        CInfoPaneOptions options;
        options.ShowComments = comments;
        const std::string out = DumpOf(
            [&](CFieldWriter& w) {
                w.BeginField("item");
                w.HexDumpField("data", bytes.data(), bytes.size());
                w.EndField();
            },
            &options);
        std::string expected = "\n(item \n    (data \n";
        for (std::size_t row = 0; row * 16 < bytes.size(); ++row) {
            std::string hex, shown;
            for (std::size_t i = 0; i < 16; ++i) {
                const std::size_t at = row * 16 + i;
                char cell[4] = "   ";
                if (at < bytes.size())
                    std::snprintf(cell, sizeof cell, "%02X%c", bytes[at], i == 7 ? '.' : ' ');
                hex += cell;
                const int b = at < bytes.size() ? bytes[at] : ' ';
                shown += (b >= 32 && b <= 126) ? char(b) : '.';
            }
            char number[32];
            std::snprintf(number, sizeof number, "%03zx ", row);
            expected +=
                "        " + hex + (comments ? "    ; " + std::string(number) + shown : "") + "\n";
        }
        expected += "        ))\n";
        ASSERT_EQ(out.size(), expected.size()) << comments;
        EXPECT_TRUE(out == expected) << comments;
    }
}

// The file forms: created and replaced, and every failure named with the file.
class DumpFile : public ::testing::Test {
protected:
    // One folder per process and test: ctest runs the tests of this file side by side, and one
    // test's TearDown must not remove the folder another is writing into.
    std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                ("delvex_dump_" + std::to_string(::getpid()) + "_" +
                                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
    void SetUp() override { std::filesystem::create_directories(dir); }
    void TearDown() override { std::filesystem::remove_all(dir); }
    static std::string Read(const std::filesystem::path& p) {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
};

TEST_F(DumpFile, ReplacesTheFileContent) {
    const auto path = dir / "out.txt";
    std::ofstream(path) << "old content that is longer than the new";
    {
        CDumpWriter w(path.string());
        w.Begin();
        w.HexLField("id", 0xAB);
        w.End();
        EXPECT_TRUE(w.Close());
        EXPECT_FALSE(w.Failed());
        EXPECT_EQ(w.ErrorText(), "");
    }
    EXPECT_EQ(Read(path), "\n(id 0xab)\n");
}

TEST_F(DumpFile, CreateAndWriteFailuresNameTheFile) {
    const std::string missing = (dir / "missing" / "out.txt").string();
    const std::pair<std::string, std::string> cases[] = {
        {missing, "Couldn't create dump file " + missing},
        {"/dev/full", "Couldn't write to dump file /dev/full"}, // a device that refuses writes
    };
    for (const auto& [path, message] : cases) {
        if (path == "/dev/full" && !std::filesystem::exists(path))
            continue;
        CDumpWriter w(path);
        w.Begin();
        w.Printf("x");
        w.End();
        EXPECT_FALSE(w.Close()) << path;
        EXPECT_TRUE(w.Failed()) << path;
        EXPECT_NE(w.ErrorText().find(message), std::string::npos) << w.ErrorText();
    }
}

TEST(DumpStream, FailedStreamIsReported) {
    std::ostringstream out;
    out.setstate(std::ios::badbit);
    CDumpWriter w(out);
    w.Begin();
    w.Printf("x");
    w.End();
    EXPECT_FALSE(w.Close());
    EXPECT_TRUE(w.Failed());
}

} // namespace
