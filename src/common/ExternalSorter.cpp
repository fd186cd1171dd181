#include "common/ExternalSorter.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

namespace {

constexpr std::size_t kLengthBytes = 4; // each record in a run: u32 length (little-endian), bytes
constexpr std::size_t kMostRunsMerged = 32;

void PutLength(std::uint8_t* out, std::uint32_t n) {
    for (std::size_t i = 0; i < kLengthBytes; ++i)
        out[i] = static_cast<std::uint8_t>(n >> (8 * i));
}

std::uint32_t GetLength(const std::uint8_t* in) {
    std::uint32_t n = 0;
    for (std::size_t i = kLengthBytes; i > 0; --i)
        n = n << 8 | in[i - 1];
    return n;
}

bool SeekTo(std::FILE* file, std::uint64_t offset) {
    if (offset > std::uint64_t(std::numeric_limits<long>::max())) {
        errno = EFBIG;
        return false;
    }
    return std::fseek(file, static_cast<long>(offset), SEEK_SET) == 0;
}

} // namespace

// One sorted run read back a block at a time: never more than a block (or one longer record)
// is held, and never past the run's end.
class CExternalSorter::RunReader {
public:
    RunReader(std::FILE* file, Run run, std::size_t block)
        : file_(file), pos_(run.offset), end_(run.offset + run.length), block_(block) {}

    // Moves to the next record; false at the end of the run, or on a failure (error set).
    bool Advance(std::string* error) {
        if (at_ == have_ && pos_ == end_) {
            done_ = true;
            return false;
        }
        if (!Need(kLengthBytes, error))
            return false;
        const std::uint32_t length = GetLength(buffer_.data() + at_);
        at_ += kLengthBytes;
        if (!Need(length, error))
            return false;
        current_ = Record(buffer_.data() + at_, length);
        at_ += length;
        return true;
    }
    bool Done() const { return done_; }
    Record Current() const { return current_; }

private:
    // At least n bytes from at_ in the buffer.
    bool Need(std::size_t n, std::string* error) {
        if (have_ - at_ >= n)
            return true;
        if (have_ > at_) // an empty buffer may have no storage at all
            std::memmove(buffer_.data(), buffer_.data() + at_, have_ - at_);
        have_ -= at_;
        at_ = 0;
        const std::uint64_t left = end_ - pos_;
        if (have_ + left < n) {
            *error = "the temporary file of the sort ends inside a record";
            done_ = true;
            return false;
        }
        const std::size_t target = std::max(n, block_);
        const auto read = static_cast<std::size_t>(std::min<std::uint64_t>(left, target - have_));
        if (buffer_.size() < target)
            buffer_.resize(target);
        errno = 0;
        if (!SeekTo(file_, pos_) || std::fread(buffer_.data() + have_, 1, read, file_) != read) {
            *error = std::string("the temporary file of the sort could not be read: ") +
                     (errno ? std::strerror(errno) : "it ended early");
            done_ = true;
            return false;
        }
        pos_ += read;
        have_ += read;
        return true;
    }

    std::FILE* file_;
    std::uint64_t pos_;
    std::uint64_t end_;
    std::size_t block_;
    std::vector<std::uint8_t> buffer_;
    std::size_t at_ = 0;
    std::size_t have_ = 0;
    Record current_;
    bool done_ = false;
};

CExternalSorter::CExternalSorter(Less less, Limits limits)
    : less_(std::move(less)), limits_(limits) {
    limits_.readBlock = std::max<std::size_t>(limits_.readBlock, 16);
}

CExternalSorter::~CExternalSorter() = default;

bool CExternalSorter::Fail(const char* what) {
    if (error_.empty()) {
        error_ = what;
        if (errno)
            error_ += std::string(": ") + std::strerror(errno);
    }
    return false;
}

std::size_t CExternalSorter::MemoryUsed() const {
    return bytes_.size() + slots_.size() * sizeof(Slot);
}

std::size_t CExternalSorter::FanIn() const {
    return std::clamp<std::size_t>(limits_.budget / limits_.readBlock, 2, kMostRunsMerged);
}

bool CExternalSorter::Add(Record record) {
    if (!error_.empty())
        return false;
    errno = 0;
    if (finished_)
        return Fail("a record was added to a finished sort");
    if (record.size() > std::numeric_limits<std::uint32_t>::max())
        return Fail("a record is too long to sort");
    const std::size_t need = record.size() + sizeof(Slot);
    if (!slots_.empty() && MemoryUsed() + need > limits_.budget && !SpillMemory())
        return false;
    if (need > limits_.budget)
        return WriteRun({record}); // alone it is over the budget: a run of its own
    if (bytes_.capacity() == 0)
        bytes_.reserve(limits_.budget); // no reallocation (and no double size) while filling
    slots_.push_back({bytes_.size(), record.size()});
    bytes_.insert(bytes_.end(), record.begin(), record.end());
    return true;
}

bool CExternalSorter::SpillMemory() {
    std::stable_sort(slots_.begin(), slots_.end(), [this](const Slot& a, const Slot& b) {
        return less_(Record(bytes_.data() + a.offset, a.length),
                     Record(bytes_.data() + b.offset, b.length));
    });
    std::vector<Record> records;
    records.reserve(slots_.size());
    for (const Slot& s : slots_)
        records.emplace_back(bytes_.data() + s.offset, s.length);
    const bool written = WriteRun(records);
    bytes_.clear();
    slots_.clear();
    return written;
}

bool CExternalSorter::WriteRun(const std::vector<Record>& records) {
    errno = 0;
    if (!file_) {
        file_.reset(std::tmpfile());
        if (!file_)
            return Fail("the temporary file of the sort could not be made");
        std::setvbuf(file_.get(), nullptr, _IONBF, 0); // the sorter reads and writes in blocks
    }
    const Run run{fileEnd_, 0};
    for (const Record r : records) {
        std::uint8_t length[kLengthBytes];
        PutLength(length, static_cast<std::uint32_t>(r.size()));
        if (!Append(length, sizeof length) || !Append(r.data(), r.size()))
            return false;
    }
    if (!Flush())
        return false;
    runs_.push_back({run.offset, fileEnd_ - run.offset});
    ++runsWritten_;
    return true;
}

bool CExternalSorter::Append(const std::uint8_t* bytes, std::size_t length) {
    if (writeBuffer_.size() + length > limits_.readBlock && !Flush())
        return false;
    if (length >= limits_.readBlock) {
        writeBuffer_.assign(bytes, bytes + length); // a long record goes out at once
        return Flush();
    }
    writeBuffer_.insert(writeBuffer_.end(), bytes, bytes + length);
    return true;
}

bool CExternalSorter::Flush() {
    if (writeBuffer_.empty())
        return true;
    errno = 0;
    if (!SeekTo(file_.get(), fileEnd_) || std::fwrite(writeBuffer_.data(), 1, writeBuffer_.size(),
                                                      file_.get()) != writeBuffer_.size())
        return Fail("the temporary file of the sort could not be written");
    fileEnd_ += writeBuffer_.size();
    writeBuffer_.clear();
    if (writeBuffer_.capacity() > limits_.readBlock)
        writeBuffer_.shrink_to_fit();
    return true;
}

bool CExternalSorter::Finish() {
    if (finished_)
        return error_.empty();
    finished_ = true;
    if (!error_.empty())
        return false;
    if (runs_.empty()) {
        std::stable_sort(slots_.begin(), slots_.end(), [this](const Slot& a, const Slot& b) {
            return less_(Record(bytes_.data() + a.offset, a.length),
                         Record(bytes_.data() + b.offset, b.length));
        });
        return true;
    }
    if (!slots_.empty() && !SpillMemory())
        return false;
    bytes_ = {}; // the read buffers take the budget now
    slots_ = {};
    // Neighbouring runs merged into one keep equal records in the order they came.
    const std::size_t fanIn = FanIn();
    while (runs_.size() > fanIn) {
        std::vector<Run> merged;
        for (std::size_t first = 0; first < runs_.size(); first += fanIn) {
            const std::size_t count = std::min(fanIn, runs_.size() - first);
            Run run = runs_[first];
            if (count > 1 && !MergeRuns(first, count, &run))
                return false;
            merged.push_back(run);
        }
        runs_ = std::move(merged);
    }
    writeBuffer_ = {};
    return OpenReaders(0, runs_.size());
}

bool CExternalSorter::OpenReaders(std::size_t first, std::size_t count) {
    readers_.clear();
    last_ = -1;
    for (std::size_t i = first; i < first + count; ++i) {
        readers_.push_back(std::make_unique<RunReader>(file_.get(), runs_[i], limits_.readBlock));
        if (!readers_.back()->Advance(&error_) && !error_.empty())
            return false;
    }
    return true;
}

int CExternalSorter::Smallest() const {
    int best = -1;
    for (std::size_t i = 0; i < readers_.size(); ++i) {
        if (readers_[i]->Done())
            continue;
        if (best < 0 || less_(readers_[i]->Current(), readers_[std::size_t(best)]->Current()))
            best = static_cast<int>(i);
    }
    return best;
}

bool CExternalSorter::MergeRuns(std::size_t first, std::size_t count, Run* merged) {
    if (!OpenReaders(first, count))
        return false;
    const std::uint64_t start = fileEnd_;
    for (int i = Smallest(); i >= 0; i = Smallest()) {
        const Record r = readers_[std::size_t(i)]->Current();
        std::uint8_t length[kLengthBytes];
        PutLength(length, static_cast<std::uint32_t>(r.size()));
        if (!Append(length, sizeof length) || !Append(r.data(), r.size()))
            return false;
        if (!readers_[std::size_t(i)]->Advance(&error_) && !error_.empty())
            return false;
    }
    if (!Flush())
        return false;
    readers_.clear();
    *merged = {start, fileEnd_ - start};
    ++runsWritten_;
    return true;
}

bool CExternalSorter::Next(Record* record) {
    if (!finished_ && !Finish())
        return false;
    if (!error_.empty())
        return false;
    if (runs_.empty()) {
        if (nextSlot_ >= slots_.size())
            return false;
        const Slot& s = slots_[nextSlot_++];
        *record = Record(bytes_.data() + s.offset, s.length);
        return true;
    }
    if (last_ >= 0 && !readers_[std::size_t(last_)]->Advance(&error_) && !error_.empty())
        return false;
    last_ = Smallest();
    if (last_ < 0)
        return false;
    *record = readers_[std::size_t(last_)]->Current();
    return true;
}
