// What every program's command line shares: one --help layout, --version, usage errors that
// name the bad option and show the usage line, and the exit statuses listed in --help.
//
// The options themselves are declared on App() (CLI11); the program then calls Parse, which
// either lets it go on or gives the status to end with. Nothing here throws: CLI11's
// exceptions end inside Parse.
#pragma once

#include <CLI/CLI.hpp>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace commandline {

// The statuses every program shares; a program may list more of its own.
constexpr int kOk = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

struct ExitStatus {
    int code;
    std::string meaning;
};

struct Program {
    std::string name;    // "delvex-dump"
    std::string usage;   // what follows the name on the usage line: "[options] PATH"
    std::string summary; // one sentence: what the program does
    std::vector<ExitStatus> exits;
    std::string notes; // a paragraph after the options (paths, environment); may be empty
};

// "delvex-dump (Delvex) 0.1.0": the first line of --version.
std::string VersionLine(const std::string& name);

// The sample data directory the programs browse when given nothing else: the one installed
// with the program (found from where the program runs, so an unpacked package works in any
// folder), else the one of the build tree. Empty when neither exists.
std::string SampleDataDirectory();

class CCommandLine {
public:
    explicit CCommandLine(Program program);

    // Where the options and arguments are declared. Give each value a type name ("FILE").
    CLI::App& App() { return app_; }

    // args excludes the program name. Returns nothing when the program is to go on; otherwise
    // the status to end with: kOk after --help or --version (written to out), kUsage after a
    // usage error (written to err with the usage line).
    std::optional<int> Parse(const std::vector<std::string>& args, std::ostream& out,
                             std::ostream& err);

    // "Usage: NAME USAGE"
    std::string UsageLine() const;
    // The whole text of --help.
    std::string Help() const;
    // Writes "NAME: message", the usage line and where to find more; returns kUsage.
    int UsageError(const std::string& message, std::ostream& err) const;

private:
    Program program_;
    CLI::App app_;
};

} // namespace commandline
