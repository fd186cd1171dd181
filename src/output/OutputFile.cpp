#include "output/OutputFile.h"

#include <cerrno>
#include <cstring>
#include <system_error>

#if __has_include(<ext/stdio_sync_filebuf.h>)
#include <ext/stdio_sync_filebuf.h>
#define DELVEX_STDIO_SYNC_FILEBUF 1
#endif

namespace {

// Room past a full block, so that the line that fills it rarely makes the buffer grow.
constexpr std::size_t kReserve = COutputFile::kBlock + COutputFile::kBlock / 8;

// The file a stream's text goes straight into, when it is one of the standard streams kept in
// step with C's; null for any other stream.
std::FILE* FileUnder(std::ostream& stream) {
#ifdef DELVEX_STDIO_SYNC_FILEBUF
    if (stream.good())
        if (auto* sync = dynamic_cast<__gnu_cxx::stdio_sync_filebuf<char>*>(stream.rdbuf()))
            return sync->file();
#endif
    (void)stream;
    return nullptr;
}

} // namespace

COutputFile::COutputFile(const std::string& fileName) : name_(fileName) {
    errno = 0;
    file_ = std::fopen(fileName.c_str(), "wb");
    if (file_) {
        ownsFile_ = true;
        threaded_ = true;
        // Output is written in blocks already: a second buffer would only copy it again.
        std::setvbuf(file_, nullptr, _IONBF, 0);
    } else
        Fail("Couldn't create dump file", errno);
    buffer_.reserve(kReserve);
}

COutputFile::COutputFile(std::ostream& stream) : name_("(stream)") {
    // Any other stream is the caller's object, not safe to write from another thread.
    if ((file_ = FileUnder(stream))) {
        fileStream_ = &stream;
        threaded_ = true;
    } else
        stream_ = &stream;
    buffer_.reserve(kReserve);
}

COutputFile::COutputFile(std::FILE* file) : name_("(file)"), file_(file) {
    if (!file_)
        Fail("Couldn't write to dump file", EBADF);
    threaded_ = file_ != nullptr;
    buffer_.reserve(kReserve);
}

COutputFile::~COutputFile() {
    Close();
}

const std::string& COutputFile::ErrorText() const {
    static const std::string kNone;
    return Failed() ? error_ : kNone;
}

void COutputFile::Fail(const char* what, int error) {
    if (Failed())
        return;
    error_ = std::string(what) + " " + name_;
    if (error != 0)
        error_ += std::string(": ") + std::strerror(error);
    failed_.store(true, std::memory_order_release);
}

// On the writer thread when there is one, else on the caller's.
void COutputFile::Write(std::string_view text) {
    if (text.empty() || Failed())
        return;
    if (file_) {
        errno = 0;
        if (std::fwrite(text.data(), 1, text.size(), file_) != text.size())
            Fail("Couldn't write to dump file", fileStream_ ? 0 : errno);
    } else if (stream_) {
        stream_->write(text.data(), std::streamsize(text.size()));
        if (!*stream_)
            Fail("Couldn't write to dump file", 0);
    }
}

void COutputFile::PassOn() {
    if (buffer_.empty())
        return;
    if (Failed()) {
        buffer_.clear();
        return;
    }
    if (threaded_ && !writer_.joinable()) {
        for (std::string& block : ring_)
            block.reserve(kReserve);
        try {
            writer_ = std::thread(&COutputFile::WriterLoop, this);
        } catch (const std::system_error&) {
            threaded_ = false; // no thread to be had: write in turn
        }
    }
    if (!threaded_) {
        Write(buffer_);
        buffer_.clear();
        return;
    }
    std::unique_lock lock(mutex_);
    wroteOne_.wait(lock, [this] { return filled_ < kRing; });
    ring_[(head_ + filled_) % kRing].swap(buffer_);
    ++filled_;
    lock.unlock();
    filledOne_.notify_one();
}

void COutputFile::WriterLoop() {
    std::unique_lock lock(mutex_);
    for (;;) {
        filledOne_.wait(lock, [this] { return filled_ > 0 || stop_; });
        if (filled_ == 0)
            return;
        std::string& block = ring_[head_];
        lock.unlock();
        Write(block);
        block.clear();
        // One text far longer than a block made this one grow: give the memory back.
        if (block.capacity() > 2 * kReserve) {
            std::string().swap(block);
            block.reserve(kReserve);
        }
        lock.lock();
        head_ = (head_ + 1) % kRing;
        --filled_;
        wroteOne_.notify_one();
    }
}

void COutputFile::StopWriter() {
    if (!writer_.joinable())
        return;
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    filledOne_.notify_one();
    writer_.join();
    stop_ = false;
}

bool COutputFile::Flush() {
    PassOn();
    if (writer_.joinable()) {
        std::unique_lock lock(mutex_);
        wroteOne_.wait(lock, [this] { return filled_ == 0; });
    }
    return !Failed();
}

bool COutputFile::Close() {
    Flush();
    StopWriter();
    threaded_ = false;
    if (fileStream_) {
        // As the stream's own flush would: its text is in the file's buffer.
        if (std::fflush(file_) != 0)
            Fail("Couldn't write to dump file", 0);
        if (Failed() && !(fileStream_->exceptions() & std::ios::badbit))
            fileStream_->setstate(std::ios::badbit);
        file_ = nullptr;
        fileStream_ = nullptr;
    } else if (file_) {
        errno = 0;
        // A full disk often shows only when the last block is written out.
        const bool flushed = std::fflush(file_) == 0;
        const int flushError = errno;
        if (ownsFile_) {
            errno = 0;
            const bool closed = std::fclose(file_) == 0;
            if (!flushed)
                Fail("Couldn't write to dump file", flushError);
            else if (!closed)
                Fail("Couldn't write to dump file", errno);
        } else if (!flushed) {
            Fail("Couldn't write to dump file", flushError);
        }
        file_ = nullptr;
        ownsFile_ = false;
    } else if (stream_) {
        stream_->flush();
        if (!*stream_)
            Fail("Couldn't write to dump file", 0);
        stream_ = nullptr;
    }
    return !Failed();
}
