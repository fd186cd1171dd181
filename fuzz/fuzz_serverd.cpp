// Fuzzes vlt-serverd's request decoding: the first byte picks the call, the rest is its request
// as it arrives on the wire. Whatever decodes and is not refused must resolve to a file inside
// the served folder.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "vlt/server/StoreServer.h"

namespace {

std::string gFolder;

void MakeFolder() {
    namespace fs = std::filesystem;
    gFolder =
        (fs::temp_directory_path() / ("delvex-fuzz-serverd-" + std::to_string(getpid()))).string();
    fs::create_directories(gFolder + "/sub");
    std::error_code ec;
    fs::create_directory_symlink("/", gFolder + "/root", ec);
    gFolder = fs::canonical(gFolder).string();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (gFolder.empty())
        MakeFolder();
    if (size == 0)
        return 0;
    std::string resolved;
    const std::string why =
        vlt::server::CheckRequest(data[0] % 4, data + 1, size - 1, gFolder, &resolved);
    if (why.empty() && !resolved.empty()) {
        // Inside: the folder itself or a path beneath it, and never through the link out.
        const bool inside = resolved == gFolder || resolved.rfind(gFolder + "/", 0) == 0;
        if (!inside || resolved.rfind(gFolder + "/root/", 0) == 0 || resolved == gFolder + "/root")
            std::abort();
    }
    return 0;
}
