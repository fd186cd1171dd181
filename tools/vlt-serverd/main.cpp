// vlt-serverd: serves one data directory to the store's clients, read-only, over the network.
#include <csignal>
#include <iostream>
#include <map>
#include <pthread.h>
#include <string>
#include <vector>

#include "common/CommandLine.h"
#include "vlt/server/StoreServer.h"

int main(int argc, char** argv) {
    using commandline::kFailed;
    using commandline::kOk;
    using commandline::kUsage;
    commandline::CCommandLine line({
        "vlt-serverd",
        "[options] --data-dir DIR",
        "Serves the databases and directories of one data directory to the store's clients, "
        "read-only.",
        {{kOk, "stopped by SIGTERM or SIGINT"},
         {kFailed, "could not start (named on standard error)"},
         {kUsage, "a usage error"}},
        "Nothing outside DIR is ever served: paths with \"..\" above it, absolute paths and\n"
        "symbolic links that lead out of it are refused, and files are only opened for\n"
        "reading. With --cert and --key the server speaks TLS only; with --client-ca as\n"
        "well, clients must present a certificate that authority signed. Each refused\n"
        "request, and each connection refused at the TLS level (a client without TLS or\n"
        "without a certificate the server takes), is logged on standard error with the\n"
        "client's address and the reason.\n",
    });
    vlt::server::Options o;
    std::string level = "info";
    unsigned release = 0;
    CLI::App& app = line.App();
    app.add_option("--data-dir", o.dataDirectory, "the directory to serve")
        ->type_name("DIR")
        ->required();
    app.add_option("--listen", o.listen, "the address to listen on (port 0: any free port)")
        ->type_name("HOST:PORT")
        ->capture_default_str();
    app.add_option("--cert", o.certificate, "the server's certificate (PEM)")->type_name("FILE");
    app.add_option("--key", o.key, "the key of that certificate (PEM)")->type_name("FILE");
    app.add_option("--client-ca", o.clientAuthority,
                   "require client certificates signed by this authority (PEM)")
        ->type_name("FILE");
    app.add_option("--release", release, "the release number reported to clients (0: none)")
        ->type_name("N")
        ->check(CLI::Range(0u, 65535u));
    app.add_option("--log-level", level, "error, warning, info or debug")
        ->type_name("LEVEL")
        ->check(CLI::IsMember({"error", "warning", "info", "debug"}))
        ->capture_default_str();
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (const auto end = line.Parse(args, std::cout, std::cerr))
        return *end;
    const std::map<std::string, vlt::server::LogLevel> levels = {
        {"error", vlt::server::LogLevel::Error},
        {"warning", vlt::server::LogLevel::Warning},
        {"info", vlt::server::LogLevel::Info},
        {"debug", vlt::server::LogLevel::Debug}};
    o.logLevel = levels.at(level);
    o.release = static_cast<std::uint16_t>(release);

    // Blocked before the framework starts its threads, so only the wait below receives them.
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGTERM);
    sigaddset(&stop, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stop, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    std::string problem;
    auto server = vlt::server::StoreServer::Start(o, std::cerr, &problem);
    if (!server) {
        std::cerr << "vlt-serverd: " << problem << '\n';
        return kFailed;
    }
    int received = 0;
    sigwait(&stop, &received);
    server->Shutdown();
    return kOk;
}
