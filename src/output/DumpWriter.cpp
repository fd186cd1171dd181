#include "output/DumpWriter.h"

#include <cerrno>
#include <cstring>

namespace {

constexpr std::size_t kBufferSize = 1 << 16;
constexpr int kIndentStep = 4;

} // namespace

CDumpWriter::CDumpWriter(const std::string& fileName, CInfoPaneOptions* options)
    : CFieldWriter(options), name_(fileName) {
    errno = 0;
    file_ = std::fopen(fileName.c_str(), "w");
    if (file_)
        ownsFile_ = true;
    else
        Fail("Couldn't create dump file", errno);
    buffer_.reserve(kBufferSize);
}

CDumpWriter::CDumpWriter(std::ostream& stream, CInfoPaneOptions* options)
    : CFieldWriter(options), name_("(stream)"), stream_(&stream) {
    buffer_.reserve(kBufferSize);
}

CDumpWriter::CDumpWriter(std::FILE* file, CInfoPaneOptions* options)
    : CFieldWriter(options), name_("(file)"), file_(file) {
    if (!file_)
        Fail("Couldn't write to dump file", EBADF);
    buffer_.reserve(kBufferSize);
}

CDumpWriter::~CDumpWriter() {
    Close();
}

void CDumpWriter::Fail(const char* what, int error) {
    if (failed_)
        return;
    failed_ = true;
    error_ = std::string(what) + " " + name_;
    if (error != 0)
        error_ += std::string(": ") + std::strerror(error);
}

bool CDumpWriter::Flush() {
    if (buffer_.empty() || failed_) {
        buffer_.clear();
        return !failed_;
    }
    if (file_) {
        errno = 0;
        if (std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size())
            Fail("Couldn't write to dump file", errno);
    } else if (stream_) {
        stream_->write(buffer_.data(), std::streamsize(buffer_.size()));
        if (!*stream_)
            Fail("Couldn't write to dump file", 0);
    }
    buffer_.clear();
    return !failed_;
}

bool CDumpWriter::Close() {
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

void CDumpWriter::WriteText(std::string_view text) {
    if (failed_)
        return;
    buffer_.append(text);
    if (buffer_.size() >= kBufferSize)
        Flush();
}

void CDumpWriter::NewLine() {
    WriteText("\n");
    if (!failed_ && indent_ > 0)
        buffer_.append(std::size_t(indent_), ' ');
}

void CDumpWriter::OnEndOutput() {
    WriteText("\n");
}

void CDumpWriter::OnBeginField() {
    NewLine();
    WriteText("(");
    indent_ += kIndentStep;
}

void CDumpWriter::OnEndField() {
    WriteText(")");
    indent_ -= kIndentStep;
}

void CDumpWriter::OnEndLabel() {
    Space();
}

void CDumpWriter::OnBreakLine() {
    NewLine();
}

void CDumpWriter::OnNextValueLine() {
    NewLine();
}

void CDumpWriter::OnBeginComment() {
    WriteText("    ; ");
}
