// The dump tool: exit statuses, messages, node paths, cancelling, and the golden dumps of the
// sample databases.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/DumpCommand.h"
#include "support/RunDump.h"
#include "tree/Cancel.h"

namespace {

namespace fs = std::filesystem;

TEST(DumpCommand, ExitStatusesAndMessages) {
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* inErr; // a text the error stream holds, or null for none
    };
    const std::string badOut = "/nonexistent-dir/out.txt";
    const Case cases[] = {
        {{"--help"}, 0, nullptr},
        {{"--bogus"},
         2,
         "delvex-dump: unknown option --bogus\nUsage: delvex-dump [options] [PATH [NODE-PATH]]\n"
         "Try 'delvex-dump --help' for more information.\n"},
        {{"-o"}, 2, "needs a file name"},
        {{"--hide", "#"}, 2, "unknown type letter"},
        {{"a", "b", "c"}, 2, "too many arguments"},
        {{"missing.vlt"}, 1, "missing.vlt"},
        {{"--settings", "/nonexistent-dir/s.ini", "discuss.vlt"}, 1, "/nonexistent-dir/s.ini"},
        {{"-o", badOut, "discuss.vlt"}, 1, "/nonexistent-dir/out.txt"},
        {{"discuss.vlt", "No Such Node"}, 1, "No Such Node"},
        {{"discuss.vlt"}, 0, nullptr},
        {{"discuss.vlt", "Database Information"}, 0, nullptr},
    };
    for (const Case& c : cases) {
        const DumpRun r = RunDump(c.args);
        const std::string what = c.args.empty() ? "" : c.args[0];
        EXPECT_EQ(r.status, c.status) << what << "\n" << r.err;
        if (c.inErr) {
            EXPECT_NE(r.err.find(c.inErr), std::string::npos) << what << "\n" << r.err;
        } else {
            EXPECT_EQ(r.err, "") << what;
        }
    }
}

// A relative path names a file of the current folder first, then one of the data directory;
// a message names the path as typed.
TEST(DumpCommand, RelativePathsLookInTheCurrentFolderFirst) {
    const fs::path here = fs::temp_directory_path() / ("delvex-cwd-" + std::to_string(getpid()));
    fs::create_directories(here / "sub");
    const fs::path samples = DELVEX_SAMPLE_DATA_DIR;
    fs::copy_file(samples / "richtext.vlt", here / "sub" / "mine.vlt");
    fs::copy_file(samples / "items.vlt", here / "discuss.vlt");
    std::ofstream(here / "bad.vlt") << "not a database";
    const fs::path before = fs::current_path();
    fs::current_path(here);
    const DumpRun mine = RunDump({"sub/mine.vlt"});
    const DumpRun same = RunDump({"discuss.vlt"});
    const DumpRun sample = RunDump({"contacts.vlt"});
    const DumpRun missing = RunDump({"nonexist.vlt"});
    const DumpRun bad = RunDump({"bad.vlt"});
    const DumpRun node = RunDump({"sub/mine.vlt", "No Such Node"});
    fs::current_path(before);
    fs::remove_all(here);

    EXPECT_EQ(mine.status, 0) << mine.err;
    EXPECT_EQ(mine.out.rfind("\n(database \"" + (here / "sub" / "mine.vlt").string() + "\"", 0), 0u)
        << mine.out.substr(0, 200);
    EXPECT_EQ(same.out.rfind("\n(database \"" + (here / "discuss.vlt").string() + "\"", 0), 0u)
        << same.out.substr(0, 200);
    EXPECT_EQ(sample.out.rfind("\n(database \"contacts.vlt\"", 0), 0u) << sample.err;
    const std::string data = fs::absolute(samples).lexically_normal().string();
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err,
              "delvex-dump: nonexist.vlt: no such file (looked in the current folder " +
                  here.string() + " and in the data directory " +
                  data.substr(0, data.find_last_not_of('/') + 1) + ")\n");
    EXPECT_EQ(bad.status, dumpcommand::kFailed);
    EXPECT_EQ(bad.err.rfind("delvex-dump: bad.vlt: ", 0), 0u) << bad.err;
    EXPECT_EQ(node.err, "delvex-dump: sub/mine.vlt: no node \"No Such Node\" on the path \"No "
                        "Such Node\"\n");
}

TEST(DumpCommand, NodePathAndHiddenTypes) {
    const DumpRun info = RunDump({"discuss.vlt", "database information"});
    ASSERT_EQ(info.status, 0) << info.err;
    EXPECT_EQ(info.out.find("(database "), std::string::npos);
    EXPECT_NE(info.out.find("(database-information"), std::string::npos);

    const DumpRun hidden = RunDump({"--include-collapsed", "--hide", "H", "discuss.vlt"});
    ASSERT_EQ(hidden.status, 0) << hidden.err;
    EXPECT_EQ(hidden.out.find("(database-information"), std::string::npos);
    const DumpRun shown =
        RunDump({"--include-collapsed", "--hide", "H", "--show", "H", "discuss.vlt"});
    EXPECT_NE(shown.out.find("(database-information"), std::string::npos);
}

TEST(DumpCommand, OutputFileAndProgress) {
    const fs::path file = fs::temp_directory_path() / ("delvex-dump-" + std::to_string(getpid()));
    const DumpRun r = RunDump({"--progress", "-o", file.string(), "--include-collapsed"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("nodes written\n"), std::string::npos);
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str().rfind("\n(local-machine", 0), 0u) << text.str().substr(0, 80);
    fs::remove(file);
}

TEST(DumpCommand, CancelEndsTheDumpWithTheMarker) {
    static int polls = 0;
    polls = 0;
    cancel::SetKeyPoll([] { return ++polls == 20; });
    const DumpRun r = RunDump({"--include-collapsed"});
    cancel::SetKeyPoll(nullptr);
    cancel::Clear();
    EXPECT_EQ(r.status, dumpcommand::kCancelled);
    EXPECT_NE(r.out.find("*** Cancelled ***"), std::string::npos);
    EXPECT_NE(r.err.find("interrupted"), std::string::npos);
}

// The dump of each sample database with its collapsed data, byte for byte as reviewed. After
// a deliberate change of the output, scripts/update-golden writes these files again.
TEST(DumpCommand, GoldenDumpsOfTheSampleDatabases) {
    const char* names[] = {"NAMES.VLT", "contacts.vlt", "discuss.vlt", "discussion.vtf",
                           "items.vlt", "richtext.vlt", "secure.vlt",  "projects/plans.vlt"};
    for (const char* name : names) {
        std::string golden = name;
        std::replace(golden.begin(), golden.end(), '/', '_');
        const fs::path file = fs::path(DELVEX_TEST_DATA_DIR) / "golden" / (golden + ".txt");
        std::ifstream in(file, std::ios::binary);
        ASSERT_TRUE(in) << "missing " << file << " (run scripts/update-golden)";
        std::stringstream expected;
        expected << in.rdbuf();
        const DumpRun r = RunDump({"--include-collapsed", name});
        ASSERT_EQ(r.status, 0) << name << ": " << r.err;
        EXPECT_TRUE(r.out == expected.str())
            << name << " differs from " << file << " (run scripts/update-golden and review)";
    }
}

} // namespace
