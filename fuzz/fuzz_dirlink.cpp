// Fuzzes the directory link file reader: the input is the content of "<directory>.dir" in the
// data directory. What the reader gives must be the file's lines (line ends dropped, each cut
// to its longest), and the directory node must describe itself with it.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "output/DumpWriter.h"
#include "store/TNDirectory.h"
#include "store/api/Session.h"

namespace {

std::string gDirectory;

constexpr std::size_t kMaxLine = 299;

// The lines of a link file as the reader is meant to give them.
std::vector<std::string> Lines(std::string_view text) {
    std::vector<std::string> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string line(text.substr(0, end));
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        line.resize(std::min(line.size(), kMaxLine));
        lines.push_back(std::move(line));
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char pattern[] = "/tmp/fuzz_dirlink.XXXXXX";
    if (!mkdtemp(pattern))
        std::abort();
    gDirectory = pattern;
    setenv("DELVEX_STORE_SETTINGS", (gDirectory + "/store.ini").c_str(), 1);
    setenv("DELVEX_DATA_DIR", gDirectory.c_str(), 1);
    std::filesystem::create_directory(gDirectory + "/linked");
    std::atexit([] {
        std::error_code ec;
        std::filesystem::remove_all(gDirectory, ec);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::ofstream(gDirectory + "/linked.dir", std::ios::binary | std::ios::trunc)
        .write(text.data(), std::streamsize(text.size()));

    const std::vector<std::string> lines = Lines(text);
    const auto link = ReadDirectoryLink("linked");
    if (lines.empty() != !link)
        __builtin_trap();
    if (link) {
        if (link->target != lines[0] || link->allowed.size() + 1 != lines.size())
            __builtin_trap();
        for (std::size_t i = 0; i < link->allowed.size(); ++i)
            if (link->allowed[i] != lines[i + 1])
                __builtin_trap();
    }

    TNDirectory node(nullptr, "linked", {});
    std::ostringstream out;
    CDumpWriter writer(out);
    writer.Begin();
    node.WriteBegin(writer);
    node.WriteFields(writer);
    node.WriteEnd(writer);
    writer.End();
    return 0;
}
