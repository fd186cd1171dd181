// Throughput of the dump writer on a large hex dump, beside the system's own hex dumper on the
// same bytes for scale. Both write a file in the temporary directory.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "output/DumpWriter.h"

namespace {

constexpr std::size_t kDumpBytes = 64u << 20;

const std::vector<std::uint8_t>& Bytes() {
    static const std::vector<std::uint8_t> bytes = [] {
        std::vector<std::uint8_t> b(kDumpBytes);
        std::mt19937 random(12345);
        for (auto& x : b)
            x = std::uint8_t(random());
        return b;
    }();
    return bytes;
}

std::filesystem::path TempPath(const char* name) {
    return std::filesystem::temp_directory_path() / name;
}

// Seconds of one hex dump by the dump writer, for the ratio the xxd run reports after it.
double gWriterSeconds = 0;

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_DumpWriterHexDump(benchmark::State& state) {
    const auto& bytes = Bytes();
    const std::string path = TempPath("delvex_bench_dump.txt").string();
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        CDumpWriter writer(path);
        writer.Begin();
        writer.HexDumpField("data", bytes.data(), bytes.size());
        writer.End();
        if (!writer.Close())
            state.SkipWithError(writer.ErrorText().c_str());
        total += SecondsSince(start);
    }
    gWriterSeconds = total / double(state.iterations());
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bytes.size()));
    state.counters["output_MB"] = double(std::filesystem::file_size(path)) / (1 << 20);
    std::filesystem::remove(path);
}
BENCHMARK(BM_DumpWriterHexDump)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_XxdSameBytes(benchmark::State& state) {
    const auto& bytes = Bytes();
    const auto in = TempPath("delvex_bench_in.bin");
    const auto out = TempPath("delvex_bench_xxd.txt");
    {
        std::ofstream file(in, std::ios::binary);
        file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    const std::string command = "xxd '" + in.string() + "' > '" + out.string() + "'";
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("xxd failed or is not installed");
            break;
        }
        total += SecondsSince(start);
    }
    // How many times faster the dump writer is on the same bytes.
    if (gWriterSeconds > 0 && state.iterations() > 0)
        state.counters["writer_speed_ratio"] = total / double(state.iterations()) / gWriterSeconds;
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bytes.size()));
    std::filesystem::remove(in);
    std::filesystem::remove(out);
}
BENCHMARK(BM_XxdSameBytes)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace
