// The client side of the store service: one channel to one server, and a call per service
// operation. Nothing of the RPC framework shows here, so the engine can hold a client without
// seeing it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "store/api/Status.h"

namespace vlt::remote {

struct ClientConfig {
    std::string address;     // host:port
    std::string certificate; // PEM file of the authority that signed the server; empty: plaintext
    std::string clientCertificate; // PEM files presented to a server that asks for them
    std::string clientKey;
    std::uint32_t timeoutMs = 10000; // every call's deadline
};

struct HelloResult {
    std::uint16_t release = 0;
    std::uint32_t toServerMs = 0;
    std::uint32_t fromServerMs = 0;
};

// The most bytes one read asks for; the server refuses more than its own limit.
constexpr std::uint32_t kReadChunk = 64 * 1024;

// Every call returns kServerNotResponding when the server gives no answer within the deadline or
// cannot be reached, kServerRefused when it closes the connection as it is made (TLS refused:
// a plaintext client, or no certificate it takes), kServerNotTrusted when its certificate fails
// verification, and a status of the server's with kStatusRemote set when it answered with a
// failure.
class Client {
public:
    // Null with *problem set when the configuration cannot be used (unreadable certificate files).
    static std::shared_ptr<Client> Create(const ClientConfig& config, std::string* problem);
    ~Client();

    store::Status Hello(HelloResult* result);
    store::Status Stat(const std::string& path, bool* isDirectory, std::uint64_t* size);
    // Up to `length` bytes (at most kReadChunk) at `offset`; fewer at the end of the file.
    store::Status Read(const std::string& path, std::uint64_t offset, std::uint32_t length,
                       std::string* data);
    store::Status List(const std::string& path, std::uint16_t classMask,
                       std::vector<std::string>* summaries);

    // Asked every few tens of milliseconds while a call waits: true ends the call with
    // kCancelled (the user's break), so no call holds its caller for its whole deadline.
    using CancelCheck = bool (*)();
    static void SetCancelCheck(CancelCheck check);

    // The text of the last failure of this thread's calls (what the framework or server said).
    static std::string LastDetail();

private:
    struct Impl;
    explicit Client(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

} // namespace vlt::remote
