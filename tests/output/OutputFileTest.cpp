// The output file under loads of many blocks: everything arrives, in order, and a failure to
// write is reported whichever block it struck.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "output/OutputFile.h"

namespace {

std::string ReadFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Numbered lines of varied lengths through both ways of appending, one text far longer than a
// block among them; returns what was appended.
std::string AppendMany(COutputFile& out, int first, int count) {
    std::string expected;
    for (int i = first; i < first + count; ++i) {
        std::string line = "line " + std::to_string(i) + std::string(std::size_t(i % 97), '.');
        if (i % 50000 == 7)
            line += std::string(3 * COutputFile::kBlock, char('a' + i % 26));
        line += '\n';
        expected += line;
        if (i % 2) {
            out.Append(line);
        } else {
            out.Buffer() += line;
            out.Appended();
        }
    }
    return expected;
}

class OutputFileTest : public ::testing::Test {
protected:
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() /
        ("delvex_output_" + std::to_string(::getpid()) + "_" +
         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    void SetUp() override { std::filesystem::create_directories(dir); }
    void TearDown() override { std::filesystem::remove_all(dir); }
};

TEST_F(OutputFileTest, ManyBlocksArriveWholeAndInOrder) {
    const auto path = dir / "big.txt";
    std::string expected;
    {
        COutputFile out(path.string());
        expected = AppendMany(out, 0, 200000);
        ASSERT_TRUE(out.Close());
        EXPECT_EQ(out.ErrorText(), "");
    }
    ASSERT_GT(expected.size(), 8 * COutputFile::kBlock);
    EXPECT_TRUE(ReadFile(path) == expected) << "the file differs from what was appended";
}

TEST_F(OutputFileTest, DestructionWritesWhatWasLeft) {
    const auto path = dir / "left.txt";
    std::string expected;
    {
        COutputFile out(path.string());
        expected = AppendMany(out, 0, 100000);
    }
    EXPECT_TRUE(ReadFile(path) == expected) << "the file differs from what was appended";
}

TEST_F(OutputFileTest, CallersFileTakesTurnsAfterFlush) {
    const auto path = dir / "shared.txt";
    std::FILE* file = std::fopen(path.string().c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::string expected;
    {
        COutputFile out(file);
        expected = AppendMany(out, 0, 60000);
        ASSERT_TRUE(out.Flush());
        // Once Flush returns, all of it is in the file before what the caller writes next.
        const char* own = "the caller's own line\n";
        std::fputs(own, file);
        expected += own;
        expected += AppendMany(out, 60000, 60000);
        ASSERT_TRUE(out.Close());
    }
    std::fputs("after the output closed\n", file);
    expected += "after the output closed\n";
    ASSERT_EQ(std::fclose(file), 0);
    EXPECT_TRUE(ReadFile(path) == expected) << "the file differs from what was written";
}

TEST_F(OutputFileTest, StreamGetsEverythingInOrder) {
    std::ostringstream stream;
    std::string expected;
    {
        COutputFile out(stream);
        expected = AppendMany(out, 0, 30000);
        ASSERT_TRUE(out.Flush());
        stream << "between\n";
        expected += "between\n";
        expected += AppendMany(out, 30000, 30000);
        ASSERT_TRUE(out.Close());
    }
    EXPECT_TRUE(stream.str() == expected);
}

// Standard output pointed at a file for the length of one test.
class StdoutInto {
public:
    explicit StdoutInto(const std::string& path) {
        std::cout.flush();
        std::fflush(stdout);
        saved_ = ::dup(1);
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(fd, 1);
        ::close(fd);
    }
    ~StdoutInto() {
        std::fflush(stdout);
        ::dup2(saved_, 1);
        ::close(saved_);
        std::cout.clear();
    }

private:
    int saved_ = -1;
};

TEST_F(OutputFileTest, StandardOutputTakesTurnsAfterFlush) {
    const auto path = dir / "stdout.txt";
    std::string expected;
    bool closed = false;
    {
        StdoutInto redirect(path.string());
        COutputFile out(std::cout);
        expected = AppendMany(out, 0, 60000);
        out.Flush();
        std::cout << "between\n";
        expected += "between\n";
        expected += AppendMany(out, 60000, 60000);
        closed = out.Close();
    }
    EXPECT_TRUE(closed);
    EXPECT_TRUE(ReadFile(path) == expected) << "standard output differs from what was written";
}

TEST(OutputFileFailure, FullStandardOutputIsReported) {
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no device that refuses writes";
    bool closed = true, bad = false;
    std::string error;
    {
        StdoutInto redirect("/dev/full");
        COutputFile out(std::cout);
        AppendMany(out, 0, 100000);
        closed = out.Close();
        bad = std::cout.bad();
        error = out.ErrorText();
    }
    EXPECT_FALSE(closed);
    EXPECT_TRUE(bad) << "the stream should show the failure too";
    EXPECT_EQ(error, "Couldn't write to dump file (stream)");
}

TEST(OutputFileFailure, FullDeviceIsReportedWhicheverBlockFails) {
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no device that refuses writes";
    const std::string why = std::string(": ") + std::strerror(ENOSPC);
    {
        COutputFile out(std::string("/dev/full"));
        AppendMany(out, 0, 100000);
        // The failure is known once Flush has waited for the blocks already passed on.
        EXPECT_FALSE(out.Flush());
        EXPECT_TRUE(out.Failed());
        AppendMany(out, 0, 1000); // dropped, without harm
        EXPECT_FALSE(out.Close());
        EXPECT_FALSE(out.Close());
        EXPECT_EQ(out.ErrorText(), "Couldn't write to dump file /dev/full" + why);
    }
    {
        // Only a few bytes: they fail when the file is closed.
        COutputFile out(std::string("/dev/full"));
        out.Append("x\n");
        EXPECT_FALSE(out.Close());
        EXPECT_EQ(out.ErrorText(), "Couldn't write to dump file /dev/full" + why);
    }
}

} // namespace
