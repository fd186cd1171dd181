// delvex-dump --extract and the bytes nodes give: the files hold exactly the stored bytes,
// and labels become safe, unique file names.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/DumpCommand.h"
#include "app/ExtractBytes.h"
#include "support/RunDump.h"

namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(ExtractCommand, FilesHoldTheStoredBytes) {
    const fs::path dir = fs::temp_directory_path() / ("delvex-extract-" + std::to_string(getpid()));
    fs::remove_all(dir);
    const DumpRun run =
        RunDump({"--extract", dir.string(), "richtext.vlt", "Documents (1)/Untitled Report"});
    ASSERT_EQ(run.status, 0) << run.err;
    // A text value: its text, without the type word.
    EXPECT_EQ(Read(dir / "Subject"), "Quarterly figures");
    EXPECT_EQ(Read(dir / "Form"), "Report");
    // A record: its header (signature, length) and its data.
    EXPECT_EQ(Read(dir / "Windows Metafile Segment"),
              std::string("\x9B\x00\x12\x00\x00\x00\x08\x00\x08\x00"
                          "\x01\x00\x09\x00\x00\x03\x0C\x00",
                          18));
    EXPECT_EQ(Read(dir / "Windows Metafile Segment (2)").size(), 18u);
    // A metafile header: the metafile, its two segments' data joined.
    EXPECT_EQ(Read(dir / "Windows Metafile Header"),
              std::string("\x01\x00\x09\x00\x00\x03\x0C\x00\x03\x00\x00\x00\x00\x00\x00\x00", 16));
    // A text record's file: its header, font and text; the label's quotes stay in the name.
    const std::string budget = Read(dir / "\"Budget\"");
    ASSERT_GE(budget.size(), 8u);
    EXPECT_EQ(budget.substr(8), "Budget");
    // A label with ':' and labels that differ only in letter case.
    EXPECT_TRUE(fs::exists(dir / "Style Name_ Heading"));
    EXPECT_TRUE(fs::exists(dir / "Mark Read"));
    EXPECT_TRUE(fs::exists(dir / "Mark read (2)"));
    // Nodes without bytes (the note's information) give no file.
    EXPECT_FALSE(fs::exists(dir / "Note Information"));
    fs::remove_all(dir);
}

TEST(ExtractCommand, UnwritableFolderAndUsage) {
    const DumpRun run = RunDump({"--extract", "/proc/no-such-folder", "contacts.vlt"});
    EXPECT_EQ(run.status, dumpcommand::kFailed);
    EXPECT_NE(run.err.find("/proc/no-such-folder"), std::string::npos) << run.err;
    EXPECT_EQ(RunDump({"--extract", "/tmp/x", "--list", "contacts.vlt"}).status,
              dumpcommand::kUsage);
}

TEST(ExtractBytes, SafeFileNames) {
    using extract::SafeFileName;
    EXPECT_EQ(SafeFileName("a/b\\c:d"), "a_b_c_d");
    EXPECT_EQ(SafeFileName(".."), "_");
    EXPECT_EQ(SafeFileName("."), "_");
    EXPECT_EQ(SafeFileName(""), "_");
    EXPECT_EQ(SafeFileName("../../etc/passwd"), "_.._etc_passwd");
    EXPECT_EQ(SafeFileName(" .x. "), "x");
    EXPECT_EQ(SafeFileName(std::string("a\x01\x7F\nb", 5)), "a___b");
    const std::string longLabel(300, 'x');
    EXPECT_EQ(SafeFileName(longLabel).size(), extract::kMaxNameLength);
    // A cut never splits a character: 'é' is two bytes, cut at an odd length.
    std::string accents;
    for (int i = 0; i < 60; ++i)
        accents += "\xC3\xA9";
    const std::string cut = SafeFileName("x" + accents);
    EXPECT_LE(cut.size(), extract::kMaxNameLength);
    EXPECT_NE(static_cast<unsigned char>(cut.back()), 0xC3);

    std::set<std::string> taken;
    EXPECT_EQ(extract::UniqueFileName("Item", taken), "Item");
    EXPECT_EQ(extract::UniqueFileName("item", taken), "item (2)");
    EXPECT_EQ(extract::UniqueFileName("ITEM", taken), "ITEM (3)");
    EXPECT_EQ(extract::UniqueFileName("a/b", taken), "a_b");
    EXPECT_EQ(extract::UniqueFileName("a:b", taken), "a_b (2)");
    std::set<std::string> longs;
    extract::UniqueFileName(longLabel, longs);
    EXPECT_EQ(extract::UniqueFileName(longLabel, longs).size(), extract::kMaxNameLength);
}

} // namespace
