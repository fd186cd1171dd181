// Throughput of the dump writer on a large hex dump, beside the system's own hex dumper on the
// same bytes for scale. Both write a file in the temporary directory.
#include <benchmark/benchmark.h>

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

void BM_DumpWriterHexDump(benchmark::State& state) {
    const auto& bytes = Bytes();
    const std::string path = TempPath("delvex_bench_dump.txt").string();
    for (auto _ : state) {
        CDumpWriter writer(path);
        writer.Begin();
        writer.HexDumpField("data", bytes.data(), bytes.size());
        writer.End();
        if (!writer.Close())
            state.SkipWithError(writer.ErrorText().c_str());
    }
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
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("xxd failed or is not installed");
            break;
        }
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bytes.size()));
    std::filesystem::remove(in);
    std::filesystem::remove(out);
}
BENCHMARK(BM_XxdSameBytes)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace
