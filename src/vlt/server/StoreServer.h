// The store service of vlt-serverd: one data directory served read-only to many clients.
#pragma once

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>

namespace vlt::server {

enum class LogLevel { Error = 0, Warning = 1, Info = 2, Debug = 3 };

struct Options {
    std::string dataDirectory;
    std::string listen = "127.0.0.1:7460";
    std::string certificate; // PEM files; both or neither (plaintext)
    std::string key;
    std::string
        clientAuthority;       // PEM file; when given, clients must present a certificate it signed
    std::uint16_t release = 0; // reported to clients, 0: none
    LogLevel logLevel = LogLevel::Info;
};

// What a request asks for, checked before anything is opened: the reason it is refused, or empty.
std::string RefusalOfPath(const std::string& path);
// The reason a TLS handshake failed as the framework logs it ("Handshake failed with fatal error
// ...: ...::wrong version number."), in plain words; empty for any other log line.
std::string RefusalOfHandshake(std::string_view message);
std::string RefusalOfRead(const std::string& path, std::uint64_t offset, std::uint32_t length);
// Decodes `size` bytes as the request of one of the service's calls (0 Hello, 1 ListDirectory,
// 2 Stat, 3 ReadBytes) and checks it as the server does, resolving its path in `folder`: the
// reason it would be refused, "undecodable" when it does not decode, or empty. For the fuzz
// target of the request decoding.
std::string CheckRequest(int call, const std::uint8_t* data, std::size_t size,
                         const std::string& folder, std::string* resolved);

// The most bytes one read gives.
constexpr std::uint32_t kMaxRead = 1 << 20;

class StoreServer {
public:
    // Null with *problem set when the options cannot be used or the address cannot be bound.
    // Log lines go to `log`, which must outlive the server.
    static std::unique_ptr<StoreServer> Start(const Options& options, std::ostream& log,
                                              std::string* problem);
    ~StoreServer();
    // The port listened on (the one chosen when the address gave port 0).
    int Port() const;
    // Stops taking calls and lets those under way finish, for at most a few seconds.
    void Shutdown();
    void Wait();

private:
    struct Impl;
    explicit StoreServer(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

} // namespace vlt::server
