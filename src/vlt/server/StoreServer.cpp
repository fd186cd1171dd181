#include "vlt/server/StoreServer.h"

#include <grpc/grpc.h>
#include <grpc/support/log.h>
#include <grpcpp/grpcpp.h>
#include <grpcpp/security/server_credentials.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <sstream>
#include <vector>

#include "common/PlainFile.h"
#include "store.grpc.pb.h"
#include "store/api/Status.h"
#include "vlt/DirectoryList.h"
#include "vlt/Engine.h"
#include "vlt/Environment.h"

namespace vlt::server {
namespace {

// Requests are a path and two numbers; anything larger is no request of ours.
constexpr int kMaxRequest = 16 * 1024;
constexpr std::size_t kMaxPath = 4096;
constexpr std::size_t kPemLimit = 1 << 20;
// The name the served folder goes by in the reasons a path is refused.
const std::string kServed = "vlt-serverd";

std::int64_t NowUs() {
    using namespace std::chrono;
    return duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
}

// A path as it may appear in a log line: printable ASCII, the rest escaped, bounded in length.
std::string Printable(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size() && i < 200; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
            out.push_back(char(c));
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        }
    }
    if (text.size() > 200)
        out += "...";
    return out;
}

class Log {
public:
    Log(std::ostream& out, LogLevel level) : out_(out), level_(level) {}
    void Write(LogLevel level, const std::string& line) {
        if (level > level_)
            return;
        static constexpr const char* kNames[] = {"error", "warning", "info", "debug"};
        const std::time_t now = std::time(nullptr);
        std::tm tm{};
        gmtime_r(&now, &tm);
        char stamp[32];
        std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%SZ", &tm);
        std::lock_guard lock(mutex_);
        out_ << stamp << ' ' << kNames[int(level)] << ": " << line << std::endl;
    }

private:
    std::ostream& out_;
    LogLevel level_;
    std::mutex mutex_;
};

// A connection that fails its TLS handshake (a client without TLS, or without a certificate the
// server takes) is refused by the framework before any call reaches the service, and the
// framework says so only in its own log, without the client's address. So its log is taken
// over: its "tcp" trace names the peer of every read, and the handshake fails on the thread that
// read the bytes that made it fail, so the last peer read on that thread is the client. The
// other trace lines are dropped; the framework's errors go to the server's log.
std::mutex handshakeLogMutex;
Log* handshakeLog = nullptr; // the log of the server started last, while it runs
thread_local std::string lastPeerRead;

void FrameworkLog(gpr_log_func_args* args) {
    const std::string_view message = args->message ? args->message : "";
    if (message.starts_with("READ ")) {
        // "READ 0x... (peer=ipv4:127.0.0.1:5555) error=OK"
        const std::size_t at = message.find("(peer=");
        const std::size_t end = at == std::string_view::npos ? at : message.find(')', at);
        if (end != std::string_view::npos)
            lastPeerRead.assign(message.substr(at + 6, end - at - 6));
        return;
    }
    if (args->severity != GPR_LOG_SEVERITY_ERROR)
        return;
    std::lock_guard lock(handshakeLogMutex);
    if (!handshakeLog)
        return;
    if (std::string why = RefusalOfHandshake(message); !why.empty()) {
        handshakeLog->Write(LogLevel::Warning,
                            "refused " + (lastPeerRead.empty() ? "a client" : lastPeerRead) +
                                ": connection: " + why);
        return;
    }
    handshakeLog->Write(LogLevel::Error, "framework: " + Printable(std::string(message)));
}

// Who is asking: the peer address and, with client certificates, the certificate's name.
std::string ClientOf(const grpc::ServerContext& context) {
    std::string who = context.peer();
    const auto auth = context.auth_context();
    if (auth) {
        const auto names = auth->FindPropertyValues(GRPC_X509_CN_PROPERTY_NAME);
        if (!names.empty())
            who += " (" + std::string(names.front().data(), names.front().size()) + ")";
    }
    return who;
}

// The common name of a name as a link file lists it ("CN=Ann Lee/OU=Sales/O=Acme" gives
// "Ann Lee"); a name without parts is its own common name.
std::string CommonNameOf(std::string_view name) {
    if (name.size() > 3 && (name.substr(0, 3) == "CN=" || name.substr(0, 3) == "cn="))
        name = name.substr(3, name.find('/') == std::string_view::npos ? std::string_view::npos
                                                                       : name.find('/') - 3);
    return std::string(name);
}

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// Why the client named `client` (its certificate's common name) may not reach `path`: a directory
// on the way has a link file whose allowed names leave it out. Empty when it may.
std::string DeniedByLinkFiles(const std::string& folder, std::string_view path,
                              const std::string& client) {
    std::vector<std::string> parts;
    while (!path.empty()) {
        const std::size_t sep = path.find_first_of("/\\");
        const std::string_view part = path.substr(0, sep);
        path = sep == std::string_view::npos ? std::string_view() : path.substr(sep + 1);
        if (part.empty() || part == ".")
            continue;
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
            continue;
        }
        parts.emplace_back(part);
    }
    std::string prefix;
    for (const std::string& part : parts) {
        prefix += (prefix.empty() ? "" : "/") + part;
        std::string text;
        // Link files are short lines; one larger than this is read no further than this.
        if (ReadPlainFile(folder + "/" + prefix + ".dir", &text, 1 << 16) != 0)
            continue;
        std::istringstream lines(text);
        std::string line;
        std::getline(lines, line); // the directory linked to
        bool listed = false, allowed = false;
        while (std::getline(lines, line)) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            line.resize(std::min<std::size_t>(line.size(), 299));
            if (line.empty())
                continue;
            listed = true;
            allowed = allowed || (!client.empty() && SameName(CommonNameOf(line), client));
        }
        if (listed && !allowed)
            return "\"" + prefix + "\" does not allow " +
                   (client.empty() ? std::string("a client without a name") : client);
    }
    return {};
}

class Service final : public delvex::rpc::Store::Service {
public:
    Service(const Options& options, std::ostream& log)
        : options_(options), log_(log, options.logLevel) {}
    Log& log() { return log_; }

    grpc::Status Hello(grpc::ServerContext* context, const delvex::rpc::HelloRequest*,
                       delvex::rpc::HelloReply* reply) override {
        reply->set_server_received_us(NowUs());
        log_.Write(LogLevel::Debug, ClientOf(*context) + ": hello");
        reply->set_release(options_.release);
        reply->set_version(DELVEX_VERSION);
        reply->set_server_sent_us(NowUs());
        return grpc::Status::OK;
    }

    grpc::Status Stat(grpc::ServerContext* context, const delvex::rpc::StatRequest* request,
                      delvex::rpc::StatReply* reply) override {
        std::string file;
        if (auto refused = Resolve(*context, "stat", request->path(), &file))
            return Refuse(reply, *refused);
        std::error_code ec;
        const auto st = std::filesystem::status(file, ec);
        if (ec || !std::filesystem::exists(st)) {
            reply->set_status(store::kFileNotFound);
        } else if (std::filesystem::is_directory(st)) {
            reply->set_is_directory(true);
        } else if (std::filesystem::is_regular_file(st)) {
            const auto size = std::filesystem::file_size(file, ec);
            if (ec)
                reply->set_status(store::kFileAccess);
            else
                reply->set_size(size);
        } else {
            reply->set_status(store::kNotADatabase); // devices and pipes are never served
        }
        return grpc::Status::OK;
    }

    grpc::Status ReadBytes(grpc::ServerContext* context, const delvex::rpc::ReadRequest* request,
                           delvex::rpc::ReadReply* reply) override {
        if (std::string why = RefusalOfRead(request->path(), request->offset(), request->length());
            !why.empty())
            return Malformed(*context, "read", request->path(), why);
        std::string file;
        if (auto refused = Resolve(*context, "read", request->path(), &file))
            return Refuse(reply, *refused);
        int err = 0;
        const int fd = OpenPlainFile(file, &err);
        if (fd < 0) {
            reply->set_status(err == ENOENT ? store::kFileNotFound : store::kFileAccess);
            return grpc::Status::OK;
        }
        std::string& data = *reply->mutable_data();
        data.resize(request->length());
        std::size_t got = 0;
        while (got < data.size()) {
            const ssize_t n =
                ::pread(fd, data.data() + got, data.size() - got, off_t(request->offset() + got));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                ::close(fd);
                data.clear();
                reply->set_status(store::kFileAccess);
                return grpc::Status::OK;
            }
            if (n == 0)
                break;
            got += std::size_t(n);
        }
        ::close(fd);
        data.resize(got);
        return grpc::Status::OK;
    }

    grpc::Status ListDirectory(grpc::ServerContext* context,
                               const delvex::rpc::ListRequest* request,
                               delvex::rpc::ListReply* reply) override {
        if (request->class_mask() > 0xFFFF)
            return Malformed(*context, "list", request->path(), "the class mask is out of range");
        OpenDb dir;
        if (auto refused = Resolve(*context, "list", request->path(), &dir.fsPath))
            return Refuse(reply, *refused);
        std::error_code ec;
        if (!std::filesystem::is_directory(dir.fsPath, ec)) {
            reply->set_status(ec || !std::filesystem::exists(dir.fsPath, ec)
                                  ? store::kFileNotFound
                                  : store::kNotADatabase);
            return grpc::Status::OK;
        }
        // Listed as a directory of a server of this machine is: the entries' paths are relative
        // to the served folder, and links that lead out of it are listed but not looked into.
        dir.storePath = "served!!" + request->path();
        dir.isDirectory = true;
        dir.servedFolder = options_.dataDirectory;
        struct Collect {
            delvex::rpc::ListReply* reply;
            grpc::ServerContext* context;
        } collect{reply, context};
        const auto callback = [](void* c, const store::SEARCH_MATCH* match,
                                 const store::ITEM_TABLE* summary) -> store::Status {
            auto* to = static_cast<Collect*>(c);
            // A client that has gone away needs the rest no more.
            if (to->context->IsCancelled())
                return store::kCancelled;
            to->reply->add_summaries(reinterpret_cast<const char*>(summary), match->summaryLength);
            return store::kNoError;
        };
        const store::Status s =
            SearchDirectory(dir, std::uint16_t(request->class_mask()), callback, &collect);
        if (s != store::kNoError) {
            reply->clear_summaries();
            reply->set_status(s);
        }
        log_.Write(LogLevel::Debug,
                   ClientOf(*context) + ": listed \"" + Printable(request->path()) + "\"");
        return grpc::Status::OK;
    }

private:
    struct Refused {
        store::Status status;
    };

    // Resolves a request's path inside the data directory; what to answer when it does not.
    std::optional<Refused> Resolve(const grpc::ServerContext& context, const char* call,
                                   const std::string& path, std::string* file) {
        std::string why = RefusalOfPath(path);
        store::Status status = store::kBadPath;
        if (why.empty()) {
            status = ResolveInFolder(options_.dataDirectory, path, kServed, file, &why);
            // With client certificates, link files name who may enter their directories.
            if (status == store::kNoError && !options_.clientAuthority.empty()) {
                why = DeniedByLinkFiles(options_.dataDirectory, path, CommonName(context));
                if (!why.empty())
                    status = store::kFileAccess;
            }
            if (status == store::kNoError)
                return std::nullopt;
            if (why.empty() || why.find("outside the folder") != std::string::npos)
                why = "it leads out of the data directory";
        }
        log_.Write(LogLevel::Warning, "refused " + ClientOf(context) + ": " + call + " \"" +
                                          Printable(path) + "\": " + why);
        return Refused{status};
    }

    static std::string CommonName(const grpc::ServerContext& context) {
        const auto auth = context.auth_context();
        if (!auth)
            return {};
        const auto names = auth->FindPropertyValues(GRPC_X509_CN_PROPERTY_NAME);
        return names.empty() ? std::string()
                             : std::string(names.front().data(), names.front().size());
    }

    template <class Reply> grpc::Status Refuse(Reply* reply, const Refused& refused) {
        reply->set_status(refused.status);
        return grpc::Status::OK;
    }

    grpc::Status Malformed(const grpc::ServerContext& context, const char* call,
                           const std::string& path, const std::string& why) {
        log_.Write(LogLevel::Warning, "refused " + ClientOf(context) + ": " + call + " \"" +
                                          Printable(path) + "\": " + why);
        return grpc::Status(grpc::StatusCode::INVALID_ARGUMENT, why);
    }

    Options options_;
    Log log_;
};

bool ReadPem(const std::string& file, std::string* pem, std::string* problem) {
    const int err = ReadPlainFile(file, pem, kPemLimit);
    if (err != 0)
        *problem = file + ": " + PlainFileError(err);
    return err == 0;
}

} // namespace

std::string RefusalOfHandshake(std::string_view message) {
    constexpr std::string_view kFailed = "Handshake failed with fatal error ";
    if (!message.starts_with(kFailed))
        return {};
    // "... SSL_ERROR_SSL: error:0A00010B:SSL routines::wrong version number." gives the reason
    // after the last colon.
    std::string_view reason = message.substr(kFailed.size());
    if (const std::size_t colon = reason.rfind(':'); colon != std::string_view::npos)
        reason = reason.substr(colon + 1);
    while (!reason.empty() && (reason.back() == '.' || reason.back() == ' '))
        reason.remove_suffix(1);
    while (!reason.empty() && reason.front() == ' ')
        reason.remove_prefix(1);
    static constexpr std::pair<std::string_view, std::string_view> kPlain[] = {
        // A client without TLS sends HTTP/2 where a TLS record should be.
        {"wrong version number", "it does not speak TLS"},
        {"http request", "it does not speak TLS"},
        {"peer did not return a certificate", "it presented no client certificate"},
        {"certificate verify failed",
         "its client certificate is not signed by the authority the server trusts"},
        {"tlsv1 alert unknown ca", "it does not trust the server's certificate"},
        {"sslv3 alert bad certificate", "it does not trust the server's certificate"},
        {"sslv3 alert certificate unknown", "it does not trust the server's certificate"},
    };
    for (const auto& [text, plain] : kPlain)
        if (reason == text)
            return std::string(plain);
    return "the TLS handshake failed (" + Printable(std::string(reason)) + ")";
}

std::string RefusalOfPath(const std::string& path) {
    if (path.size() > kMaxPath)
        return "the path is longer than " + std::to_string(kMaxPath) + " bytes";
    if (path.find('\0') != std::string::npos)
        return "the path holds a NUL byte";
    if (!path.empty() && (path.front() == '/' || path.front() == '\\'))
        return "an absolute path";
    if (path.size() >= 2 && path[1] == ':')
        return "an absolute path";
    return {};
}

std::string RefusalOfRead(const std::string& path, std::uint64_t offset, std::uint32_t length) {
    if (length > kMaxRead)
        return "a read of more than " + std::to_string(kMaxRead) + " bytes";
    // pread takes a signed offset; one beyond it is no offset in any file.
    if (offset > std::uint64_t(INT64_MAX) - kMaxRead)
        return "the offset is out of range";
    return RefusalOfPath(path);
}

std::string CheckRequest(int call, const std::uint8_t* data, std::size_t size,
                         const std::string& folder, std::string* resolved) {
    resolved->clear();
    const auto parse = [&](google::protobuf::MessageLite& m) {
        return size <= std::size_t(kMaxRequest) && m.ParseFromArray(data, int(size));
    };
    std::string path;
    std::string why;
    switch (call) {
    case 0: {
        delvex::rpc::HelloRequest r;
        return parse(r) ? std::string() : "undecodable";
    }
    case 1: {
        delvex::rpc::ListRequest r;
        if (!parse(r))
            return "undecodable";
        path = r.path();
        why = r.class_mask() > 0xFFFF ? "the class mask is out of range" : RefusalOfPath(path);
        break;
    }
    case 2: {
        delvex::rpc::StatRequest r;
        if (!parse(r))
            return "undecodable";
        path = r.path();
        why = RefusalOfPath(path);
        break;
    }
    case 3: {
        delvex::rpc::ReadRequest r;
        if (!parse(r))
            return "undecodable";
        path = r.path();
        why = RefusalOfRead(path, r.offset(), r.length());
        break;
    }
    default:
        return "no such call";
    }
    if (!why.empty())
        return why;
    if (ResolveInFolder(folder, path, kServed, resolved, &why) != store::kNoError)
        return why.empty() ? "it leads out of the data directory" : why;
    return {};
}

struct StoreServer::Impl {
    std::unique_ptr<Service> service;
    std::unique_ptr<grpc::Server> server;
    int port = 0;
};

StoreServer::StoreServer(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
StoreServer::~StoreServer() {
    if (impl_->server)
        Shutdown();
}

std::unique_ptr<StoreServer> StoreServer::Start(const Options& given, std::ostream& log,
                                                std::string* problem) {
    Options options = given;
    std::error_code ec;
    const auto dir = std::filesystem::canonical(options.dataDirectory, ec);
    if (ec || !std::filesystem::is_directory(dir, ec)) {
        *problem = options.dataDirectory + ": not a directory";
        return nullptr;
    }
    options.dataDirectory = dir.string();
    std::shared_ptr<grpc::ServerCredentials> credentials;
    if (options.certificate.empty() != options.key.empty()) {
        *problem = "a certificate needs its key, and a key its certificate";
        return nullptr;
    }
    if (options.certificate.empty()) {
        if (!options.clientAuthority.empty()) {
            *problem = "client certificates need the server's own certificate and key";
            return nullptr;
        }
        credentials = grpc::InsecureServerCredentials();
    } else {
        grpc::SslServerCredentialsOptions ssl(
            options.clientAuthority.empty()
                ? GRPC_SSL_DONT_REQUEST_CLIENT_CERTIFICATE
                : GRPC_SSL_REQUEST_AND_REQUIRE_CLIENT_CERTIFICATE_AND_VERIFY);
        grpc::SslServerCredentialsOptions::PemKeyCertPair pair;
        if (!ReadPem(options.key, &pair.private_key, problem) ||
            !ReadPem(options.certificate, &pair.cert_chain, problem))
            return nullptr;
        ssl.pem_key_cert_pairs.push_back(std::move(pair));
        if (!options.clientAuthority.empty() &&
            !ReadPem(options.clientAuthority, &ssl.pem_root_certs, problem))
            return nullptr;
        credentials = grpc::SslServerCredentials(ssl);
    }

    auto impl = std::make_unique<Impl>();
    impl->service = std::make_unique<Service>(options, log);
    grpc::ServerBuilder builder;
    builder.AddListeningPort(options.listen, credentials, &impl->port);
    builder.RegisterService(impl->service.get());
    builder.SetMaxReceiveMessageSize(kMaxRequest);
    builder.SetMaxSendMessageSize(64 << 20);
    impl->server = builder.BuildAndStart();
    if (!impl->server || impl->port == 0) {
        *problem = options.listen + ": cannot listen there";
        return nullptr;
    }
    {
        // Set once the framework has started, so that its own settings from the environment,
        // read as it starts, do not undo these.
        std::lock_guard lock(handshakeLogMutex);
        handshakeLog = &impl->service->log();
        gpr_set_log_function(FrameworkLog);
        if (!options.certificate.empty()) {
            gpr_set_log_verbosity(GPR_LOG_SEVERITY_INFO);
            grpc_tracer_set_enabled("tcp", 1);
        }
    }
    impl->service->log().Write(LogLevel::Info,
                               "serving " + options.dataDirectory + " on " + options.listen +
                                   (options.certificate.empty() ? " without TLS" : " with TLS") +
                                   ", port " + std::to_string(impl->port));
    return std::unique_ptr<StoreServer>(new StoreServer(std::move(impl)));
}

int StoreServer::Port() const {
    return impl_->port;
}

void StoreServer::Shutdown() {
    if (!impl_->server)
        return;
    impl_->server->Shutdown(std::chrono::system_clock::now() + std::chrono::seconds(3));
    impl_->server->Wait();
    {
        std::lock_guard lock(handshakeLogMutex);
        if (handshakeLog == &impl_->service->log())
            handshakeLog = nullptr;
    }
    impl_->service->log().Write(LogLevel::Info, "stopped");
    impl_->server.reset();
}

void StoreServer::Wait() {
    if (impl_->server)
        impl_->server->Wait();
}

} // namespace vlt::server
