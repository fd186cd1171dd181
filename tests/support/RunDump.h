// delvex-dump run in this process, with the sample data directory as the store's data
// directory, so that the sample databases are named relative to it (as the golden dumps name
// them).
#pragma once

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "app/DumpCommand.h"

struct DumpRun {
    int status;
    std::string out;
    std::string err;
};

inline DumpRun RunDump(const std::vector<std::string>& args) {
    setenv("DELVEX_DATA_DIR", DELVEX_SAMPLE_DATA_DIR, 1);
    std::ostringstream out, err;
    const int status = dumpcommand::Run(args, out, err, DELVEX_SAMPLE_DATA_DIR);
    unsetenv("DELVEX_DATA_DIR");
    return {status, out.str(), err.str()};
}
