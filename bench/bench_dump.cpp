// The dump tool's work on a database of 100,001 notes of ten items each (texts, numbers, times,
// a text list, a number list, a names item and a rich-text body of 13 records), built by
// vlt-build from a description generated here from a fixed seed, so that every run dumps the
// same bytes. In one run, in turn, three times each: the text dump with collapsed data, the
// JSON export, the database engine's own text dump of the same file and xxd of the same file.
// Reports wall time (the median of the three), text written, text per second and peak memory
// of each, and their ratios to the engine's dump. Also the memory each tree node takes while
// the database is expanded. And the peak memory of the dump of a small sample database against the
// engine's, where the program's own fixed part weighs most.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/DelvexDoc.h"
#include "app/HeadlessPlatform.h"
#include "common/MemorySettings.h"
#include "store/api/Session.h"
#include "treelist/TreeListCore.h"
#include "treelist/TreeWalker.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr int kNotes = 100001;

struct Run {
    double seconds = 0;
    long peakKiB = 0;
    bool ok = false;
};

// Runs a program with its standard output into a file, through the small helper that measures
// its wall time and peak memory.
Run RunProgram(const std::vector<std::string>& args, const std::string& out) {
    std::vector<std::string> all = {DELVEX_DUMP_HELPER, "run", out};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (const auto& a : all)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const std::string report = out + ".run";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, report.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    Run run;
    pid_t pid = 0;
    int status = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0 &&
        waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0) {
        std::ifstream in(report);
        int exitStatus = -1;
        in >> run.seconds >> run.peakKiB >> exitStatus;
        run.ok = bool(in) && exitStatus == 0;
    }
    posix_spawn_file_actions_destroy(&actions);
    fs::remove(report);
    return run;
}

const std::string& Database() {
    // Never destroyed: the file is removed at exit, after static objects are gone.
    static const std::string& path = *new std::string([] {
        const std::string base =
            (fs::temp_directory_path() / ("delvex-bench-dump-" + std::to_string(getpid())))
                .string();
        const std::string description = base + ".vlt.json";
        const std::string p = base + ".vlt";
        const bool built =
            RunProgram({DELVEX_DUMP_HELPER, "describe", description}, "/dev/null").ok &&
            RunProgram({DELVEX_VLT_BUILD, "-o", p, description}, "/dev/null").ok;
        fs::remove(description);
        if (!built)
            std::fprintf(stderr, "bench_dump: the database could not be built\n");
        std::atexit([] { fs::remove(Database()); });
        return p;
    }());
    return path;
}

struct Tool {
    const char* name;
    std::vector<std::string> args;
    std::vector<double> seconds;
    long peakKiB = 0;
    double bytes = 0;
};

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

void BM_DumpVsEngine(benchmark::State& state) {
    const std::string db = Database();
    const std::string out = db + ".out";
    std::vector<Tool> tools{{
        {"dump", {DELVEX_DUMP, "--include-collapsed", db}, {}, 0, 0},
        {"json", {DELVEX_DUMP, "--include-collapsed", "--format", "json", db}, {}, 0, 0},
        {"sqlite3", {"sqlite3", db, ".dump"}, {}, 0, 0},
        {"xxd", {"xxd", db}, {}, 0, 0},
    }};
    // Another build of the dump tool (DELVEX_DUMP_OTHER), run in the same rounds, so that a
    // change is measured against the code before it under the same load.
    if (const char* other = std::getenv("DELVEX_DUMP_OTHER")) {
        tools.push_back({"dump0", {other, "--include-collapsed", db}, {}, 0, 0});
        tools.push_back(
            {"json0", {other, "--include-collapsed", "--format", "json", db}, {}, 0, 0});
    }
    for (auto _ : state) {
        for (int round = 0; round < 3; ++round) {
            for (Tool& t : tools) {
                const Run run = RunProgram(t.args, out);
                if (!run.ok) {
                    state.SkipWithError((std::string(t.name) + " failed").c_str());
                    return;
                }
                t.seconds.push_back(run.seconds);
                t.peakKiB = std::max(t.peakKiB, run.peakKiB);
                t.bytes = double(fs::file_size(out));
            }
        }
    }
    fs::remove(out);
    const Tool& engine = tools[2];
    const double engineSeconds = Median(engine.seconds);
    std::printf("database: %.1f MB, %d notes\n", double(fs::file_size(db)) / 1e6, kNotes);
    std::printf("%-8s %9s %10s %9s %9s | %10s %10s %10s\n", "tool", "wall s", "text MB", "MB/s",
                "peak MiB", "time/sql", "MB/s /sql", "peak /sql");
    for (const Tool& t : tools) {
        const double s = Median(t.seconds);
        std::printf("%-8s %9.3f %10.1f %9.1f %9.1f | %9.2fx %9.2fx %9.2fx\n", t.name, s,
                    t.bytes / 1e6, t.bytes / 1e6 / s, double(t.peakKiB) / 1024, s / engineSeconds,
                    (t.bytes / s) / (engine.bytes / engineSeconds),
                    double(t.peakKiB) / double(engine.peakKiB));
        const std::string n = t.name;
        state.counters[n + "_s"] = s;
        state.counters[n + "_MB"] = t.bytes / 1e6;
        state.counters[n + "_peak_MiB"] = double(t.peakKiB) / 1024;
    }
    for (std::size_t i = 0; i < tools.size(); ++i) {
        if (i == 2 || i == 3)
            continue; // the reference tools themselves
        const Tool& t = tools[i];
        const std::string n = t.name;
        const double s = Median(t.seconds);
        state.counters[n + "_text_per_s_ratio"] = (t.bytes / s) / (engine.bytes / engineSeconds);
        state.counters[n + "_peak_ratio"] = double(t.peakKiB) / double(engine.peakKiB);
    }
}
BENCHMARK(BM_DumpVsEngine)->Unit(benchmark::kMillisecond)->Iterations(1);

// The peak memory of a dump of a small database (a sample of 48 KiB), where what the program
// itself keeps resident (its code, its start-up) weighs most, against the engine's dump of the
// same file. Peaks of one program vary from run to run by a few hundred KiB with the page cache:
// each tool runs five times, in turn, and the median counts.
void BM_SmallDumpPeak(benchmark::State& state) {
    const std::string db = std::string(DELVEX_SAMPLE_DATA_DIR) + "/discuss.vlt";
    const std::string out =
        (fs::temp_directory_path() / ("delvex-bench-small-" + std::to_string(getpid()))).string();
    struct Peaks {
        const char* name;
        std::vector<std::string> args;
        std::vector<double> kib;
    };
    std::vector<Peaks> tools{{
        {"small_dump", {DELVEX_DUMP, "--include-collapsed", db}, {}},
        {"small_json", {DELVEX_DUMP, "--include-collapsed", "--format", "json", db}, {}},
        {"small_sqlite3", {"sqlite3", db, ".dump"}, {}},
    }};
    if (const char* other = std::getenv("DELVEX_DUMP_OTHER")) {
        tools.push_back({"small_dump0", {other, "--include-collapsed", db}, {}});
    }
    for (auto _ : state) {
        for (int round = 0; round < 5; ++round) {
            for (Peaks& t : tools) {
                const Run run = RunProgram(t.args, out);
                if (!run.ok) {
                    state.SkipWithError((std::string(t.name) + " failed").c_str());
                    return;
                }
                t.kib.push_back(double(run.peakKiB));
            }
        }
    }
    fs::remove(out);
    const double engine = Median(tools[2].kib);
    std::printf("%-14s %9s %10s\n", "tool (48 KiB)", "peak MiB", "peak /sql");
    for (const Peaks& t : tools) {
        const double peak = Median(t.kib);
        std::printf("%-14s %9.2f %9.2fx\n", t.name, peak / 1024, peak / engine);
        const std::string n = t.name;
        state.counters[n + "_peak_MiB"] = peak / 1024;
        if (n != "small_sqlite3")
            state.counters[n + "_peak_ratio"] = peak / engine;
    }
}
BENCHMARK(BM_SmallDumpPeak)->Unit(benchmark::kMillisecond)->Iterations(1);

long ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

// The memory the tree takes per node while the whole database is expanded.
void BM_ExpandedBytesPerNode(benchmark::State& state) {
    const std::string db = Database();
    store::SessionStart();
    for (auto _ : state) {
        CMemorySettings settings;
        CDelvexDoc doc(&settings);
        doc.OpenDocument(db);
        CHeadlessPlatform platform;
        CTreeListCore control(platform);
        CDocNode* root = doc.TakeRootsInto(control);
        const long before = ResidentBytes();
        CTreeWalker walker(*root, CTreeWalker::kReportBoth);
        unsigned long nodes = 0;
        bool in = false;
        // Expands every node for good (no collapsing on the way out), as a user would.
        for (CTreeListNode* n = walker.Next(&in); n; n = walker.Next(&in)) {
            if (in) {
                ++nodes;
                if (!n->HasChildren() && n->IsExpandable()) {
                    n->CreateChildren();
                }
            }
        }
        const long after = ResidentBytes();
        state.counters["nodes"] = static_cast<double>(nodes);
        state.counters["bytes_per_node"] =
            nodes ? static_cast<double>(after - before) / static_cast<double>(nodes) : 0.0;
    }
    store::SessionEnd();
}
BENCHMARK(BM_ExpandedBytesPerNode)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
