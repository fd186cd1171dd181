// The named servers the engine knows, each behind the Server interface so that a server reached
// over a network can stand beside the ones that serve a directory of this machine.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "store/api/Servers.h"
#include "store/api/Status.h"

class CIniDocument;

namespace vlt {

class Server {
public:
    virtual ~Server() = default;
    // The name as configured (as listed).
    virtual const std::string& Name() const = 0;
    virtual store::Status Latency(store::ServerLatency* latency) const = 0;
    // The directory of this machine that holds the server's files; servers that are not served
    // from this machine give kNotImplemented.
    virtual store::Status LocalDirectory(std::string* directory) const = 0;
};

// A server whose files are a directory of this machine, with optional configured figures.
class DirectoryServer : public Server {
public:
    struct Config {
        std::string name;
        std::string directory; // absolute; empty: none configured
        std::uint16_t release = 0;
        bool latencyConfigured = false;
        std::uint32_t toServer = 0;
        std::uint32_t fromServer = 0;
    };
    explicit DirectoryServer(Config config) : config_(std::move(config)) {}
    const std::string& Name() const override { return config_.name; }
    store::Status Latency(store::ServerLatency* latency) const override;
    store::Status LocalDirectory(std::string* directory) const override;

private:
    Config config_;
};

class ServerRegistry {
public:
    // Reads the server sections of a settings file; relative directories are taken from
    // dataDirectory. Entries that cannot be read are skipped and described in problems().
    void Load(const CIniDocument& settings, const std::string& dataDirectory);
    void Add(std::unique_ptr<Server> server) { servers_.push_back(std::move(server)); }

    // By name or display form, letter case ignored; null when unknown.
    const Server* Find(std::string_view name) const;
    const std::vector<std::unique_ptr<Server>>& servers() const { return servers_; }
    const std::vector<std::string>& problems() const { return problems_; }

private:
    // A server reached over the network at `address` (section keys Certificate, ClientCertificate,
    // ClientKey: PEM files for TLS; Timeout: milliseconds).
    void LoadRemote(const CIniDocument& settings, const std::string& name,
                    const std::string& address, const std::string& dataDirectory);
    std::vector<std::unique_ptr<Server>> servers_;
    std::vector<std::string> problems_;
};

// The display form of a hierarchical name, or empty when it cannot be read.
std::string DisplayName(std::string_view name);

} // namespace vlt
