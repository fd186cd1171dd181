// The network client module: the store service's calls over the RPC framework. The engine
// opens it (vlt/remote/Client.cpp) only when a server over the network is first used.
#include <grpcpp/grpcpp.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "store.grpc.pb.h"
#include "vlt/remote/Module.h"

namespace vlt::remote {
namespace {

thread_local std::string lastDetail;

// A listing of a large directory may be long, but not without bound.
constexpr int kMaxReply = 64 << 20;

std::int64_t NowUs() {
    using namespace std::chrono;
    return duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
}

// Milliseconds of a span measured in microseconds, rounded up so that a real round trip never
// shows as none; a negative span (clocks of two machines that disagree) counts as none.
std::uint32_t SpanMs(std::int64_t us) {
    if (us <= 0)
        return 0;
    const std::int64_t ms = (us + 999) / 1000;
    return ms > 0xFFFFFFFF ? 0xFFFFFFFFu : std::uint32_t(ms);
}

// The engine's question whether the user has broken off; set once, by the entry point.
std::atomic<bool (*)()> cancelled{nullptr};

store::Status Failed(const grpc::Status& s) {
    lastDetail = s.error_message();
    if (s.error_code() == grpc::StatusCode::CANCELLED)
        return store::kCancelled;
    switch (s.error_code()) {
    case grpc::StatusCode::INVALID_ARGUMENT:
    case grpc::StatusCode::OUT_OF_RANGE:
    case grpc::StatusCode::RESOURCE_EXHAUSTED: // a request larger than the server takes
        return store::kInvalidArgument | store::kStatusRemote;
    case grpc::StatusCode::PERMISSION_DENIED:
    case grpc::StatusCode::UNAUTHENTICATED:
        return store::kFileAccess | store::kStatusRemote;
    default:
        break;
    }
    // A connection that could not be made: the framework names the last attempt's failure. A
    // server that closes the connection during its set-up refused it at the TLS level (a
    // server that is gone refuses the TCP connection instead, and one that hangs lets the
    // deadline pass).
    const std::string& m = lastDetail;
    if (m.find("failed to connect to all addresses") != std::string::npos) {
        if (m.find("Ssl handshake failed") != std::string::npos)
            return m.find("certificate verify failed") != std::string::npos
                       ? store::kServerNotTrusted
                       : store::kServerRefused;
        if (m.ends_with("Socket closed") || m.find("Connection reset by peer") != std::string::npos)
            return store::kServerRefused;
    }
    return store::kServerNotResponding;
}

store::Status Remote(std::uint32_t status) {
    if (status == 0)
        return store::kNoError;
    lastDetail = "the server reported status " + std::to_string(status);
    return static_cast<store::Status>((status & store::kMessageMask) | store::kStatusRemote);
}

} // namespace

struct Connection {
    std::uint32_t timeoutMs = 0;
    std::unique_ptr<delvex::rpc::Store::Stub> stub;

    void Prepare(grpc::ClientContext* context) const {
        context->set_deadline(std::chrono::system_clock::now() +
                              std::chrono::milliseconds(timeoutMs));
    }

    // Runs `start` (which starts an asynchronous call that reports to `done`) and waits for it,
    // cancelling it when the cancel check says so.
    template <class Start> grpc::Status Call(grpc::ClientContext* context, Start start) {
        std::mutex m;
        std::condition_variable cv;
        bool finished = false;
        grpc::Status result;
        start([&](grpc::Status s) {
            std::lock_guard lock(m);
            result = std::move(s);
            finished = true;
            cv.notify_all();
        });
        std::unique_lock lock(m);
        bool wasCancelled = false;
        while (!cv.wait_for(lock, std::chrono::milliseconds(50), [&] { return finished; })) {
            const auto check = cancelled.load();
            if (!wasCancelled && check && check()) {
                wasCancelled = true;
                context->TryCancel(); // the call still reports, with CANCELLED
            }
        }
        return result;
    }
};

namespace {

Connection* Connect(const ClientConfig& config, const ClientPems& pems, std::string*) {
    std::shared_ptr<grpc::ChannelCredentials> credentials;
    if (config.certificate.empty()) {
        credentials = grpc::InsecureChannelCredentials();
    } else {
        grpc::SslCredentialsOptions ssl;
        ssl.pem_root_certs = pems.authority;
        ssl.pem_cert_chain = pems.certificate;
        ssl.pem_private_key = pems.key;
        credentials = grpc::SslCredentials(ssl);
    }
    grpc::ChannelArguments args;
    args.SetMaxReceiveMessageSize(kMaxReply);
    // Reconnect soon after a server comes back rather than after a long back-off.
    args.SetInt(GRPC_ARG_MAX_RECONNECT_BACKOFF_MS, 1000);
    auto connection = std::make_unique<Connection>();
    connection->timeoutMs = config.timeoutMs == 0 ? 10000 : config.timeoutMs;
    connection->stub =
        delvex::rpc::Store::NewStub(grpc::CreateCustomChannel(config.address, credentials, args));
    return connection.release();
}

void Close(Connection* connection) {
    delete connection;
}

store::Status Hello(Connection* c, HelloResult* result) {
    grpc::ClientContext context;
    c->Prepare(&context);
    delvex::rpc::HelloRequest request;
    delvex::rpc::HelloReply reply;
    const std::int64_t sent = NowUs();
    request.set_client_sent_us(sent);
    const grpc::Status s = c->Call(
        &context, [&](auto done) { c->stub->async()->Hello(&context, &request, &reply, done); });
    const std::int64_t received = NowUs();
    if (!s.ok())
        return Failed(s);
    result->release = reply.release() > 0xFFFF ? 0 : std::uint16_t(reply.release());
    result->toServerMs = SpanMs(reply.server_received_us() - sent);
    result->fromServerMs = SpanMs(received - reply.server_sent_us());
    return store::kNoError;
}

store::Status Stat(Connection* c, const std::string& path, bool* isDirectory, std::uint64_t* size) {
    grpc::ClientContext context;
    c->Prepare(&context);
    delvex::rpc::StatRequest request;
    delvex::rpc::StatReply reply;
    request.set_path(path);
    const grpc::Status s = c->Call(
        &context, [&](auto done) { c->stub->async()->Stat(&context, &request, &reply, done); });
    if (!s.ok())
        return Failed(s);
    if (reply.status() != 0)
        return Remote(reply.status());
    *isDirectory = reply.is_directory();
    *size = reply.size();
    return store::kNoError;
}

store::Status Read(Connection* c, const std::string& path, std::uint64_t offset,
                   std::uint32_t length, std::string* data) {
    grpc::ClientContext context;
    c->Prepare(&context);
    delvex::rpc::ReadRequest request;
    delvex::rpc::ReadReply reply;
    request.set_path(path);
    request.set_offset(offset);
    request.set_length(length > kReadChunk ? kReadChunk : length);
    const grpc::Status s = c->Call(&context, [&](auto done) {
        c->stub->async()->ReadBytes(&context, &request, &reply, done);
    });
    if (!s.ok())
        return Failed(s);
    if (reply.status() != 0)
        return Remote(reply.status());
    // A server that sends more than was asked for is not believed.
    if (reply.data().size() > request.length()) {
        lastDetail = "the server sent more bytes than were asked for";
        return store::kFileAccess | store::kStatusRemote;
    }
    *data = std::move(*reply.mutable_data());
    return store::kNoError;
}

store::Status List(Connection* c, const std::string& path, std::uint16_t classMask,
                   std::vector<std::string>* summaries) {
    grpc::ClientContext context;
    c->Prepare(&context);
    delvex::rpc::ListRequest request;
    delvex::rpc::ListReply reply;
    request.set_path(path);
    request.set_class_mask(classMask);
    const grpc::Status s = c->Call(&context, [&](auto done) {
        c->stub->async()->ListDirectory(&context, &request, &reply, done);
    });
    if (!s.ok())
        return Failed(s);
    if (reply.status() != 0)
        return Remote(reply.status());
    summaries->clear();
    for (std::string& summary : *reply.mutable_summaries())
        summaries->push_back(std::move(summary));
    return store::kNoError;
}

std::string LastDetail() {
    return lastDetail;
}

constexpr ModuleCalls kCalls{kModuleRelease, Connect, Close, Hello, Stat, Read, List, LastDetail};

} // namespace
} // namespace vlt::remote

extern "C" __attribute__((visibility("default"))) const vlt::remote::ModuleCalls*
delvex_remote_module(bool (*cancelled)()) {
    vlt::remote::cancelled.store(cancelled);
    return &vlt::remote::kCalls;
}
