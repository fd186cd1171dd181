// The session: the loaded settings, the data directory, the named servers and the hooks.
//
// The loaded part is an immutable snapshot behind a shared pointer; changing a setting builds a
// new snapshot, so readers never see one half-changed.
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>
#include <vector>

#include "common/IniDocument.h"
#include "common/PlainFile.h"
#include "store/api/Session.h"
#include "vlt/Environment.h"
#include "vlt/ServerRegistry.h"
#include "vlt/TextBuffer.h"

namespace vlt {
namespace {

constexpr char kEnvironmentSection[] = "Environment";
constexpr char kDirectoryKey[] = "Directory";
constexpr char kServersFile[] = "servers.ini";
// Far more than any settings file holds; a larger one is not read.
constexpr std::size_t kMaxSettingsBytes = 16 * 1024 * 1024;

struct Snapshot {
    std::string dataDirectory;
    CIniDocument settings;
    std::map<std::string, std::string> values; // set during the session, keys in lower case
    std::shared_ptr<const ServerRegistry> servers;
    std::vector<std::string> notes; // what could not be read, each naming its file
};

struct Session {
    std::mutex mutex;
    bool started = false;
    std::shared_ptr<const Snapshot> snapshot;
    store::MessageHook messageHook = nullptr;
    void* messageContext = nullptr;
    store::BreakHook breakHook = nullptr;
    void* breakContext = nullptr;
};

Session& session() {
    static Session s;
    return s;
}

// A missing file reads as an empty one; so does one that cannot be read, which is noted.
void LoadIni(const std::string& path, CIniDocument* doc, std::vector<std::string>* notes) {
    std::string text;
    const int err = ReadPlainFile(path, &text, kMaxSettingsBytes);
    if (err != 0 && err != ENOENT && err != ENOTDIR)
        notes->push_back(path + ": " + PlainFileError(err));
    doc->Parse(text);
}

std::string Lowered(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return out;
}

std::string EnvOr(const char* name, const std::string& fallback) {
    const char* v = std::getenv(name);
    return v && *v ? std::string(v) : fallback;
}

std::string SettingsFile() {
    const std::string explicitFile = EnvOr("DELVEX_STORE_SETTINGS", "");
    if (!explicitFile.empty())
        return explicitFile;
    const std::string home = EnvOr("HOME", "");
    const std::string config = EnvOr("XDG_CONFIG_HOME", home.empty() ? "" : home + "/.config");
    return config.empty() ? std::string() : config + "/delvex/store.ini";
}

// An absolute, lexically normal path without a trailing separator.
std::string Absolute(const std::string& path) {
    std::error_code ec;
    std::filesystem::path p = std::filesystem::absolute(path, ec);
    if (ec)
        p = path;
    std::string s = p.lexically_normal().string();
    while (s.size() > 1 && s.back() == '/')
        s.pop_back();
    return s;
}

std::shared_ptr<const Snapshot> Load(std::map<std::string, std::string> values) {
    auto snap = std::make_shared<Snapshot>();
    snap->values = std::move(values);
    const std::string settingsFile = SettingsFile();
    if (!settingsFile.empty()) {
        LoadIni(settingsFile, &snap->settings, &snap->notes);
        for (const std::string& problem : snap->settings.Problems())
            snap->notes.push_back(settingsFile + ": " + problem);
    }

    std::string dir;
    if (auto it = snap->values.find(Lowered(kDirectoryKey)); it != snap->values.end())
        dir = it->second;
    if (dir.empty())
        dir = EnvOr("DELVEX_DATA_DIR", "");
    if (dir.empty())
        dir = snap->settings.Get(kEnvironmentSection, kDirectoryKey).value_or("");
    if (dir.empty()) {
        const std::string home = EnvOr("HOME", "");
        dir = home.empty() ? std::string(".") : home + "/.local/share/delvex/data";
    }
    snap->dataDirectory = Absolute(dir);
    std::error_code ec;
    if (!std::filesystem::is_directory(snap->dataDirectory, ec))
        snap->notes.push_back(snap->dataDirectory + ": the data directory does not exist");

    const std::string serversFile = snap->dataDirectory + "/" + kServersFile;
    CIniDocument serverSettings;
    LoadIni(serversFile, &serverSettings, &snap->notes);
    auto servers = std::make_shared<ServerRegistry>();
    servers->Load(serverSettings, snap->dataDirectory);
    for (const std::string& problem : servers->problems())
        snap->notes.push_back(serversFile + ": " + problem);
    snap->servers = std::move(servers);
    return snap;
}

std::shared_ptr<const Snapshot> Current() {
    Session& s = session();
    std::lock_guard lock(s.mutex);
    if (!s.snapshot)
        s.snapshot = Load({});
    return s.snapshot;
}

} // namespace

std::string DataDirectory() {
    return Current()->dataDirectory;
}

std::shared_ptr<const ServerRegistry> Servers() {
    return Current()->servers;
}

store::Status PollBreak() {
    store::BreakHook hook;
    void* context;
    {
        Session& s = session();
        std::lock_guard lock(s.mutex);
        hook = s.breakHook;
        context = s.breakContext;
    }
    // Called outside the lock: the hook may well call back into the store.
    return hook && hook(context) != 0 ? store::kCancelled : store::kNoError;
}

int AskUser(const char* text, store::Status status, store::MessageButtons buttons) {
    store::MessageHook hook;
    void* context;
    {
        Session& s = session();
        std::lock_guard lock(s.mutex);
        hook = s.messageHook;
        context = s.messageContext;
    }
    return hook ? hook(text, status, buttons, context) : store::kAnswerNone;
}

} // namespace vlt

namespace store {

using vlt::session;

Status SessionStart() {
    auto snap = vlt::Load({});
    vlt::Session& s = session();
    std::lock_guard lock(s.mutex);
    s.snapshot = std::move(snap);
    s.started = true;
    return kNoError;
}

void SessionEnd() {
    vlt::Session& s = session();
    std::lock_guard lock(s.mutex);
    s.snapshot.reset();
    s.started = false;
    s.messageHook = nullptr;
    s.messageContext = nullptr;
    s.breakHook = nullptr;
    s.breakContext = nullptr;
}

bool SessionStarted() {
    vlt::Session& s = session();
    std::lock_guard lock(s.mutex);
    return s.started;
}

void SetMessageHook(MessageHook hook, void* context) {
    vlt::Session& s = session();
    std::lock_guard lock(s.mutex);
    s.messageHook = hook;
    s.messageContext = context;
}

void SetBreakHook(BreakHook hook, void* context) {
    vlt::Session& s = session();
    std::lock_guard lock(s.mutex);
    s.breakHook = hook;
    s.breakContext = context;
}

Status GetEnvironmentValue(const char* name, char* buffer, std::size_t size, std::size_t* length) {
    if (!name || !*name) {
        vlt::PutText("", buffer, size, length);
        return kInvalidArgument;
    }
    const auto snap = vlt::Current();
    const std::string key = vlt::Lowered(name);
    if (auto it = snap->values.find(key); it != snap->values.end())
        return vlt::PutText(it->second, buffer, size, length);
    if (EqualsNoCase(name, vlt::kDirectoryKey))
        return vlt::PutText(snap->dataDirectory, buffer, size, length);
    if (const auto v = snap->settings.Get(vlt::kEnvironmentSection, name))
        return vlt::PutText(*v, buffer, size, length);
    vlt::PutText("", buffer, size, length);
    return kNotAvailable;
}

Status GetSessionNotes(char* buffer, std::size_t size, std::size_t* length) {
    std::string text;
    for (const std::string& note : vlt::Current()->notes)
        text += note + "\n";
    return vlt::PutText(text, buffer, size, length);
}

Status SetEnvironmentValue(const char* name, const char* value) {
    if (!name || !*name)
        return kInvalidArgument;
    const std::string key = vlt::Lowered(name);
    const auto current = vlt::Current();
    auto values = current->values;
    if (value)
        values[key] = value;
    else
        values.erase(key);
    // Only the directory changes what is loaded; other values are copied into a new snapshot
    // all the same, so readers of the old one are undisturbed.
    std::shared_ptr<const vlt::Snapshot> next;
    if (key == vlt::Lowered(vlt::kDirectoryKey)) {
        next = vlt::Load(std::move(values));
    } else {
        auto copy = std::make_shared<vlt::Snapshot>(*current);
        copy->values = std::move(values);
        next = std::move(copy);
    }
    vlt::Session& s = session();
    std::lock_guard lock(s.mutex);
    s.snapshot = std::move(next);
    return kNoError;
}

} // namespace store
