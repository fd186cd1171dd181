// Named servers reached over the network, through the store service of vlt-serverd. Their
// directories are listed by the server; their databases are read through an SQLite file system
// whose reads are reads of the server's file, so every store call on such a database reads the
// server's data.
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "store/api/Search.h"
#include "vlt/Engine.h"
#include "vlt/ServerRegistry.h"
#include "vlt/remote/Client.h"

namespace vlt {

class RemoteServer : public Server {
public:
    struct Config {
        std::string name;
        remote::ClientConfig client;
    };
    // Null with *problem set when the server's databases cannot be read in this process. The
    // client is made on first use, not here: a listed server costs nothing (the network module
    // is not even loaded) until something is asked of it.
    static std::unique_ptr<RemoteServer> Make(Config config, std::string* problem);

    const std::string& Name() const override { return name_; }
    // Both directions measured by one call, and the release the server reports.
    store::Status Latency(store::ServerLatency* latency) const override;
    store::Status LocalDirectory(std::string* directory) const override;

    // Opens `file`, the file part of a network path on this server, into *open.
    store::Status Open(std::string_view file, OpenDb* open, std::string* detail) const;

private:
    explicit RemoteServer(Config config)
        : name_(std::move(config.name)), config_(std::move(config.client)) {}
    // The server's client, made on the first call; null with *problem set (naming the server)
    // when it cannot be made, tried again on the next call.
    std::shared_ptr<remote::Client> Connect(std::string* problem) const;

    std::string name_;
    remote::ClientConfig config_;
    mutable std::mutex mutex_;
    mutable std::shared_ptr<remote::Client> client_;
};

// When `path` is a network path on a server reached over the network, the status of opening it
// into *open; nothing for every other path.
std::optional<store::Status> OpenRemotePath(std::string_view path, OpenDb* open,
                                            std::string* detail);

store::Status SearchRemoteDirectory(const OpenDb& dir, std::uint16_t classMask,
                                    store::SearchCallback callback, void* context);

} // namespace vlt
