// Fuzzes vlt-build's description reader. The input is the JSON text of a description; what
// reads well (record lists encoded by the record tables) is written as a database file, which the
// engine must then open, and whose notes it must find again.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "records/RecordStreamComposer.h"
#include "store/api/Database.h"
#include "store/api/Search.h"
#include "vlt/builder/JsonDescription.h"
#include "vlt/builder/Writer.h"

namespace {

std::string gDirectory;

// Nesting depth of arrays and objects, strings skipped.
std::size_t Depth(std::string_view text) {
    std::size_t depth = 0, most = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            most = std::max(most, ++depth);
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        }
    }
    return most;
}

store::Status Count(void* context, const store::SEARCH_MATCH*, const store::ITEM_TABLE*) {
    ++*static_cast<std::size_t*>(context);
    return store::kNoError;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char pattern[] = "/tmp/fuzz_description.XXXXXX";
    if (!mkdtemp(pattern))
        std::abort();
    gDirectory = pattern;
    setenv("DELVEX_DATA_DIR", gDirectory.c_str(), 1);
    setenv("DELVEX_STORE_SETTINGS", (gDirectory + "/store.ini").c_str(), 1);
    std::atexit([] {
        std::error_code ec;
        std::filesystem::remove_all(gDirectory, ec);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    // Deep nesting is refused by the reader before it descends (a limit of its own); the
    // recursion itself is not what this target looks at.
    if (Depth(text) > 48)
        return 0;
    vlt::builder::DatabaseDesc desc;
    std::string error;
    if (!vlt::builder::ParseDescription(text, "fuzz.json", &desc, &error, &ComposeRecordStream)) {
        if (error.empty())
            __builtin_trap(); // a refusal always says why
        return 0;
    }
    const std::string path = gDirectory + "/built.vlt";
    std::error_code ec;
    std::filesystem::remove(path, ec);
    if (!vlt::builder::WriteDatabase(desc, path, &error)) {
        if (error.empty())
            __builtin_trap();
        return 0;
    }
    // Whatever the builder writes, the engine opens, with every note in it.
    store::DbHandle db = 0;
    if (store::OpenDatabase(path.c_str(), &db) != store::kNoError)
        __builtin_trap();
    std::size_t found = 0;
    if (store::Search(db, nullptr, 0, store::kSearchStubs, 0xFFFF, nullptr, Count, &found) !=
        store::kNoError)
        __builtin_trap();
    store::CloseDatabase(db);
    std::size_t expected = 0;
    for (const auto& n : desc.notes)
        expected += (n.noteClass & 0x7FFF) != 0 ? 1 : 0;
    if (found != expected)
        __builtin_trap();
    return 0;
}
