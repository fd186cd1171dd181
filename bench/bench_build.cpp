// vlt-build on a large generated description: its peak memory against the description's size
// (the reader is to hold far less than the whole description's values at once).
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

// Notes like a generated document set: summary texts, a number, a time, a text list and a body.
std::string WriteDescription(int notes) {
    const std::string path =
        (fs::temp_directory_path() / ("delvex-bench-build-" + std::to_string(getpid()) + ".json"))
            .string();
    std::ofstream out(path);
    out << "{ \"title\": \"Build Bench\", \"notes\": [\n";
    for (int i = 0; i < notes; ++i) {
        out << (i ? ",\n" : "") << "  { \"id\": " << 4 * (i + 1) << ", \"items\": [\n"
            << "    { \"name\": \"Form\", \"text\": \"Memo\" },\n"
            << "    { \"name\": \"Subject\", \"text\": \"Note " << i << "\" },\n"
            << "    { \"name\": \"Size\", \"number\": " << i * 1.5 << " },\n"
            << "    { \"name\": \"When\", \"time\": \"2020-01-" << (i % 28 < 9 ? "0" : "")
            << 1 + i % 28 << "T12:00:00Z\" },\n"
            << "    { \"name\": \"Tags\", \"textlist\": [\"a" << i % 7 << "\", \"b" << i % 11
            << "\"] },\n"
            << "    { \"name\": \"Body\", \"text\": \"" << std::string(100, 'x') << "\" } ] }";
    }
    out << "\n] }\n";
    return path;
}

void BM_BuildLargeDescription(benchmark::State& state) {
    const std::string json = WriteDescription(static_cast<int>(state.range(0)));
    const std::string db = json + ".vlt";
    long peakKiB = 0;
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const pid_t pid = fork();
        if (pid == 0) {
            // Another build of the program (an older one, for a comparison) may be named.
            const char* tool = std::getenv("DELVEX_VLT_BUILD");
            execl(tool ? tool : DELVEX_VLT_BUILD, "vlt-build", "-o", db.c_str(), json.c_str(),
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        int status = 0;
        rusage usage{};
        if (pid < 0 || wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) ||
            WEXITSTATUS(status) != 0) {
            state.SkipWithError(("vlt-build failed on " + json).c_str());
            return; // the description is left for a look
        }
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        peakKiB = usage.ru_maxrss;
    }
    const double size = static_cast<double>(fs::file_size(json));
    state.counters["description_MB"] = size / 1e6;
    state.counters["peak_MB"] = peakKiB * 1024.0 / 1e6;
    state.counters["peak_per_description"] = peakKiB * 1024.0 / size;
    state.counters["seconds"] = seconds;
    std::error_code ec;
    fs::remove(json, ec);
    fs::remove(db, ec);
}
BENCHMARK(BM_BuildLargeDescription)->Arg(300000)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
