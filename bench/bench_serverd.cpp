// 32 clients at once reading through one vlt-serverd what a dump of the sample data directory
// reads: each directory's listing, and every database whole, in the blocks the engine's file
// system asks for. Reports requests per second, each client's median and 99th percentile
// request time (averaged over the clients), and the server's peak memory.
#include <benchmark/benchmark.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <regex>
#include <sstream>
#include <thread>

#include "vlt/remote/Client.h"

namespace {

namespace fs = std::filesystem;

struct Server {
    pid_t pid = 0;
    int port = 0;
    std::string log;
    ~Server() {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
    }
};

Server& TheServer() {
    static Server server;
    static std::once_flag once;
    std::call_once(once, [] {
        server.log =
            (fs::temp_directory_path() / ("bench-serverd-" + std::to_string(getpid()))).string();
        server.pid = fork();
        if (server.pid == 0) {
            std::FILE* f = std::freopen(server.log.c_str(), "w", stderr);
            (void)f;
            execl(DELVEX_SERVERD, DELVEX_SERVERD, "--data-dir", DELVEX_SAMPLE_DATA_DIR, "--listen",
                  "127.0.0.1:0", "--log-level", "info", nullptr);
            _exit(127);
        }
        const std::regex port("port ([0-9]+)");
        for (int i = 0; i < 400 && server.port == 0; ++i) {
            std::ifstream in(server.log);
            std::stringstream text;
            text << in.rdbuf();
            std::smatch m;
            const std::string s = text.str();
            if (std::regex_search(s, m, port))
                server.port = std::stoi(m[1]);
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(25));
        }
    });
    return server;
}

// The server's peak resident memory in KiB.
double PeakKiB(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stod(line.substr(6));
    return 0;
}

struct Work {
    std::vector<std::string> directories; // relative, '\' between parts
    std::vector<std::string> databases;
};

Work WhatADumpReads() {
    Work w;
    w.directories.push_back("");
    const fs::path root = DELVEX_SAMPLE_DATA_DIR;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        std::string rel = fs::relative(e.path(), root).string();
        std::replace(rel.begin(), rel.end(), '/', '\\');
        if (e.is_directory())
            w.directories.push_back(rel);
        else if (e.path().extension() == ".vlt" || e.path().extension() == ".vtf")
            w.databases.push_back(rel);
    }
    return w;
}

void BM_ThirtyTwoClients(benchmark::State& state) {
    Server& server = TheServer();
    if (server.port == 0) {
        state.SkipWithError("vlt-serverd did not start");
        return;
    }
    vlt::remote::ClientConfig config;
    config.address = "127.0.0.1:" + std::to_string(server.port);
    std::string problem;
    auto client = vlt::remote::Client::Create(config, &problem);
    static const Work work = WhatADumpReads();
    std::vector<double> times;
    std::int64_t requests = 0;
    bool failed = false;
    const auto timed = [&](auto call) {
        const auto begin = std::chrono::steady_clock::now();
        failed = call() != store::kNoError || failed;
        times.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - begin)
                .count());
        ++requests;
    };
    for (auto _ : state) {
        std::vector<std::string> summaries;
        for (const std::string& dir : work.directories)
            timed([&] { return client->List(dir, 0xC005, &summaries); });
        for (const std::string& db : work.databases) {
            bool isDir = false;
            std::uint64_t size = 0;
            timed([&] { return client->Stat(db, &isDir, &size); });
            std::string data;
            for (std::uint64_t at = 0; at < size; at += vlt::remote::kReadChunk)
                timed([&] { return client->Read(db, at, vlt::remote::kReadChunk, &data); });
        }
    }
    if (failed)
        state.SkipWithError("a request failed");
    std::sort(times.begin(), times.end());
    const auto at = [&](double q) {
        return times.empty() ? 0.0 : times[std::size_t(q * double(times.size() - 1))];
    };
    state.counters["requests_per_s"] =
        benchmark::Counter(double(requests), benchmark::Counter::kIsRate);
    state.counters["p50_us"] = benchmark::Counter(at(0.50), benchmark::Counter::kAvgThreads);
    state.counters["p99_us"] = benchmark::Counter(at(0.99), benchmark::Counter::kAvgThreads);
    state.counters["server_peak_KiB"] =
        benchmark::Counter(PeakKiB(server.pid), benchmark::Counter::kAvgThreads);
}

BENCHMARK(BM_ThirtyTwoClients)->Threads(32)->UseRealTime()->MinTime(3.0);

} // namespace
