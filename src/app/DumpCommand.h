// The dump tool's work, callable from tests: opens a database, a server or a directory, finds a
// node by its path of labels and writes what Dump to File writes, or with --list the labels of
// the node's children.
//
//   delvex-dump [options] [PATH [NODE-PATH]]
//
// Exit statuses: 0 written; 1 a failure (named on the error stream); 2 a usage error;
// 130 cancelled (the output ends in "*** Cancelled ***").
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace dumpcommand {

constexpr int kOk = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;
constexpr int kCancelled = 130;

// args excludes the program name. Output goes to -o FILE or to out; messages to err. Without
// PATH the machine of defaultDirectory is dumped.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
        const std::string& defaultDirectory);

} // namespace dumpcommand
