// Sorts any number of byte records within a fixed memory budget. Records gather in memory until
// the budget is full; then they are sorted and written to a temporary file as one sorted run
// (the file is removed as soon as it is made, so nothing is left behind), and the runs are
// merged as the records are read back. The order is stable: records that compare equal come out
// in the order they went in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

class CExternalSorter {
public:
    using Record = std::span<const std::uint8_t>;
    // True when a goes before b.
    using Less = std::function<bool(Record a, Record b)>;

    struct Limits {
        // Bytes of records held in memory (with their index), and of read buffers while merging.
        std::size_t budget = std::size_t(8) << 20;
        // Bytes read from the temporary file at a time for one run (more only for a longer
        // record).
        std::size_t readBlock = std::size_t(64) << 10;
    };

    CExternalSorter(Less less, Limits limits);
    ~CExternalSorter();
    CExternalSorter(const CExternalSorter&) = delete;
    CExternalSorter& operator=(const CExternalSorter&) = delete;

    // False once the sorter has failed (Error says why): a run could not be written. Records
    // of more than 4 GiB are refused.
    bool Add(Record record);
    // Ends the input and makes the records ready to be read in order.
    bool Finish();
    // The next record in order, valid until the next call; false at the end or on a failure.
    bool Next(Record* record);

    // Empty while nothing failed.
    const std::string& Error() const { return error_; }
    // How many sorted runs went to the temporary file, merged runs included.
    std::size_t RunsWritten() const { return runsWritten_; }

private:
    struct Slot {
        std::size_t offset;
        std::size_t length;
    };
    struct Run {
        std::uint64_t offset;
        std::uint64_t length;
    };
    class RunReader;

    bool Fail(const char* what);
    bool SpillMemory();
    bool WriteRun(const std::vector<Record>& records);
    bool Append(const std::uint8_t* bytes, std::size_t length);
    bool Flush();
    bool MergeRuns(std::size_t first, std::size_t count, Run* merged);
    bool OpenReaders(std::size_t first, std::size_t count);
    // The index of the reader whose record goes first (the earliest run of equal ones), or -1.
    int Smallest() const;
    std::size_t MemoryUsed() const;
    std::size_t FanIn() const;

    Less less_;
    Limits limits_;
    std::string error_;
    bool finished_ = false;

    std::vector<std::uint8_t> bytes_; // the records held in memory, end to end
    std::vector<Slot> slots_;
    std::size_t nextSlot_ = 0; // reading back without runs

    struct FileCloser {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, FileCloser> file_;
    std::uint64_t fileEnd_ = 0;
    std::vector<std::uint8_t> writeBuffer_;
    std::vector<Run> runs_;
    std::size_t runsWritten_ = 0;
    std::vector<std::unique_ptr<RunReader>> readers_;
    int last_ = -1; // the reader whose record was handed out last
};
