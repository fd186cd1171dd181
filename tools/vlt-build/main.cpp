// vlt-build: writes a .vlt database file from its JSON description. Record streams given as
// lists of records are encoded by the record tables the viewer decodes them with.
//   vlt-build -o OUT DESC.json
#include <cstdio>
#include <cstring>
#include <string>

#include "records/RecordStreamComposer.h"
#include "vlt/builder/JsonDescription.h"
#include "vlt/builder/Writer.h"

int main(int argc, char** argv) {
    std::string out, in;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-o") == 0 && i + 1 < argc)
            out = argv[++i];
        else if (in.empty() && argv[i][0] != '-')
            in = argv[i];
        else
            in.clear(), out.clear(), i = argc;
    }
    if (out.empty() || in.empty()) {
        std::fprintf(stderr, "usage: vlt-build -o OUT DESC.json\n");
        return 2;
    }
    vlt::builder::DatabaseDesc desc;
    std::string error;
    if (!vlt::builder::LoadDescription(in, &desc, &error, &ComposeRecordStream) ||
        !vlt::builder::WriteDatabase(desc, out, &error)) {
        std::fprintf(stderr, "vlt-build: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
