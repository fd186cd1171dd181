// vlt-build: writes a .vlt database file from its JSON description. Record streams given as
// lists of records are encoded by the record tables the viewer decodes them with.
//   vlt-build -o OUT DESCRIPTION.json
#include <iostream>
#include <string>
#include <vector>

#include "common/CommandLine.h"
#include "records/RecordStreamComposer.h"
#include "vlt/builder/Writer.h"

int main(int argc, char** argv) {
    commandline::CCommandLine line({
        "vlt-build",
        "-o OUT.vlt DESCRIPTION.json",
        "Writes a database file from its JSON description.",
        {{commandline::kOk, "written"},
         {commandline::kFailed, "the description is wrong or the file could not be written"},
         {commandline::kUsage, "a usage error"}},
        "The description format is documented in src/vlt/builder/JsonDescription.h of the\n"
        "sources; examples: the sample descriptions (share/delvex/samples of the installation,\n"
        "samples/data of the sources).\n",
    });
    std::string out, in;
    CLI::App& app = line.App();
    app.add_option("-o,--output", out, "the database file to write (replaced if it exists)")
        ->type_name("FILE")
        ->required();
    app.add_option("DESCRIPTION", in, "the JSON description to read")->required();
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (const std::optional<int> end = line.Parse(args, std::cout, std::cerr)) {
        return *end;
    }
    std::string error;
    // Each note goes into the file as it is read: the notes are never all held at once.
    if (!vlt::builder::BuildDatabase(in, out, &error, &ComposeRecordStream)) {
        std::cerr << "vlt-build: " << error << "\n";
        return commandline::kFailed;
    }
    return commandline::kOk;
}
