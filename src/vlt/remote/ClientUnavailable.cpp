// The client of a build without the RPC framework: servers reached over the network are refused
// when they are first used.
#include "vlt/remote/Client.h"

namespace vlt::remote {

struct Client::Impl {};

Client::Client(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Client::~Client() = default;

std::shared_ptr<Client> Client::Create(const ClientConfig&, std::string* problem) {
    *problem = "this build cannot reach servers over the network";
    return nullptr;
}

store::Status Client::Hello(HelloResult*) {
    return store::kNotImplemented;
}
store::Status Client::Stat(const std::string&, bool*, std::uint64_t*) {
    return store::kNotImplemented;
}
store::Status Client::Read(const std::string&, std::uint64_t, std::uint32_t, std::string*) {
    return store::kNotImplemented;
}
store::Status Client::List(const std::string&, std::uint16_t, std::vector<std::string>*) {
    return store::kNotImplemented;
}
void Client::SetCancelCheck(CancelCheck) {}
std::string Client::LastDetail() {
    return {};
}

} // namespace vlt::remote
