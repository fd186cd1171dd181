// delvex-dump: the dump of a database, a server or a directory, as Dump to File writes it.
#include <iostream>
#include <string>
#include <vector>

#include "app/DumpCommand.h"
#include "common/CommandLine.h"
#include "tree/Cancel.h"

int main(int argc, char** argv) {
    cancel::InstallInterruptHandler();
    const std::vector<std::string> args(argv + 1, argv + argc);
    return dumpcommand::Run(args, std::cout, std::cerr, commandline::SampleDataDirectory());
}
