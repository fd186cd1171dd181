// Where a dump goes: a file the writer creates, an open file or a stream, written in blocks.
//
// Text is gathered in Buffer() and passed on in blocks of about kBlock bytes. Where writing on
// another thread is safe (a file, or a stream that writes straight into one), a writer thread
// of the output's own writes each block while the next is filled, so that formatting and the
// copying into the file overlap; it starts with the first full block, so small outputs never
// start one. At most kRing blocks wait for it besides the one being filled: memory stays fixed.
//
// The first failure to create or write is remembered (ErrorText names the file and the cause);
// later output is dropped, so a failed dump never reports success. A failure on the writer
// thread shows in Failed() a little later than the text that caused it was appended, and at
// the latest when Flush or Close returns.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <ostream>
#include <string>
#include <string_view>
#include <thread>

class COutputFile {
public:
    static constexpr std::size_t kBlock = 1 << 17;
    static constexpr std::size_t kRing = 2;

    // Creates (or empties) the named file.
    explicit COutputFile(const std::string& fileName);
    // Writes into a stream or an open file, which stay the caller's. The caller writes to them
    // again only after Flush or Close; until then the writer thread may be writing to them.
    explicit COutputFile(std::ostream& stream);
    explicit COutputFile(std::FILE* file);
    // Closes the file it created (see Close) and ends the writer thread.
    ~COutputFile();
    COutputFile(const COutputFile&) = delete;
    COutputFile& operator=(const COutputFile&) = delete;

    // The text not yet passed on; whoever appends to it calls Appended.
    std::string& Buffer() { return buffer_; }
    void Appended() {
        if (buffer_.size() >= kBlock)
            PassOn();
    }
    void Append(std::string_view text) {
        if (Failed())
            return;
        buffer_.append(text);
        Appended();
    }
    // Writes out what is buffered, and waits until all of it is written.
    bool Flush();
    // Writes out what is buffered and, for a file it created, closes it. False when any part
    // of the output could not be written. Safe to call more than once.
    bool Close();
    bool Failed() const { return failed_.load(std::memory_order_acquire); }
    // "Couldn't create dump file NAME: reason" or "Couldn't write to dump file NAME: reason";
    // empty while nothing failed.
    const std::string& ErrorText() const;

private:
    void PassOn();
    void Write(std::string_view text);
    void WriterLoop();
    void StopWriter();
    void Fail(const char* what, int error);

    std::string name_;
    std::FILE* file_ = nullptr;
    bool ownsFile_ = false;
    // A stream whose text goes straight into file_ (the standard streams kept in step with
    // C's): written through the file, so that the writer thread may do it.
    std::ostream* fileStream_ = nullptr;
    std::ostream* stream_ = nullptr;
    std::string buffer_;
    // Only the thread that fails first writes error_, before failed_ is set.
    std::atomic<bool> failed_{false};
    std::string error_;

    // Blocks passed on wait in ring_[head_], ... (filled_ of them, in order). The writer
    // thread writes ring_[head_] outside the lock; the formatting side only touches the slot
    // after the last filled one, which is never that one.
    bool threaded_ = false;
    std::thread writer_;
    std::mutex mutex_;
    std::condition_variable filledOne_;
    std::condition_variable wroteOne_;
    std::string ring_[kRing];
    std::size_t head_ = 0;
    std::size_t filled_ = 0;
    bool stop_ = false;
};
