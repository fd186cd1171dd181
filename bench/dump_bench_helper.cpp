// The dump benchmark's helper, a small program so that what it measures is not inflated by the
// benchmark's own memory (a child started from a large process counts that process's pages in
// its peak):
//   dump_bench_helper describe OUT.json      writes the benchmark database's description
//   dump_bench_helper run OUT PROGRAM ARGS   runs PROGRAM with its output into OUT and prints
//                                            "SECONDS PEAK-KIB STATUS" on standard error
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>

namespace {

constexpr int kDocuments = 100000; // and one form
constexpr std::uint32_t kSeed = 20261208;

// The description's text: the engine's random numbers are fixed by the standard (mt19937), the
// library's distributions are not, so values are taken from the raw numbers.
class Generator {
public:
    std::string Description() {
        std::string j;
        j.reserve(std::size_t(kDocuments) * 1400);
        j += "{ \"id\": \"2020-01-01T00:00:00.00Z\", \"title\": \"Dump Bench\", \"notes\": [\n";
        j += "  { \"class\": \"form\", \"items\": [ { \"name\": \"$TITLE\", \"text\": \"Memo\" },"
             " { \"name\": \"$Flags\", \"text\": \"\" } ] }";
        for (int i = 0; i < kDocuments; ++i) {
            j += ",\n";
            Note(i, j);
        }
        j += "\n] }\n";
        return j;
    }

private:
    std::uint32_t Next(std::uint32_t n) { return random_() % n; }
    std::string Word() {
        static constexpr const char* kWords[] = {
            "budget", "report", "quarter", "figures", "meeting", "review", "project", "plan",
            "status", "draft",  "final",   "team",    "owner",   "date",   "cost",    "risk"};
        return kWords[Next(16)];
    }
    std::string Words(int n) {
        std::string s;
        for (int i = 0; i < n; ++i) {
            if (i)
                s += ' ';
            s += Word();
        }
        return s;
    }
    std::string Time() {
        char t[40];
        std::snprintf(t, sizeof t, "\"20%02u-%02u-%02uT%02u:%02u:%02u.%02uZ\"", 10 + Next(15),
                      1 + Next(12), 1 + Next(28), Next(24), Next(60), Next(60), Next(100));
        return t;
    }
    std::string Person() {
        static constexpr const char* kNames[] = {"Ada Quill", "Ben Tiller", "Cora Vance",
                                                 "Dan Marsh", "Eve Sorrel", "Finn Oakes"};
        return std::string("CN=") + kNames[Next(6)] + "/O=Bench";
    }
    void Note(int i, std::string& j) {
        static constexpr const char* kStatus[] = {"Draft", "Open", "Done", "Closed"};
        static constexpr const char* kFonts[] = {
            "Roman 10 pt Normal Black", "Swiss 12 pt Bold Black", "Typewriter 10 pt Italic Blue"};
        j += "  { \"created\": " + Time() + ", \"modified\": " + Time() + ", \"items\": [\n";
        j += "    { \"name\": \"Form\", \"text\": \"Memo\" },\n";
        j += "    { \"name\": \"Subject\", \"flags\": [\"summary\"], \"text\": \"Note " +
             std::to_string(i) + " " + Words(3 + int(Next(4))) + "\" },\n";
        j += "    { \"name\": \"Status\", \"text\": \"" + std::string(kStatus[Next(4)]) + "\" },\n";
        j += "    { \"name\": \"Size\", \"number\": " + std::to_string(Next(1000000)) + "." +
             std::to_string(Next(100)) + " },\n";
        j += "    { \"name\": \"Due\", \"time\": " + Time() + " },\n";
        j += "    { \"name\": \"Categories\", \"textlist\": [";
        for (int k = 0, n = 1 + int(Next(4)); k < n; ++k)
            j += (k ? ", \"" : "\"") + Words(1 + int(Next(2))) + "\"";
        j += "] },\n";
        j += "    { \"name\": \"Scores\", \"numbers\": [";
        for (int k = 0, n = 2 + int(Next(5)); k < n; ++k)
            j += (k ? ", " : "") + std::to_string(int(Next(20000)) - 10000);
        j += "] },\n";
        j += "    { \"name\": \"Authors\", \"flags\": [\"summary\", \"names\"], \"textlist\": [";
        for (int k = 0, n = 1 + int(Next(3)); k < n; ++k)
            j += (k ? ", \"" : "\"") + Person() + "\"";
        j += "] },\n";
        j += "    { \"name\": \"Reviewed\", \"times\": [" + Time() + ", " + Time() + "] },\n";
        // 13 records: two paragraphs of styled runs.
        const std::string font = kFonts[Next(3)];
        auto text = [&](int words) {
            return "{ \"record-type\": \"Text\", \"font-id\": \"" + font + "\", \"text\": \"" +
                   Words(words) + "\" }, ";
        };
        j += "    { \"name\": \"Body\", \"type\": 1, \"records\": [ ";
        j += "{ \"record-type\": \"PabDefinition\", \"pab-id\": 1, \"left-margin\": " +
             std::to_string(720 * (1 + Next(3))) + ", \"first-line-left-margin\": 720 }, ";
        j +=
            "{ \"record-type\": \"PabDefinition\", \"pab-id\": 2, \"justify-mode\": \"Center\" }, ";
        j += "{ \"record-type\": \"Paragraph\" }, { \"record-type\": \"PabReference\", "
             "\"pab-id\": 1 }, ";
        j += text(4 + int(Next(8)));
        j += "{ \"record-type\": \"TextEffect\", \"font-effect-id\": \"Swiss 12 pt Bold Red\" }, ";
        j += text(2 + int(Next(6)));
        j += text(6 + int(Next(10)));
        j += "{ \"record-type\": \"Paragraph\" }, { \"record-type\": \"PabReference\", "
             "\"pab-id\": 2 }, ";
        j += text(3 + int(Next(5)));
        j += text(8 + int(Next(12)));
        j += "{ \"record-type\": \"Text\", \"font-id\": \"Roman 10 pt Normal Black\", \"text\": "
             "\"End of note " +
             std::to_string(i) + "\" } ] }\n  ] }";
    }

    std::mt19937 random_{kSeed};
};

int RunMeasured(char** argv) {
    const int out = open(argv[0], O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0)
        return 2;
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out, 1);
        close(out);
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    close(out);
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid)
        return 2;
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::fprintf(stderr, "%.6f %ld %d\n", seconds, usage.ru_maxrss,
                 WIFEXITED(status) ? WEXITSTATUS(status) : 128);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "describe" && argc == 3) {
        std::ofstream file(argv[2], std::ios::binary);
        file << Generator().Description();
        return file ? 0 : 1;
    }
    if (mode == "run" && argc >= 4)
        return RunMeasured(argv + 2);
    std::fprintf(stderr, "usage: dump_bench_helper describe OUT.json | run OUT PROGRAM ARGS\n");
    return 2;
}
