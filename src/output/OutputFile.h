// Where a dump goes: a file the writer creates, an open file or a stream, written in blocks.
//
// Text is gathered in Buffer() and written out in blocks of about kBlock bytes. The first
// failure to create or write is remembered (ErrorText names the file and the cause); later
// output is dropped, so a failed dump never reports success.
#pragma once

#include <cstdio>
#include <ostream>
#include <string>
#include <string_view>

class COutputFile {
public:
    static constexpr std::size_t kBlock = 1 << 16;

    // Creates (or empties) the named file.
    explicit COutputFile(const std::string& fileName);
    // Writes into a stream or an open file, which stay the caller's.
    explicit COutputFile(std::ostream& stream);
    explicit COutputFile(std::FILE* file);
    // Closes the file it created (see Close).
    ~COutputFile();
    COutputFile(const COutputFile&) = delete;
    COutputFile& operator=(const COutputFile&) = delete;

    // The text not yet written out; whoever appends to it calls Appended.
    std::string& Buffer() { return buffer_; }
    void Appended() {
        if (buffer_.size() >= kBlock)
            Flush();
    }
    void Append(std::string_view text) {
        if (failed_)
            return;
        buffer_.append(text);
        Appended();
    }
    // Writes text past the buffer (which must be written out first), straight to the file.
    void WriteOut(std::string_view text);
    // Writes out what is buffered.
    bool Flush();
    // Writes out what is buffered and, for a file it created, closes it. False when any part
    // of the output could not be written. Safe to call more than once.
    bool Close();
    bool Failed() const { return failed_; }
    // "Couldn't create dump file NAME: reason" or "Couldn't write to dump file NAME: reason";
    // empty while nothing failed.
    const std::string& ErrorText() const { return error_; }

private:
    void Fail(const char* what, int error);

    std::string name_;
    std::FILE* file_ = nullptr;
    bool ownsFile_ = false;
    std::ostream* stream_ = nullptr;
    std::string buffer_;
    bool failed_ = false;
    std::string error_;
};
