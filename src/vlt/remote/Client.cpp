// The engine's side of the network client: the calls themselves live in the module
// delvex-remote.so, which holds the RPC framework and the libraries it pulls in. It is opened on
// the first Client::Create, so a program that never reaches a server over the network never
// loads any of them.
#include "vlt/remote/Client.h"

#include <dlfcn.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <mutex>

#include "common/PlainFile.h"
#include "vlt/remote/Module.h"

namespace vlt::remote {
namespace {

// Certificates are small; a file larger than this is no certificate.
constexpr std::size_t kPemLimit = 1 << 20;

std::atomic<Client::CancelCheck> cancelCheck{nullptr};

bool Cancelled() {
    const Client::CancelCheck check = cancelCheck.load();
    return check && check();
}

// Where the module is: DELVEX_REMOTE_MODULE when set (tests), else beside the installed
// programs, else where the build made it. When it is in neither place, the installed one is
// named, as that is where it should be.
std::string ModulePath() {
    if (const char* given = secure_getenv("DELVEX_REMOTE_MODULE"); given && *given)
        return given;
    namespace fs = std::filesystem;
    std::error_code ec;
    std::string installed;
    const fs::path program = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        installed =
            (program.parent_path() / DELVEX_INSTALLED_REMOTE_MODULE).lexically_normal().string();
        if (fs::is_regular_file(installed, ec))
            return installed;
    }
    if (fs::is_regular_file(DELVEX_BUILT_REMOTE_MODULE, ec))
        return DELVEX_BUILT_REMOTE_MODULE;
    return installed.empty() ? std::string(DELVEX_BUILT_REMOTE_MODULE) : installed;
}

std::mutex loadMutex; // one opening at a time
std::atomic<const ModuleCalls*> loaded{nullptr};

// The module's calls, opened on first use and kept for the life of the process (the framework's
// threads outlive any one client). A failure is not kept: the next Create tries again.
const ModuleCalls* OpenModule(std::string* problem) {
    std::lock_guard lock(loadMutex);
    if (const ModuleCalls* calls = loaded.load())
        return calls;
    const std::string path = ModulePath();
    const auto fail = [&](const std::string& why) {
        *problem = "the network client " + path + " cannot be loaded: " + why;
        return nullptr;
    };
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        return fail(why ? why : "unknown error");
    }
    const auto entry = reinterpret_cast<ModuleEntry>(dlsym(handle, kModuleEntryName));
    if (!entry) {
        dlclose(handle);
        return fail(std::string("it has no ") + kModuleEntryName);
    }
    const ModuleCalls* calls = entry(Cancelled);
    if (!calls || calls->release != kModuleRelease) {
        dlclose(handle);
        return fail("it is of another release of the program");
    }
    loaded.store(calls);
    return calls;
}

} // namespace

struct Client::Impl {
    const ModuleCalls* calls = nullptr;
    Connection* connection = nullptr;

    ~Impl() {
        if (connection)
            calls->close(connection);
    }
};

void Client::SetCancelCheck(CancelCheck check) {
    cancelCheck.store(check);
}

Client::Client(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Client::~Client() = default;

std::string Client::LastDetail() {
    const ModuleCalls* calls = loaded.load();
    return calls ? calls->lastDetail() : std::string();
}

std::shared_ptr<Client> Client::Create(const ClientConfig& config, std::string* problem) {
    ClientPems pems;
    if (!config.certificate.empty()) {
        const auto read = [&](const std::string& file, std::string* pem) {
            const int err = ReadPlainFile(file, pem, kPemLimit);
            if (err != 0)
                *problem = file + ": " + PlainFileError(err);
            return err == 0;
        };
        if (!read(config.certificate, &pems.authority))
            return nullptr;
        if (config.clientCertificate.empty() != config.clientKey.empty()) {
            *problem = "a client certificate needs its key, and a key its certificate";
            return nullptr;
        }
        if (!config.clientCertificate.empty() &&
            (!read(config.clientCertificate, &pems.certificate) ||
             !read(config.clientKey, &pems.key)))
            return nullptr;
    }
    const ModuleCalls* calls = OpenModule(problem);
    if (!calls)
        return nullptr;
    auto impl = std::make_unique<Impl>();
    impl->calls = calls;
    impl->connection = calls->connect(config, pems, problem);
    if (!impl->connection)
        return nullptr;
    return std::shared_ptr<Client>(new Client(std::move(impl)));
}

store::Status Client::Hello(HelloResult* result) {
    return impl_->calls->hello(impl_->connection, result);
}

store::Status Client::Stat(const std::string& path, bool* isDirectory, std::uint64_t* size) {
    return impl_->calls->stat(impl_->connection, path, isDirectory, size);
}

store::Status Client::Read(const std::string& path, std::uint64_t offset, std::uint32_t length,
                           std::string* data) {
    return impl_->calls->read(impl_->connection, path, offset, length, data);
}

store::Status Client::List(const std::string& path, std::uint16_t classMask,
                           std::vector<std::string>* summaries) {
    return impl_->calls->list(impl_->connection, path, classMask, summaries);
}

} // namespace vlt::remote
