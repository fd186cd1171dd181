#include "vlt/remote/Client.h"

#include <grpcpp/grpcpp.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "common/PlainFile.h"
#include "store.grpc.pb.h"

namespace vlt::remote {
namespace {

thread_local std::string lastDetail;

// Certificates are small; a file larger than this is no certificate.
constexpr std::size_t kPemLimit = 1 << 20;
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

std::atomic<Client::CancelCheck> cancelCheck{nullptr};

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

struct Client::Impl {
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
        bool cancelled = false;
        while (!cv.wait_for(lock, std::chrono::milliseconds(50), [&] { return finished; })) {
            const CancelCheck check = cancelCheck.load();
            if (!cancelled && check && check()) {
                cancelled = true;
                context->TryCancel(); // the call still reports, with CANCELLED
            }
        }
        return result;
    }
};

void Client::SetCancelCheck(CancelCheck check) {
    cancelCheck.store(check);
}

Client::Client(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Client::~Client() = default;

std::string Client::LastDetail() {
    return lastDetail;
}

std::shared_ptr<Client> Client::Create(const ClientConfig& config, std::string* problem) {
    std::shared_ptr<grpc::ChannelCredentials> credentials;
    if (config.certificate.empty()) {
        credentials = grpc::InsecureChannelCredentials();
    } else {
        grpc::SslCredentialsOptions ssl;
        const auto read = [&](const std::string& file, std::string* pem) {
            const int err = ReadPlainFile(file, pem, kPemLimit);
            if (err != 0)
                *problem = file + ": " + PlainFileError(err);
            return err == 0;
        };
        if (!read(config.certificate, &ssl.pem_root_certs))
            return nullptr;
        if (config.clientCertificate.empty() != config.clientKey.empty()) {
            *problem = "a client certificate needs its key, and a key its certificate";
            return nullptr;
        }
        if (!config.clientCertificate.empty() &&
            (!read(config.clientCertificate, &ssl.pem_cert_chain) ||
             !read(config.clientKey, &ssl.pem_private_key)))
            return nullptr;
        credentials = grpc::SslCredentials(ssl);
    }
    grpc::ChannelArguments args;
    args.SetMaxReceiveMessageSize(kMaxReply);
    // Reconnect soon after a server comes back rather than after a long back-off.
    args.SetInt(GRPC_ARG_MAX_RECONNECT_BACKOFF_MS, 1000);
    auto impl = std::make_unique<Impl>();
    impl->timeoutMs = config.timeoutMs == 0 ? 10000 : config.timeoutMs;
    impl->stub =
        delvex::rpc::Store::NewStub(grpc::CreateCustomChannel(config.address, credentials, args));
    return std::shared_ptr<Client>(new Client(std::move(impl)));
}

store::Status Client::Hello(HelloResult* result) {
    grpc::ClientContext context;
    impl_->Prepare(&context);
    delvex::rpc::HelloRequest request;
    delvex::rpc::HelloReply reply;
    const std::int64_t sent = NowUs();
    request.set_client_sent_us(sent);
    const grpc::Status s = impl_->Call(&context, [&](auto done) {
        impl_->stub->async()->Hello(&context, &request, &reply, done);
    });
    const std::int64_t received = NowUs();
    if (!s.ok())
        return Failed(s);
    result->release = reply.release() > 0xFFFF ? 0 : std::uint16_t(reply.release());
    result->toServerMs = SpanMs(reply.server_received_us() - sent);
    result->fromServerMs = SpanMs(received - reply.server_sent_us());
    return store::kNoError;
}

store::Status Client::Stat(const std::string& path, bool* isDirectory, std::uint64_t* size) {
    grpc::ClientContext context;
    impl_->Prepare(&context);
    delvex::rpc::StatRequest request;
    delvex::rpc::StatReply reply;
    request.set_path(path);
    const grpc::Status s = impl_->Call(
        &context, [&](auto done) { impl_->stub->async()->Stat(&context, &request, &reply, done); });
    if (!s.ok())
        return Failed(s);
    if (reply.status() != 0)
        return Remote(reply.status());
    *isDirectory = reply.is_directory();
    *size = reply.size();
    return store::kNoError;
}

store::Status Client::Read(const std::string& path, std::uint64_t offset, std::uint32_t length,
                           std::string* data) {
    grpc::ClientContext context;
    impl_->Prepare(&context);
    delvex::rpc::ReadRequest request;
    delvex::rpc::ReadReply reply;
    request.set_path(path);
    request.set_offset(offset);
    request.set_length(length > kReadChunk ? kReadChunk : length);
    const grpc::Status s = impl_->Call(&context, [&](auto done) {
        impl_->stub->async()->ReadBytes(&context, &request, &reply, done);
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

store::Status Client::List(const std::string& path, std::uint16_t classMask,
                           std::vector<std::string>* summaries) {
    grpc::ClientContext context;
    impl_->Prepare(&context);
    delvex::rpc::ListRequest request;
    delvex::rpc::ListReply reply;
    request.set_path(path);
    request.set_class_mask(classMask);
    const grpc::Status s = impl_->Call(&context, [&](auto done) {
        impl_->stub->async()->ListDirectory(&context, &request, &reply, done);
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

} // namespace vlt::remote
