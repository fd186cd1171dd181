// The dump tool's work on a database of 100,000 notes: the dump with collapsed data (time and
// peak memory), the memory each node takes while the database is expanded, and the database
// engine's own text dump of the same file for comparison.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/DelvexDoc.h"
#include "app/DumpCommand.h"
#include "app/HeadlessPlatform.h"
#include "common/MemorySettings.h"
#include "store/api/Items.h"
#include "store/api/Session.h"
#include "treelist/TreeListCore.h"
#include "treelist/TreeWalker.h"
#include "vlt/builder/Values.h"
#include "vlt/builder/Writer.h"

namespace {

namespace fs = std::filesystem;
using namespace vlt::builder;

constexpr int kNotes = 100000;

const std::string& Database() {
    static const std::string path = [] {
        const std::string p =
            (fs::temp_directory_path() / ("delvex-bench-dump-" + std::to_string(getpid()) + ".vlt"))
                .string();
        DatabaseDesc desc;
        ParseTime("2020-01-01T00:00:00Z", &desc.id);
        desc.info = "Dump Bench\n\n\n";
        desc.notes.reserve(kNotes);
        for (int i = 0; i < kNotes; ++i) {
            NoteDesc n;
            n.id = 4 * (i + 1);
            n.created = n.modified =
                store::TimeDate::FromValue(desc.id.Value() + (std::uint64_t(i) << 24));
            n.items = {
                {"Form", store::kItemSummary, TextValue("Memo")},
                {"Subject", store::kItemSummary, TextValue("Note " + std::to_string(i))},
                {"Size", 0, NumberValue(i * 1.5)},
                {"Body", 0, TextValue(std::string(100, 'x'))},
            };
            desc.notes.push_back(std::move(n));
        }
        std::string error;
        if (!WriteDatabase(desc, p, &error)) {
            std::fprintf(stderr, "bench_dump: %s\n", error.c_str());
        }
        return p;
    }();
    return path;
}

// The dump's figures, for the ratios the engine's own dump reports after it.
double gDumpSeconds = 0;
double gDumpBytes = 0;

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

long PeakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

long ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

void BM_DumpWithCollapsedData(benchmark::State& state) {
    const std::string db = Database();
    const std::string out = db + ".txt";
    for (auto _ : state) {
        std::ostringstream o, e;
        const auto start = std::chrono::steady_clock::now();
        const int status =
            dumpcommand::Run({"--include-collapsed", "-o", out, db}, o, e, std::string());
        gDumpSeconds = SecondsSince(start);
        if (status != 0) {
            state.SkipWithError(e.str().c_str());
            return;
        }
    }
    gDumpBytes = static_cast<double>(fs::file_size(out));
    state.counters["peak_MiB"] = PeakKilobytes() / 1024.0;
    state.counters["dump_bytes"] = gDumpBytes;
    state.counters["MB_per_s"] = gDumpBytes / 1e6 / gDumpSeconds;
    fs::remove(out);
}
BENCHMARK(BM_DumpWithCollapsedData)->Unit(benchmark::kMillisecond)->Iterations(1);

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

// The engine's own file dumped as text by its command-line shell into a file, for scale: the
// ratios of the dump above to it (wall time, text per second).
void BM_EngineTextDump(benchmark::State& state) {
    const std::string db = Database();
    if (std::system("command -v sqlite3 >/dev/null 2>&1") != 0) {
        state.SkipWithError("sqlite3 is not installed");
        return;
    }
    const std::string out = db + ".sql";
    const std::string command = "sqlite3 '" + db + "' .dump > '" + out + "'";
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("sqlite3 .dump failed");
            return;
        }
        seconds = SecondsSince(start);
    }
    const double bytes = static_cast<double>(fs::file_size(out));
    fs::remove(out);
    state.counters["dump_bytes"] = bytes;
    state.counters["MB_per_s"] = bytes / 1e6 / seconds;
    if (gDumpSeconds > 0) {
        state.counters["delvex_time_ratio"] = gDumpSeconds / seconds;
        state.counters["delvex_text_per_s_ratio"] = (gDumpBytes / gDumpSeconds) / (bytes / seconds);
    }
}
BENCHMARK(BM_EngineTextDump)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
