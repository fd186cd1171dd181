#include "vlt/ServerRegistry.h"

#include <charconv>
#include <chrono>
#include <filesystem>

#include "common/IniDocument.h"
#include "vlt/RemoteServer.h"

namespace vlt {
namespace {

// The component keys of hierarchical names: common name, organisational unit, organisation,
// country.
constexpr std::string_view kNameKeys[] = {"CN", "OU", "O", "C"};

template <typename T> bool ReadNumber(const std::string& text, T* value) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, *value);
    return ec == std::errc() && ptr == end;
}

} // namespace

std::string DisplayName(std::string_view name) {
    if (name.find('=') == std::string_view::npos)
        return std::string(name);
    std::string out;
    while (true) {
        const std::size_t slash = name.find('/');
        const std::string_view part = name.substr(0, slash);
        const std::size_t eq = part.find('=');
        if (eq == std::string_view::npos || eq + 1 == part.size())
            return {};
        bool known = false;
        for (std::string_view key : kNameKeys)
            known = known || EqualsNoCase(part.substr(0, eq), key);
        if (!known)
            return {};
        out.append(part.substr(eq + 1));
        if (slash == std::string_view::npos)
            return out;
        out.push_back('/');
        name.remove_prefix(slash + 1);
    }
}

store::Status DirectoryServer::LocalDirectory(std::string* directory) const {
    std::error_code ec;
    if (config_.directory.empty() || !std::filesystem::is_directory(config_.directory, ec))
        return store::kServerNotResponding;
    *directory = config_.directory;
    return store::kNoError;
}

store::Status DirectoryServer::Latency(store::ServerLatency* latency) const {
    // Measured as the time it takes to reach the served directory, both ways alike.
    const auto begin = std::chrono::steady_clock::now();
    std::string dir;
    if (store::Status s = LocalDirectory(&dir); s != store::kNoError)
        return s;
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - begin);
    latency->release = config_.release;
    if (config_.latencyConfigured) {
        latency->toServer = config_.toServer;
        latency->fromServer = config_.fromServer;
    } else {
        latency->toServer = latency->fromServer = std::uint32_t(elapsed.count());
    }
    return store::kNoError;
}

void ServerRegistry::Load(const CIniDocument& settings, const std::string& dataDirectory) {
    servers_.clear();
    problems_ = settings.Problems();
    for (const std::string& name : settings.Sections()) {
        DirectoryServer::Config c;
        c.name = name;
        if (c.name.empty() || c.name.find("!!") != std::string::npos || c.name.size() > 0xFFFF) {
            problems_.push_back("server \"" + c.name + "\": not a usable server name");
            continue;
        }
        if (Find(c.name)) {
            problems_.push_back("server \"" + c.name + "\": listed twice");
            continue;
        }
        if (const auto address = settings.Get(name, "Address"); address && !address->empty()) {
            LoadRemote(settings, name, *address, dataDirectory);
            continue;
        }
        if (const auto dir = settings.Get(name, "Directory"); dir && !dir->empty()) {
            std::filesystem::path p(*dir);
            if (p.is_relative())
                p = std::filesystem::path(dataDirectory) / p;
            c.directory = p.lexically_normal().string();
            while (c.directory.size() > 1 && c.directory.back() == '/')
                c.directory.pop_back();
        }
        if (const auto v = settings.Get(name, "Release"); v && !ReadNumber(*v, &c.release))
            problems_.push_back("server \"" + c.name + "\": Release is not a number: " + *v);
        const auto to = settings.Get(name, "LatencyToServer");
        const auto from = settings.Get(name, "LatencyFromServer");
        if (to && from) {
            c.latencyConfigured = ReadNumber(*to, &c.toServer) && ReadNumber(*from, &c.fromServer);
            if (!c.latencyConfigured)
                problems_.push_back("server \"" + c.name + "\": latency is not a number");
        }
        servers_.push_back(std::make_unique<DirectoryServer>(std::move(c)));
    }
}

void ServerRegistry::LoadRemote(const CIniDocument& settings, const std::string& name,
                                const std::string& address, const std::string& dataDirectory) {
    RemoteServer::Config c;
    c.name = name;
    c.client.address = address;
    const auto file = [&](const char* key) {
        const std::string v = settings.Get(name, key).value_or("");
        if (v.empty() || v.front() == '/')
            return v;
        return (std::filesystem::path(dataDirectory) / v).lexically_normal().string();
    };
    c.client.certificate = file("Certificate");
    c.client.clientCertificate = file("ClientCertificate");
    c.client.clientKey = file("ClientKey");
    if (const auto v = settings.Get(name, "Timeout"); v && !ReadNumber(*v, &c.client.timeoutMs))
        problems_.push_back("server \"" + name + "\": Timeout is not a number: " + *v);
    std::string problem;
    if (auto server = RemoteServer::Make(std::move(c), &problem))
        servers_.push_back(std::move(server));
    else
        problems_.push_back(problem);
}

const Server* ServerRegistry::Find(std::string_view name) const {
    if (name.empty())
        return nullptr;
    const std::string display = DisplayName(name);
    // Tried in turn: the name as listed, the display form, and for a single name ("Hub") the
    // common name of a hierarchical one ("CN=Hub/O=Acme").
    for (const auto& s : servers_)
        if (EqualsNoCase(s->Name(), name))
            return s.get();
    for (const auto& s : servers_)
        if (!display.empty() && EqualsNoCase(DisplayName(s->Name()), display))
            return s.get();
    if (display.find('/') == std::string::npos)
        for (const auto& s : servers_) {
            const std::string own = DisplayName(s->Name());
            if (!display.empty() &&
                EqualsNoCase(std::string_view(own).substr(0, own.find('/')), display))
                return s.get();
        }
    return nullptr;
}

} // namespace vlt
