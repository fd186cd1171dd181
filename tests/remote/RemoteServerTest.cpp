// A real vlt-serverd on a loopback port: browsing and dumping through it, what it refuses, TLS
// and client certificates, and a server that stops answering.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "app/DumpCommand.h"
#include "store/api/Database.h"
#include "store/api/Servers.h"
#include "store/api/Session.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string kServerProgram = DELVEX_BINARY_DIR "/tools/vlt-serverd/vlt-serverd";

std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// One vlt-serverd process, its standard error in a log file; stopped with SIGTERM at the end.
class ServerProcess {
public:
    ServerProcess(const fs::path& log, std::vector<std::string> args) : log_(log) {
        args.insert(args.begin(), kServerProgram);
        args.push_back("--listen=127.0.0.1:0");
        pid_ = fork();
        if (pid_ == 0) {
            std::FILE* f = std::freopen(log.c_str(), "w", stderr);
            (void)f;
            std::vector<char*> argv;
            for (std::string& a : args)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        // The port it chose is in its first log line.
        for (int i = 0; i < 200 && port_ == 0; ++i) {
            const std::string text = ReadFile(log_);
            const std::size_t at = text.find("port ");
            if (at != std::string::npos && at + 5 < text.size() &&
                std::isdigit(static_cast<unsigned char>(text[at + 5])))
                port_ = std::stoi(text.substr(at + 5));
            else
                std::this_thread::sleep_for(25ms);
        }
    }
    ~ServerProcess() { Stop(); }
    int port() const { return port_; }
    std::string log() const { return ReadFile(log_); }
    pid_t pid() const { return pid_; }
    // SIGTERM, then the exit status (-1 when it did not end within a few seconds).
    int Stop() {
        if (pid_ <= 0)
            return status_;
        kill(pid_, SIGCONT);
        kill(pid_, SIGTERM);
        for (int i = 0; i < 200; ++i) {
            int st = 0;
            if (waitpid(pid_, &st, WNOHANG) == pid_) {
                status_ = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
                pid_ = 0;
                return status_;
            }
            std::this_thread::sleep_for(25ms);
        }
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        pid_ = 0;
        return status_ = -1;
    }
    void Kill() {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        pid_ = 0;
    }

private:
    fs::path log_;
    pid_t pid_ = 0;
    int port_ = 0;
    int status_ = -1;
};

class RemoteServerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        char pattern[] = "/tmp/delvex-remote-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root_ = pattern;
        fs::create_directories(root_ / "data");
        fs::copy(DELVEX_SAMPLE_DATA_DIR, root_ / "served", fs::copy_options::recursive);
        fs::remove(root_ / "served" / "servers.ini");
        fs::create_directories(root_ / "secret");
        std::ofstream(root_ / "secret" / "key.txt") << "not to be served\n";
        fs::create_directory_symlink(root_ / "secret", root_ / "served" / "escape");
        MakeCertificates();
    }
    static void TearDownTestSuite() {
        std::error_code ec;
        fs::remove_all(root_, ec);
    }
    void SetUp() override {
        if (!fs::exists(kServerProgram))
            GTEST_SKIP() << "vlt-serverd is not built";
        setenv("DELVEX_DATA_DIR", (root_ / "data").c_str(), 1);
        setenv("DELVEX_STORE_SETTINGS", (root_ / "no-settings.ini").c_str(), 1);
    }
    void TearDown() override {
        store::SessionEnd();
        unsetenv("DELVEX_DATA_DIR");
        unsetenv("DELVEX_STORE_SETTINGS");
    }

    // Certificates of two authorities: one signs the server's and a client's, the other a
    // client's that the server must not take.
    static void MakeCertificates() {
        const fs::path c = root_ / "certs";
        fs::create_directories(c);
        std::ofstream(c / "san.cnf") << "subjectAltName=IP:127.0.0.1,DNS:localhost\n";
        const std::string d = c.string();
        std::string script = "set -e; cd '" + d + "'\n";
        for (const char* ca : {"ca", "otherca"})
            script += std::string("openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=") +
                      ca + " -keyout " + ca + ".key -out " + ca + ".pem\n";
        const auto sign = [&](const std::string& name, const std::string& ca, bool san,
                              const std::string& subject = "") {
            script += "openssl req -newkey rsa:2048 -nodes -subj '" +
                      (subject.empty() ? "/CN=" + name : subject) + "' -keyout " + name +
                      ".key -out " + name + ".csr\n";
            script += "openssl x509 -req -in " + name + ".csr -CA " + ca + ".pem -CAkey " + ca +
                      ".key -CAcreateserial -days 2 -out " + name + ".pem" +
                      (san ? " -extfile san.cnf" : "") + "\n";
        };
        sign("server", "ca", true);
        sign("client", "ca", false);
        sign("stranger", "otherca", false);
        sign("annlee", "ca", false, "/CN=Ann Lee/OU=Sales/O=Acme");
        std::ofstream(c / "make.sh") << script;
        ASSERT_EQ(std::system(("sh '" + d + "/make.sh' >'" + d + "/openssl.log' 2>&1").c_str()), 0)
            << ReadFile(c / "openssl.log");
    }

    static std::string Cert(const std::string& name) { return (root_ / "certs" / name).string(); }

    // The server list: the served folder as a local server, and remote entries.
    void WriteServers(const std::string& remoteEntries) {
        std::ofstream(root_ / "data" / "servers.ini")
            << "[Local]\nDirectory=" << (root_ / "served").string() << "\nRelease=170\n"
            << remoteEntries;
        store::SessionEnd();
    }
    static std::string Entry(const std::string& name, int port, const std::string& more = "") {
        return "[" + name + "]\nAddress=127.0.0.1:" + std::to_string(port) + "\nTimeout=1500\n" +
               more;
    }

    struct Dump {
        int status;
        std::string out, err;
    };
    Dump RunDump(const std::string& path) {
        std::ostringstream out, err;
        const int status =
            dumpcommand::Run({"--include-collapsed", path}, out, err, (root_ / "data").string());
        return {status, out.str(), err.str()};
    }

    ServerProcess StartServer(const std::string& log, std::vector<std::string> more = {}) {
        std::vector<std::string> args = {"--data-dir", (root_ / "served").string(), "--release",
                                         "170"};
        args.insert(args.end(), more.begin(), more.end());
        return ServerProcess(root_ / log, args);
    }

    static fs::path root_;
};

fs::path RemoteServerTest::root_;

// The dump through the server is the dump of the same folder served locally, apart from the
// server's name, its measured latency, the remote bit of the statuses the server reported, and
// the details of failures: the server keeps its reasons for its log.
void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

// Each "(LABEL digits)" becomes "(LABEL N)".
void HideFigures(std::string& text, const std::string& label) {
    const std::string head = "(" + label + " ";
    for (std::size_t at = text.find(head); at != std::string::npos; at = text.find(head, at + 1)) {
        std::size_t end = at + head.size();
        while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end])))
            ++end;
        if (end > at + head.size() && end < text.size() && text[end] == ')')
            text.replace(at + head.size(), end - at - head.size(), "N");
    }
}

std::string Normalised(std::string dump, const std::string& name) {
    ReplaceAll(dump, name + "!!", "SERVER!!");
    ReplaceAll(dump, "(server \"" + name + "\"", "(server \"SERVER\"");
    HideFigures(dump, "client-to-server");
    HideFigures(dump, "server-to-client");
    ReplaceAll(dump, "Server error: ", "");
    ReplaceAll(dump, "(flags Remote)", "(flags 0)");
    for (std::size_t at = dump.find("(detail \""); at != std::string::npos;
         at = dump.find("(detail \"", at)) {
        const std::size_t start = dump.rfind('\n', at) + 1;
        dump.erase(start, dump.find('\n', at) + 1 - start);
    }
    return dump;
}

TEST_F(RemoteServerTest, DumpThroughTheServerIsTheLocalDump) {
    ServerProcess server = StartServer("plain.log");
    ASSERT_NE(server.port(), 0) << server.log();
    WriteServers(Entry("Remote", server.port()));

    const Dump local = RunDump("Local!!");
    const Dump remote = RunDump("Remote!!");
    ASSERT_EQ(local.status, 0) << local.err;
    ASSERT_EQ(remote.status, 0) << remote.err;
    EXPECT_EQ(Normalised(remote.out, "Remote"), Normalised(local.out, "Local"));
    // The databases were read, not only listed: their notes and items are in the dump.
    EXPECT_NE(remote.out.find("(database "), std::string::npos);
    EXPECT_NE(remote.out.find("(item "), std::string::npos);
    // The release is the server's; the latency was measured.
    EXPECT_NE(remote.out.find("(build-version 170)"), std::string::npos);
    EXPECT_NE(remote.out.find("(client-to-server "), std::string::npos);
    // The link that leads out of the folder was refused as remote, with the reason logged.
    EXPECT_NE(remote.out.find("Remote!!escape: Server error: Invalid path"), std::string::npos);
    EXPECT_NE(server.log().find("refused ipv4:127.0.0.1:"), std::string::npos) << server.log();

    store::ServerLatency latency;
    ASSERT_EQ(store::GetServerLatency("Remote", &latency), store::kNoError);
    EXPECT_EQ(latency.release, 170);

    // SIGTERM stops it cleanly.
    EXPECT_EQ(server.Stop(), 0);
    EXPECT_NE(server.log().find("stopped"), std::string::npos);
}

std::string SessionNotes() {
    std::string text(4096, '\0');
    std::size_t length = 0;
    if (store::GetSessionNotes(text.data(), text.size(), &length) != store::kNoError)
        return "(the notes do not fit)";
    text.resize(length);
    return text;
}

// The network client is a module opened on first use, not when the server list is read: when it
// cannot be loaded, the first use of the server names the module and the loader's reason, and a
// later use tries again.
TEST_F(RemoteServerTest, AMissingClientModuleIsNamedAtFirstUseAndTriedAgain) {
    const std::string missing = (root_ / "nowhere" / "delvex-remote.so").string();
    setenv("DELVEX_REMOTE_MODULE", missing.c_str(), 1);
    ServerProcess server = StartServer("module.log");
    ASSERT_NE(server.port(), 0) << server.log();
    WriteServers(Entry("Remote", server.port()));
    // The server is reached only when the dump asks for it; the error node of that failure
    // names the module and the loader's reason, which the status alone does not.
    const Dump without = RunDump("Remote!!");
    const std::string notes = SessionNotes();
    unsetenv("DELVEX_REMOTE_MODULE");
    EXPECT_NE(without.out.find("The server is not responding"), std::string::npos) << without.out;
    const std::size_t detail = without.out.find("(detail \"");
    ASSERT_NE(detail, std::string::npos) << without.out;
    // The dump folds long texts into quoted pieces, one a line: join them again.
    std::string said = without.out.substr(detail, without.out.find(")\n", detail) - detail);
    for (std::size_t fold = said.find("\"\n"); fold != std::string::npos; fold = said.find("\"\n"))
        said.erase(fold, said.find('"', fold + 1) + 1 - fold);
    EXPECT_NE(
        said.find(R"(server \"Remote\": the network client )" + missing + " cannot be loaded: "),
        std::string::npos)
        << said;
    EXPECT_NE(said.find("No such file or directory"), std::string::npos) << said;
    EXPECT_EQ(notes.find("cannot be loaded"), std::string::npos) << notes;

    const Dump with = RunDump("Remote!!");
    EXPECT_EQ(with.status, 0) << with.err;
    EXPECT_NE(with.out.find("(database "), std::string::npos) << with.out << with.err;
}

TEST_F(RemoteServerTest, PathsOutsideTheDataDirectoryAreRefusedAndLogged) {
    ServerProcess server = StartServer("paths.log");
    ASSERT_NE(server.port(), 0) << server.log();
    WriteServers(Entry("Remote", server.port()));
    struct Case {
        std::string file;
        store::Status status;
        const char* logged; // the reason in the server's log
    };
    const Case cases[] = {
        {"../secret/key.txt", store::kBadPath, "\"../secret/key.txt\""},
        {"projects/../../secret", store::kBadPath, "\"projects/../../secret\""},
        {"/etc/passwd", store::kBadPath, "an absolute path"},
        {"\\etc\\passwd", store::kBadPath, "an absolute path"},
        {"escape/key.txt", store::kBadPath, "leads out of the data directory"},
        {std::string(5000, 'a'), store::kBadPath, "longer than 4096 bytes"},
        // Larger than any request the server takes: refused before it is decoded.
        {std::string(20000, 'b'), store::kInvalidArgument, nullptr},
        {"missing.vlt", store::kFileNotFound, nullptr},
    };
    for (const Case& c : cases) {
        store::DbHandle db = 0;
        const store::Status s = store::OpenDatabase(("Remote!!" + c.file).c_str(), &db);
        EXPECT_EQ(s, c.status | store::kStatusRemote) << c.file.substr(0, 40);
        EXPECT_EQ(db, 0u);
        if (c.logged) {
            EXPECT_NE(server.log().find(c.logged), std::string::npos) << c.file.substr(0, 40);
        }
    }
    // Still serving, and inside the folder ".." is allowed.
    store::DbHandle db = 0;
    ASSERT_EQ(store::OpenDatabase("Remote!!projects\\..\\discuss.vlt", &db), store::kNoError);
    store::CloseDatabase(db);
    EXPECT_EQ(server.Stop(), 0);
}

TEST_F(RemoteServerTest, TlsAndClientCertificates) {
    ServerProcess tls =
        StartServer("tls.log", {"--cert", Cert("server.pem"), "--key", Cert("server.key")});
    ServerProcess mutual =
        StartServer("mutual.log", {"--cert", Cert("server.pem"), "--key", Cert("server.key"),
                                   "--client-ca", Cert("ca.pem")});
    ASSERT_NE(tls.port(), 0) << tls.log();
    ASSERT_NE(mutual.port(), 0) << mutual.log();
    const std::string trust = "Certificate=" + Cert("ca.pem") + "\n";
    const auto as = [&](const std::string& who) {
        return trust + "ClientCertificate=" + Cert(who + ".pem") +
               "\nClientKey=" + Cert(who + ".key") + "\n";
    };
    WriteServers(Entry("Plain", tls.port()) + Entry("Tls", tls.port(), trust) +
                 Entry("Anonymous", mutual.port(), trust) +
                 Entry("Stranger", mutual.port(), as("stranger")) +
                 Entry("Client", mutual.port(), as("client")) +
                 Entry("Ann", mutual.port(), as("annlee")) +
                 Entry("Distrust", tls.port(), "Certificate=" + Cert("otherca.pem") + "\n"));
    struct Case {
        const char* server;
        store::Status status;
        const ServerProcess* process;
        const char* logged; // the reason the server logs with the client's address
    };
    for (const Case c : {
             Case{"Plain", store::kServerRefused, &tls, ": connection: it does not speak TLS"},
             Case{"Tls", store::kNoError, &tls, nullptr},
             Case{"Anonymous", store::kServerRefused, &mutual,
                  ": connection: it presented no client certificate"},
             Case{"Stranger", store::kServerRefused, &mutual,
                  ": connection: its client certificate is not signed by the authority"},
             Case{"Client", store::kNoError, &mutual, nullptr},
             // The client refuses the server: nothing of the server's is wrong.
             Case{"Distrust", store::kServerNotTrusted, &tls, nullptr},
         }) {
        store::ServerLatency latency;
        EXPECT_EQ(store::GetServerLatency(c.server, &latency), c.status) << c.server;
        if (c.logged) {
            const std::string log = c.process->log();
            const std::size_t at = log.find(c.logged);
            ASSERT_NE(at, std::string::npos) << c.server << "\n" << log;
            // The line names the client by its address.
            const std::size_t line = log.rfind('\n', at) + 1;
            EXPECT_NE(log.substr(line, at - line).find("warning: refused ipv4:127.0.0.1:"),
                      std::string::npos)
                << log.substr(line, at - line);
        }
    }
    // One line per refused connection: the plaintext client's attempts are few and bounded.
    const std::string tlsLog = tls.log();
    std::size_t plainLines = 0;
    for (std::size_t at = tlsLog.find("it does not speak TLS"); at != std::string::npos;
         at = tlsLog.find("it does not speak TLS", at + 1))
        ++plainLines;
    EXPECT_GE(plainLines, 1u);
    EXPECT_LE(plainLines, 3u) << tlsLog;
    // The framework's own lines are not copied into the log beside ours.
    EXPECT_EQ(tlsLog.find("ssl_transport_security"), std::string::npos) << tlsLog;
    // Through the mutual server, databases read as through any other.
    store::DbHandle db = 0;
    EXPECT_EQ(store::OpenDatabase("Client!!discuss.vlt", &db), store::kNoError);
    store::CloseDatabase(db);
    EXPECT_EQ(store::OpenDatabase("Stranger!!discuss.vlt", &db), store::kServerRefused);

    // The link file projects.dir allows "CN=Ann Lee/OU=Sales/O=Acme" and "Sales Team": with
    // client certificates only they enter; without them the server knows no names to check.
    for (const char* path : {"Client!!projects", "Client!!projects\\plans.vlt",
                             "Client!!sub\\..\\projects\\plans.vlt"}) {
        EXPECT_EQ(store::OpenDatabase(path, &db), store::kFileAccess | store::kStatusRemote)
            << path;
    }
    EXPECT_NE(mutual.log().find("\"projects\" does not allow client"), std::string::npos)
        << mutual.log();
    for (const char* path :
         {"Ann!!projects", "Ann!!projects\\plans.vlt", "Tls!!projects\\plans.vlt"}) {
        EXPECT_EQ(store::OpenDatabase(path, &db), store::kNoError) << path;
        store::CloseDatabase(db);
    }
}

TEST_F(RemoteServerTest, AServerThatStopsAnsweringGivesAnErrorNodeNotAHang) {
    ServerProcess stopped = StartServer("stopped.log");
    ServerProcess killed = StartServer("killed.log");
    ASSERT_NE(stopped.port(), 0);
    ASSERT_NE(killed.port(), 0);
    WriteServers(Entry("Stopped", stopped.port()) + Entry("Killed", killed.port()) +
                 "[Patient]\nAddress=127.0.0.1:" + std::to_string(stopped.port()) +
                 "\nTimeout=60000\n");
    // Both answered once, so the client holds a connection to each.
    store::ServerLatency latency;
    ASSERT_EQ(store::GetServerLatency("Stopped", &latency), store::kNoError);
    ASSERT_EQ(store::GetServerLatency("Killed", &latency), store::kNoError);
    kill(stopped.pid(), SIGSTOP);
    killed.Kill();
    for (const char* name : {"Stopped", "Killed"}) {
        const auto begin = std::chrono::steady_clock::now();
        const Dump d = RunDump(std::string(name) + "!!");
        const auto took = std::chrono::steady_clock::now() - begin;
        EXPECT_EQ(d.status, 0) << name << d.err;
        EXPECT_NE(d.out.find("Unable to open network path " + std::string(name) +
                             "!!: The server is not responding"),
                  std::string::npos)
            << name << "\n"
            << d.out;
        EXPECT_NE(d.out.find("(error "), std::string::npos);
        // Two calls at most, each within its 1.5 s deadline.
        EXPECT_LT(took, 5s) << name;
    }

    // A break from the user ends a call long before its deadline.
    static std::chrono::steady_clock::time_point breakAt;
    breakAt = std::chrono::steady_clock::now() + 300ms;
    store::SetBreakHook([](void*) { return std::chrono::steady_clock::now() >= breakAt ? 1 : 0; },
                        nullptr);
    const auto begin = std::chrono::steady_clock::now();
    store::DbHandle db = 0;
    EXPECT_EQ(store::OpenDatabase("Patient!!discuss.vlt", &db), store::kCancelled);
    EXPECT_LT(std::chrono::steady_clock::now() - begin, 5s);
    store::SetBreakHook(nullptr, nullptr);
}

} // namespace

namespace {

// Clients that give up in the middle of their calls (a deadline of one millisecond) leave the
// server serving the others.
TEST_F(RemoteServerTest, ClientsThatGiveUpLeaveTheServerHealthy) {
    ServerProcess server = StartServer("hasty.log");
    ASSERT_NE(server.port(), 0) << server.log();
    WriteServers(Entry("Remote", server.port()) +
                 "[Hasty]\nAddress=127.0.0.1:" + std::to_string(server.port()) + "\nTimeout=1\n");
    for (int i = 0; i < 20; ++i)
        RunDump("Hasty!!");
    const Dump d = RunDump("Remote!!");
    EXPECT_EQ(d.status, 0) << d.err;
    EXPECT_NE(d.out.find("(item "), std::string::npos);
    EXPECT_EQ(server.Stop(), 0) << server.log();
}

} // namespace
