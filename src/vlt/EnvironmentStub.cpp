// Minimal path resolution for local paths only, until the environment family exists.
#include <cstdlib>

#include "vlt/Environment.h"

namespace vlt {

std::string DataDirectory() {
    const char* dir = std::getenv("DELVEX_DATA_DIR");
    return dir && *dir ? std::string(dir) : std::string(".");
}

store::Status ResolvePath(std::string_view path, std::string* file) {
    if (!file || path.empty())
        return store::kBadPath;
    if (path.find("!!") != std::string_view::npos)
        return store::kServerUnknown;
    std::string p(path);
    for (char& c : p)
        if (c == '\\')
            c = '/';
    *file = p.front() == '/' ? p : DataDirectory() + "/" + p;
    return store::kNoError;
}

store::Status PollBreak() {
    return store::kNoError;
}

} // namespace vlt
