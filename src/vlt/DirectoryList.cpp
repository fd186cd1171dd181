#include "vlt/DirectoryList.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "store/api/Database.h"
#include "store/api/Items.h"
#include "store/api/Paths.h"
#include "vlt/ByteWriter.h"
#include "vlt/Environment.h"
#include "vlt/RemoteServer.h"
#include "vlt/Summary.h"
#include "vlt/TimeCodec.h"

namespace vlt {
namespace {

bool EndsWithIgnoreCase(std::string_view s, std::string_view suffix) {
    return s.size() > suffix.size() && EqualsIgnoreCase(s.substr(s.size() - suffix.size()), suffix);
}

std::string TimeValue(const store::TimeDate& t) {
    std::string v;
    PutU16(v, store::kTypeTime);
    PutU32(v, t.w[0]);
    PutU32(v, t.w[1]);
    return v;
}

std::string NumberValue(double d) {
    std::string v;
    PutU16(v, store::kTypeNumber);
    PutF64(v, d);
    return v;
}

// Through a server only what lies inside its folder is opened or measured: an entry may be a
// symbolic link that leads out of it (see ResolvePath).
bool Inside(const OpenDb& dir, const std::string& name) {
    std::string file;
    if (!dir.servedFolder.empty())
        return ResolveInFolder(dir.servedFolder, EntryPathOf(dir.storePath, name), {}, &file) ==
               store::kNoError;
    if (dir.storePath.find(store::kServerSeparator) == std::string::npos)
        return true; // the user's own data directory may link where it likes
    return ResolvePath(dir.storePath + "\\" + name, &file) == store::kNoError;
}

} // namespace

std::string EntryPathOf(std::string_view dirPath, std::string_view name) {
    // On a server, paths are relative to the directory it serves: drop "server!!".
    const std::size_t bang = dirPath.find("!!");
    if (bang != std::string_view::npos)
        dirPath.remove_prefix(bang + 2);
    while (!dirPath.empty() && (dirPath.back() == '\\' || dirPath.back() == '/'))
        dirPath.remove_suffix(1);
    std::string path(dirPath);
    if (!path.empty())
        path += '\\';
    return path.append(name);
}

store::TimeDate StampOfFileTime(std::filesystem::file_time_type t) {
    using namespace std::chrono;
    const auto sys = time_point_cast<milliseconds>(file_clock::to_sys(t));
    const std::int64_t ms = sys.time_since_epoch().count();
    DecodedTime d;
    d.instant = DaysFromCivil(1970, 1, 1) * kHundredthsPerDay + ms / 10;
    return EncodeTime(d).value_or(store::TimeDate{});
}

store::Status SearchDirectory(const OpenDb& dir, std::uint16_t classMask,
                              store::SearchCallback callback, void* context) {
    if (dir.remote)
        return SearchRemoteDirectory(dir, classMask, callback, context);
    namespace fs = std::filesystem;
    std::error_code ec;
    std::vector<fs::directory_entry> entries;
    for (fs::directory_iterator it(dir.fsPath, ec), end; !ec && it != end; it.increment(ec))
        entries.push_back(*it);
    if (ec)
        return store::kFileAccess;
    std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
        return a.path().filename() < b.path().filename();
    });

    std::uint32_t index = 0;
    SummaryBuilder summary;
    for (const fs::directory_entry& e : entries) {
        if (store::Status s = PollBreak(); s != store::kNoError)
            return s;
        const std::string name = e.path().filename().string();
        if (name.empty() || name[0] == '.')
            continue; // hidden files and the builder's temporary files
        const bool isDir = e.is_directory(ec);
        const bool isTemplate = !isDir && EndsWithIgnoreCase(name, store::kTemplateExtension);
        const bool isDatabase = !isDir && EndsWithIgnoreCase(name, store::kDatabaseExtension);
        const bool wanted = (isDir && (classMask & store::kDirSubdirectories)) ||
                            (isDatabase && (classMask & store::kDirDatabases)) ||
                            (isTemplate && (classMask & store::kDirTemplates));
        if (!wanted)
            continue;
        summary.clear();
        summary.addText("$TITLE", name);
        summary.addText("$Path", EntryPathOf(dir.storePath, name));
        summary.addText("$Type", isDir ? "$DIR" : "$NOTEFILE");
        const bool inside = Inside(dir, name);
        const auto mtime = e.last_write_time(ec);
        if (inside && !ec)
            summary.add("$Modified", TimeValue(StampOfFileTime(mtime)));
        if (inside && !isDir) {
            const auto size = e.file_size(ec);
            if (!ec)
                summary.add("$Length", NumberValue(static_cast<double>(size)));
            // A file that does not open is still listed; opening it reports the problem.
            std::shared_ptr<DbFile> file;
            std::string detail;
            if (DbFile::Open(e.path().string(), &file, &detail) == store::kNoError)
                summary.addText("$Info", file->row().info);
        }
        store::SEARCH_MATCH match;
        std::memset(&match, 0, sizeof match);
        ++index;
        std::memcpy(match.identity + 16, &index, 4);
        match.matchFlags = store::kMatchSelected;
        const std::vector<std::uint8_t> bytes = summary.bytes();
        match.summaryLength = static_cast<std::uint16_t>(bytes.size());
        if (store::Status s =
                callback(context, &match, reinterpret_cast<const store::ITEM_TABLE*>(bytes.data()));
            s != store::kNoError)
            return s;
    }
    return store::kNoError;
}

} // namespace vlt
