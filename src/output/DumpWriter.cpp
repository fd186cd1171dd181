#include "output/DumpWriter.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

namespace {

constexpr std::size_t kBufferSize = 1 << 16;
constexpr int kIndentStep = 4;
constexpr std::size_t kBytesPerLine = 16;

// Per byte value: its two hex digits and a blank (room of 4, so that one store writes them),
// and the character the comment shows for it.
struct HexTables {
    std::array<char, 1024> digits{};
    std::array<char, 256> shown{};
    constexpr HexTables() {
        constexpr char kHex[] = "0123456789ABCDEF";
        for (int b = 0; b < 256; ++b) {
            digits[4 * b] = kHex[b >> 4];
            digits[4 * b + 1] = kHex[b & 15];
            digits[4 * b + 2] = ' ';
            digits[4 * b + 3] = ' ';
            shown[b] = (b >= 32 && b <= 126) ? char(b) : '.';
        }
    }
};

// The row number as the general writer prints it ("%03lx"), counted up in place.
class RowNumber {
public:
    std::size_t Write(char* out) const {
        std::memcpy(out, digits_ + kRoom - count_, count_);
        return count_;
    }
    void Next() {
        for (std::size_t i = kRoom; i-- > kRoom - count_;) {
            char& d = digits_[i];
            if (d == '9') {
                d = 'a';
                return;
            }
            if (d != 'f') {
                ++d;
                return;
            }
            d = '0';
        }
        ++count_;
        digits_[kRoom - count_] = '1';
    }

private:
    static constexpr std::size_t kRoom = 16;
    char digits_[kRoom] = {'0', '0', '0', '0', '0', '0', '0', '0',
                           '0', '0', '0', '0', '0', '0', '0', '0'};
    std::size_t count_ = 3;
};
constexpr HexTables kHexTables;

} // namespace

CDumpWriter::CDumpWriter(const std::string& fileName, CInfoPaneOptions* options)
    : CFieldWriter(options), name_(fileName) {
    errno = 0;
    file_ = std::fopen(fileName.c_str(), "w");
    if (file_) {
        ownsFile_ = true;
        // Output is written in blocks already: a second buffer would only copy it again.
        std::setvbuf(file_, nullptr, _IONBF, 0);
    } else
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
    WriteOut(buffer_);
    buffer_.clear();
    return !failed_;
}

void CDumpWriter::WriteOut(std::string_view text) {
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

// One line a row of 16 bytes, as the general writer makes it: the hex digits with a '.' after
// the eighth byte, blanks for missing bytes, then "    ; " and the row number ("%03lx") with
// the shown characters. The lines need no escapes: every character written is printable.
// Lines are made in a block of their own and appended a block at a time.
bool CDumpWriter::WriteHexLines(const std::uint8_t* bytes, std::size_t length, bool comments) {
    constexpr std::size_t kMaxLine = kBytesPerLine * 3 + 6 + 17 + kBytesPerLine + 1;
    const std::size_t indent = indent_ > 0 ? std::size_t(indent_) : 0;
    char block[1 << 16];
    if (kMaxLine + indent > sizeof block)
        return false; // an indent this deep: line by line
    Flush();          // the blocks go out directly, after what is buffered
    char* out = block;
    RowNumber number;
    for (std::size_t offset = 0; offset < length && !failed_; offset += kBytesPerLine) {
        const std::size_t n = std::min(kBytesPerLine, length - offset);
        const std::uint8_t* row = bytes + offset;
        char* const hex = out;
        // The fourth byte of each store is overwritten by the next (or by what follows).
        for (std::size_t i = 0; i < n; ++i)
            std::memcpy(hex + 3 * i, &kHexTables.digits[4 * std::size_t(row[i])], 4);
        std::memset(hex + 3 * n, ' ', 3 * (kBytesPerLine - n));
        if (n > 7)
            hex[3 * 7 + 2] = '.';
        out = hex + 3 * kBytesPerLine;
        if (comments) {
            std::memcpy(out, "    ; ", 6);
            out += 6;
            out += number.Write(out);
            number.Next();
            *out++ = ' ';
            for (std::size_t i = 0; i < n; ++i)
                out[i] = kHexTables.shown[row[i]];
            std::memset(out + n, ' ', kBytesPerLine - n);
            out += kBytesPerLine;
        }
        *out++ = '\n';
        std::memset(out, ' ', indent);
        out += indent;
        if (std::size_t(out - block) + kMaxLine + indent > sizeof block) {
            WriteOut(std::string_view(block, std::size_t(out - block)));
            out = block;
        }
    }
    WriteOut(std::string_view(block, std::size_t(out - block)));
    return true;
}

void CDumpWriter::OnBeginComment() {
    WriteText("    ; ");
}
