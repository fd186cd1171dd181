#include "output/DumpWriter.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

namespace {

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
    : CFieldWriter(options), out_(fileName) {}

CDumpWriter::CDumpWriter(std::ostream& stream, CInfoPaneOptions* options)
    : CFieldWriter(options), out_(stream) {}

CDumpWriter::CDumpWriter(std::FILE* file, CInfoPaneOptions* options)
    : CFieldWriter(options), out_(file) {}

CDumpWriter::~CDumpWriter() {
    Close();
}

void CDumpWriter::WriteText(std::string_view text) {
    out_.Append(text);
}

void CDumpWriter::NewLine() {
    WriteText("\n");
    if (!out_.Failed() && indent_ > 0)
        out_.Buffer().append(std::size_t(indent_), ' ');
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
    out_.Flush();     // the blocks go out directly, after what is buffered
    char* out = block;
    RowNumber number;
    for (std::size_t offset = 0; offset < length && !out_.Failed(); offset += kBytesPerLine) {
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
            out_.WriteOut(std::string_view(block, std::size_t(out - block)));
            out = block;
        }
    }
    out_.WriteOut(std::string_view(block, std::size_t(out - block)));
    return true;
}

void CDumpWriter::OnBeginComment() {
    WriteText("    ; ");
}
