#include "output/OutputFile.h"

#include <cerrno>
#include <cstring>

COutputFile::COutputFile(const std::string& fileName) : name_(fileName) {
    errno = 0;
    file_ = std::fopen(fileName.c_str(), "wb");
    if (file_) {
        ownsFile_ = true;
        // Output is written in blocks already: a second buffer would only copy it again.
        std::setvbuf(file_, nullptr, _IONBF, 0);
    } else
        Fail("Couldn't create dump file", errno);
    buffer_.reserve(kBlock + 1024);
}

COutputFile::COutputFile(std::ostream& stream) : name_("(stream)"), stream_(&stream) {
    buffer_.reserve(kBlock + 1024);
}

COutputFile::COutputFile(std::FILE* file) : name_("(file)"), file_(file) {
    if (!file_)
        Fail("Couldn't write to dump file", EBADF);
    buffer_.reserve(kBlock + 1024);
}

COutputFile::~COutputFile() {
    Close();
}

void COutputFile::Fail(const char* what, int error) {
    if (failed_)
        return;
    failed_ = true;
    error_ = std::string(what) + " " + name_;
    if (error != 0)
        error_ += std::string(": ") + std::strerror(error);
}

bool COutputFile::Flush() {
    WriteOut(buffer_);
    buffer_.clear();
    return !failed_;
}

void COutputFile::WriteOut(std::string_view text) {
    if (text.empty() || failed_)
        return;
    if (file_) {
        errno = 0;
        if (std::fwrite(text.data(), 1, text.size(), file_) != text.size())
            Fail("Couldn't write to dump file", errno);
    } else if (stream_) {
        stream_->write(text.data(), std::streamsize(text.size()));
        if (!*stream_)
            Fail("Couldn't write to dump file", 0);
    }
}

bool COutputFile::Close() {
    Flush();
    if (file_) {
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
    return !failed_;
}
