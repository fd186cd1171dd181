// Store paths: network paths "server!!file", their resolution to files, and names.
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include "store/api/Paths.h"
#include "vlt/Environment.h"
#include "vlt/ServerRegistry.h"
#include "vlt/TextBuffer.h"

namespace vlt {
namespace {

constexpr std::string_view kSeparator = store::kServerSeparator;

// Appends the parts of relative to base; "." is dropped and ".." goes up one part, never above
// base. Both separators count.
store::Status Within(const std::string& base, std::string_view relative, std::string* out) {
    std::vector<std::string_view> parts;
    while (!relative.empty()) {
        const std::size_t sep = relative.find_first_of("/\\");
        const std::string_view part = relative.substr(0, sep);
        relative = sep == std::string_view::npos ? std::string_view() : relative.substr(sep + 1);
        if (part.empty() || part == ".")
            continue;
        if (part == "..") {
            if (parts.empty())
                return store::kBadPath;
            parts.pop_back();
            continue;
        }
        parts.push_back(part);
    }
    std::string result = base == "/" ? std::string() : base;
    for (std::string_view part : parts) {
        result.push_back('/');
        result.append(part);
    }
    *out = result.empty() ? std::string("/") : result;
    return store::kNoError;
}

// Why `file` does not lie in `base` once every symbolic link is followed, or empty when it does:
// a link in a server's folder must not lead out of it. The parts of `file` that do not exist
// yet are taken as written. A loop cannot be followed, so it opens nothing; opening it says so.
// A file that lies in `base` is given back with its links followed, so that what is opened is
// what was checked, never a path that leaves the folder through a link and comes back.
std::string Escapes(const std::string& base, std::string& file, const std::string& server) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path realBase = fs::canonical(base, ec);
    if (ec)
        return "the folder of server " + server + " cannot be followed (" + ec.message() + ")";
    const fs::path realFile = fs::weakly_canonical(file, ec);
    if (ec.value() == ELOOP)
        return {};
    if (ec)
        return "cannot be followed (" + ec.message() + ")";
    auto f = realFile.begin();
    for (auto b = realBase.begin(); b != realBase.end(); ++b, ++f) {
        if (f == realFile.end() || *f != *b)
            return "lies outside the folder of server " + server;
    }
    file = realFile.string();
    return {};
}

} // namespace

store::Status ResolveInFolder(const std::string& base, std::string_view relative,
                              const std::string& server, std::string* file, std::string* why) {
    if (relative.find('\0') != std::string_view::npos)
        return store::kBadPath;
    // A leading separator in the file part still means the server's own directory.
    if (store::Status s = Within(base, relative, file); s != store::kNoError)
        return s;
    if (std::string escape = Escapes(base, *file, server); !escape.empty()) {
        if (why)
            *why = std::move(escape);
        file->clear();
        return store::kBadPath;
    }
    return store::kNoError;
}

store::Status ResolvePath(std::string_view path, std::string* file, std::string* why) {
    if (!file || path.find('\0') != std::string_view::npos)
        return store::kBadPath;
    const std::size_t sep = path.find(kSeparator);
    if (sep != std::string_view::npos && sep > 0) {
        const auto registry = Servers();
        const Server* server = registry->Find(path.substr(0, sep));
        if (!server)
            return store::kServerUnknown;
        std::string base;
        if (store::Status s = server->LocalDirectory(&base); s != store::kNoError)
            return s;
        return ResolveInFolder(base, path.substr(sep + kSeparator.size()), server->Name(), file,
                               why);
    }
    if (sep == 0)
        path.remove_prefix(kSeparator.size());
    if (!path.empty() && path.front() == '/')
        return Within("/", path, file);
    return Within(DataDirectory(), path, file);
}

} // namespace vlt

namespace store {

Status JoinNetPath(const char* server, const char* file, char* buffer, std::size_t size,
                   std::size_t* length) {
    const std::string_view s = server ? server : "";
    const std::string_view f = file ? file : "";
    if (s.empty())
        return vlt::PutText(f, buffer, size, length);
    if (s.find(kServerSeparator) != std::string_view::npos) {
        vlt::PutText("", buffer, size, length);
        return kBadPath;
    }
    std::string joined(s);
    joined.append(kServerSeparator);
    joined.append(f);
    return vlt::PutText(joined, buffer, size, length);
}

Status SplitNetPath(const char* path, std::size_t length, char* server, std::size_t serverSize,
                    char* file, std::size_t fileSize) {
    vlt::PutText("", server, serverSize, nullptr);
    vlt::PutText("", file, fileSize, nullptr);
    if (!path && length > 0)
        return kInvalidArgument;
    std::string_view p(path ? path : "", length);
    if (const std::size_t nul = p.find('\0'); nul != std::string_view::npos)
        p = p.substr(0, nul); // a terminated text shorter than the length given
    const std::size_t sep = p.find(kServerSeparator);
    const std::string_view s =
        sep == std::string_view::npos ? std::string_view() : p.substr(0, sep);
    const std::string_view f = sep == std::string_view::npos ? p : p.substr(sep + 2);
    const Status a = vlt::PutText(s, server, serverSize, nullptr);
    const Status b = vlt::PutText(f, file, fileSize, nullptr);
    return a != kNoError ? a : b;
}

Status NameToDisplay(const char* name, std::size_t length, char* buffer, std::size_t size,
                     std::size_t* resultLength) {
    if (!name && length > 0)
        return kInvalidArgument;
    std::string_view n(name ? name : "", length);
    if (const std::size_t nul = n.find('\0'); nul != std::string_view::npos)
        n = n.substr(0, nul);
    const std::string display = vlt::DisplayName(n);
    if (display.empty() && !n.empty()) {
        vlt::PutText(n, buffer, size, resultLength);
        return kBadName;
    }
    return vlt::PutText(display, buffer, size, resultLength);
}

Status ResolveStorePath(const char* path, std::size_t length, char* buffer, std::size_t size,
                        std::size_t* resultLength) {
    vlt::PutText("", buffer, size, resultLength);
    if (!path && length > 0)
        return kInvalidArgument;
    std::string file;
    if (Status s = vlt::ResolvePath(std::string_view(path ? path : "", length), &file);
        s != kNoError)
        return s;
    return vlt::PutText(file, buffer, size, resultLength);
}

} // namespace store
