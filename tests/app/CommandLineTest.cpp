// The command lines the programs share: usage errors, --help, --version, and delvex-dump's
// --list of a node's children.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <sstream>

#include "app/DumpCommand.h"
#include "common/CommandLine.h"
#include "support/RunDump.h"

namespace {

struct Parsed {
    std::optional<int> end;
    std::string out, err;
    std::string output, file;
    int count = 0;
};

Parsed ParseTool(const std::vector<std::string>& args) {
    Parsed p;
    commandline::CCommandLine line({"tool",
                                    "[options] FILE",
                                    "Does a thing.",
                                    {{0, "done"}, {1, "failed"}, {2, "a usage error"}},
                                    ""});
    line.App().add_option("-o,--output", p.output, "where to write")->type_name("FILE");
    line.App().add_option("--count", p.count, "how many")->type_name("NUMBER");
    line.App().add_option("FILE", p.file, "what to read")->required();
    std::ostringstream out, err;
    p.end = line.Parse(args, out, err);
    p.out = out.str();
    p.err = err.str();
    return p;
}

TEST(CommandLine, UsageErrorsNameTheBadOptionAndShowTheUsageLine) {
    struct Case {
        std::vector<std::string> args;
        const char* message;
    };
    const Case cases[] = {
        {{"--bogus", "in"}, "tool: unknown option --bogus\n"},
        {{"in", "-x"}, "tool: unknown option -x\n"},
        {{"in", "-o"}, "tool: option --output needs a file name\n"},
        {{"--count", "many", "in"}, "--count"},
        {{"in", "more"}, "tool: too many arguments (from \"more\" on)\n"},
        {{}, "tool: FILE is required\n"},
    };
    for (const Case& c : cases) {
        const Parsed p = ParseTool(c.args);
        const std::string what = c.args.empty() ? "(none)" : c.args[0];
        ASSERT_TRUE(p.end.has_value()) << what;
        EXPECT_EQ(*p.end, commandline::kUsage) << what;
        EXPECT_EQ(p.out, "") << what;
        EXPECT_NE(p.err.find(c.message), std::string::npos) << what << "\n" << p.err;
        EXPECT_NE(p.err.find("\nUsage: tool [options] FILE\nTry 'tool --help'"), std::string::npos)
            << what << "\n"
            << p.err;
    }
}

TEST(CommandLine, ValuesInEveryConventionalForm) {
    const Parsed a = ParseTool({"-o", "x.txt", "--count=3", "in"});
    EXPECT_FALSE(a.end.has_value()) << a.err;
    EXPECT_EQ(a.output, "x.txt");
    EXPECT_EQ(a.count, 3);
    EXPECT_EQ(a.file, "in");
    // After "--" an argument that looks like an option is an argument.
    const Parsed b = ParseTool({"--output=y.txt", "--", "-in"});
    EXPECT_FALSE(b.end.has_value()) << b.err;
    EXPECT_EQ(b.output, "y.txt");
    EXPECT_EQ(b.file, "-in");
    // The last of an option given twice counts.
    const Parsed twice = ParseTool({"-o", "first", "in", "--output", "last"});
    EXPECT_FALSE(twice.end.has_value()) << twice.err;
    EXPECT_EQ(twice.output, "last");
    const Parsed c = ParseTool({"--", "in", "-x"});
    ASSERT_TRUE(c.end.has_value());
    EXPECT_NE(c.err.find("too many arguments (from \"-x\" on)"), std::string::npos) << c.err;
}

TEST(CommandLine, HelpAndVersionGoToStandardOutput) {
    // --help wins over the missing FILE: it is what a user asks when unsure of the rest.
    const Parsed help = ParseTool({"--help"});
    ASSERT_TRUE(help.end.has_value());
    EXPECT_EQ(*help.end, commandline::kOk);
    EXPECT_EQ(help.err, "");
    EXPECT_EQ(help.out.rfind("Usage: tool [options] FILE\nDoes a thing.\n", 0), 0u) << help.out;
    EXPECT_NE(help.out.find("\n  -o, --output FILE"), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("\n      --count NUMBER"), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("\n  FILE "), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("\n  -h, --help "), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("\n      --version "), std::string::npos) << help.out;
    const std::string exits = "\nExit status:\n  0    done\n  1    failed\n  2    a usage error\n";
    EXPECT_EQ(help.out.substr(help.out.size() - std::min(help.out.size(), exits.size())), exits);
    EXPECT_EQ(ParseTool({"-h"}).out, help.out);

    const Parsed version = ParseTool({"--version"});
    ASSERT_TRUE(version.end.has_value());
    EXPECT_EQ(*version.end, commandline::kOk);
    // "tool (Delvex) 1.2.3": the name, the package and a version of three numbers.
    const std::string prefix = "tool (Delvex) ";
    ASSERT_EQ(version.out.rfind(prefix, 0), 0u) << version.out;
    const std::string number = version.out.substr(prefix.size());
    EXPECT_EQ(std::count(number.begin(), number.end(), '.'), 2) << number;
    EXPECT_EQ(number.find_first_not_of("0123456789.\n"), std::string::npos) << number;
    EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(number.front()))) << number;
    EXPECT_EQ(number.find(".."), std::string::npos) << number;
    EXPECT_EQ(number.back(), '\n');
    EXPECT_EQ(version.out, commandline::VersionLine("tool") + "\n");
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// --list shows the labels a NODE-PATH is made of, so each listed label leads one step down.
TEST(DumpCommandLine, ListPrintsTheChildrenOfACollapsedNode) {
    const DumpRun db = RunDump({"--list", "discuss.vlt"});
    ASSERT_EQ(db.status, 0) << db.err;
    EXPECT_EQ(db.err, "");
    // A database's children in their fixed order: its recently peeked notes once it has been
    // peeked, information, access list, three note sets.
    std::vector<std::string> lines = Lines(db.out);
    if (!lines.empty() && lines[0] == "Recently Peeked Notes") {
        lines.erase(lines.begin());
    }
    ASSERT_EQ(lines.size(), 5u) << db.out;
    EXPECT_EQ(lines[0], "Database Information");
    EXPECT_EQ(lines[1], "Access Control List");
    EXPECT_EQ(lines[2].rfind("Design Elements (", 0), 0u) << lines[2];
    EXPECT_EQ(lines[3].rfind("Documents (", 0), 0u) << lines[3];
    EXPECT_EQ(lines[4].rfind("Deletion Stubs (", 0), 0u) << lines[4];

    // A set's label counts its notes: the list one level down has that many lines.
    const std::string set = lines[3];
    const std::size_t count = std::stoul(set.substr(set.find('(') + 1));
    const DumpRun notes = RunDump({"--list", "discuss.vlt", set});
    ASSERT_EQ(notes.status, 0) << notes.err;
    EXPECT_EQ(Lines(notes.out).size(), count) << notes.out;
    EXPECT_GT(count, 0u);

    // Without PATH, the machine of the sample data directory; a child found there is a path.
    const DumpRun machine = RunDump({"--list"});
    ASSERT_EQ(machine.status, 0) << machine.err;
    const std::vector<std::string> top = Lines(machine.out);
    ASSERT_FALSE(top.empty());
    EXPECT_EQ(top[0], "Machine Information");
    EXPECT_EQ(RunDump({"--list", "discuss.vlt", "Database Information"}).status, 0);
    const DumpRun missing = RunDump({"--list", "discuss.vlt", "Documents"});
    EXPECT_EQ(missing.status, dumpcommand::kFailed);
    EXPECT_EQ(missing.out, "");
}

} // namespace
