#include "output/DumpWriter.h"

#include <algorithm>
#include <array>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

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
    // Writes kRoom bytes (room the caller has), of which the first Write returns are the number.
    std::size_t Write(char* out) const {
        std::memcpy(out, digits_ + kRoom - count_, kRoom);
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
    // The digits end at kRoom; the rest is there so that Write copies a fixed length.
    char digits_[2 * kRoom] = {'0', '0', '0', '0', '0', '0', '0', '0',
                               '0', '0', '0', '0', '0', '0', '0', '0'};
    std::size_t count_ = 3;
};
constexpr HexTables kHexTables;

#ifdef __SSE2__
// A full row of 16 bytes, 16 at a time: the hex digits in hex[0, 48) (and up to two bytes past
// it that the caller overwrites) and the shown characters in shown[0, 16).
void MakeFullRow(const std::uint8_t* row, char* hex, char* shown, bool comments) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row));
    const __m128i nibble = _mm_set1_epi8(0x0F);
    const __m128i low = _mm_and_si128(v, nibble);
    const __m128i high = _mm_and_si128(_mm_srli_epi16(v, 4), nibble);
    // '0' + n, and 7 more past 9 to reach 'A'.
    const auto digit = [](__m128i n) {
        const __m128i letter = _mm_and_si128(_mm_cmpgt_epi8(n, _mm_set1_epi8(9)), _mm_set1_epi8(7));
        return _mm_add_epi8(_mm_add_epi8(n, _mm_set1_epi8('0')), letter);
    };
    const __m128i h = digit(high);
    const __m128i l = digit(low);
    const __m128i pairs0 = _mm_unpacklo_epi8(h, l); // bytes 0-7, two digits each
    const __m128i pairs1 = _mm_unpackhi_epi8(h, l); // bytes 8-15
    // Four bytes a byte (two digits, two blanks), then the fourth dropped in each 64-bit lane:
    // six good bytes a lane, stored six apart so that each store covers the last one's rest.
    const __m128i blanks = _mm_set1_epi16(0x2020);
    const __m128i keepFirst = _mm_set1_epi64x(0x0000000000FFFFFF);
    const __m128i keepSecond = _mm_set1_epi64x(0x0000FFFFFF000000);
    const auto squeeze = [&](__m128i e) {
        return _mm_or_si128(_mm_and_si128(e, keepFirst),
                            _mm_and_si128(_mm_srli_epi64(e, 8), keepSecond));
    };
    const __m128i parts[4] = {
        squeeze(_mm_unpacklo_epi16(pairs0, blanks)), squeeze(_mm_unpackhi_epi16(pairs0, blanks)),
        squeeze(_mm_unpacklo_epi16(pairs1, blanks)), squeeze(_mm_unpackhi_epi16(pairs1, blanks))};
    for (int i = 0; i < 4; ++i) {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(hex + 12 * i), parts[i]);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(hex + 12 * i + 6), _mm_srli_si128(parts[i], 8));
    }
    hex[3 * 7 + 2] = '.';
    if (comments) {
        // Printable is 32 to 126; as signed bytes those above 127 are below 32.
        const __m128i printable = _mm_and_si128(_mm_cmpgt_epi8(v, _mm_set1_epi8(31)),
                                                _mm_cmplt_epi8(v, _mm_set1_epi8(127)));
        const __m128i chars = _mm_or_si128(_mm_and_si128(printable, v),
                                           _mm_andnot_si128(printable, _mm_set1_epi8('.')));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(shown), chars);
    }
}
#endif

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
    if (out_.Failed())
        return;
    std::string& buffer = out_.Buffer();
    buffer.push_back('\n');
    if (indent_ > 0)
        buffer.append(std::size_t(indent_), ' ');
    out_.Appended();
}

void CDumpWriter::OnEndOutput() {
    WriteText("\n");
}

// Every field starts so: the line end, the indent and the parenthesis in one go.
void CDumpWriter::OnBeginField() {
    if (!out_.Failed()) {
        std::string& buffer = out_.Buffer();
        buffer.push_back('\n');
        if (indent_ > 0)
            buffer.append(std::size_t(indent_), ' ');
        buffer.push_back('(');
        out_.Appended();
    }
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
// Lines are made straight in the output's buffer, a run of rows at a time.
bool CDumpWriter::WriteHexLines(const std::uint8_t* bytes, std::size_t length, bool comments) {
    constexpr std::size_t kMaxLine = kBytesPerLine * 3 + 6 + 17 + kBytesPerLine + 1;
    const std::size_t indent = indent_ > 0 ? std::size_t(indent_) : 0;
    // Rows made between two looks at the buffer: some 16 KiB of text, which stays in cache.
    const std::size_t run = std::max<std::size_t>(1, (16 << 10) / (kMaxLine + indent));
    RowNumber number;
    std::size_t offset = 0;
    while (offset < length && !out_.Failed()) {
        const std::size_t rows =
            std::min(run, (length - offset + kBytesPerLine - 1) / kBytesPerLine);
        std::string& buffer = out_.Buffer();
        const std::size_t start = buffer.size();
        buffer.resize(start + rows * (kMaxLine + indent));
        char* out = buffer.data() + start;
        for (std::size_t r = 0; r < rows; ++r, offset += kBytesPerLine) {
            const std::size_t n = std::min(kBytesPerLine, length - offset);
            const std::uint8_t* row = bytes + offset;
            char* const hex = out;
            char* shown = nullptr;
            if (comments) {
                // The comment first: the hex digits may spill a byte or two into its start.
                out = hex + 3 * kBytesPerLine + 6;
                out += number.Write(out);
                number.Next();
                *out++ = ' ';
                shown = out;
                out += kBytesPerLine;
            } else {
                out = hex + 3 * kBytesPerLine;
            }
#ifdef __SSE2__
            if (n == kBytesPerLine) {
                MakeFullRow(row, hex, shown, comments);
            } else
#endif
            {
                // The fourth byte of each store is overwritten by the next (or by what follows).
                for (std::size_t i = 0; i < n; ++i)
                    std::memcpy(hex + 3 * i, &kHexTables.digits[4 * std::size_t(row[i])], 4);
                std::memset(hex + 3 * n, ' ', 3 * (kBytesPerLine - n));
                if (n > 7)
                    hex[3 * 7 + 2] = '.';
                if (comments) {
                    for (std::size_t i = 0; i < n; ++i)
                        shown[i] = kHexTables.shown[row[i]];
                    std::memset(shown + n, ' ', kBytesPerLine - n);
                }
            }
            if (comments)
                std::memcpy(hex + 3 * kBytesPerLine, "    ; ", 6);
            *out++ = '\n';
            std::memset(out, ' ', indent);
            out += indent;
        }
        buffer.resize(std::size_t(out - buffer.data()));
        out_.Appended();
    }
    return true;
}

void CDumpWriter::OnBeginComment() {
    WriteText("    ; ");
}
