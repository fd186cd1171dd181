// Hex dumps: sixteen bytes a line, the offset and the printable characters as a comment.
//
//   "00 01 02 03 04 05 06 07.08 09 0A 0B 0C 0D 0E 0F "   then the comment "000 ................"
#include <algorithm>
#include <cstdio>

#include "output/FieldWriter.h"

namespace {

constexpr std::size_t kBytesPerLine = 16;

} // namespace

void CFieldWriter::HexDump(const void* bytes, std::size_t length) {
    if (options_->ShowUninterpreted != 1 || !bytes)
        return;
    static const char kHex[] = "0123456789ABCDEF";
    const auto* p = static_cast<const std::uint8_t*>(bytes);
    OnBeginHexDump();
    if (pending_.empty() && comments_.empty() && commentDepth_ == 0 &&
        WriteHexLines(p, length, options_->ShowComments == 1)) {
        OnEndHexDump();
        return;
    }
    char hex[kBytesPerLine * 3];
    char chars[32 + kBytesPerLine];
    for (std::size_t offset = 0; offset < length; offset += kBytesPerLine) {
        const std::size_t n = std::min(kBytesPerLine, length - offset);
        for (std::size_t i = 0; i < kBytesPerLine; ++i) {
            char* h = hex + i * 3;
            if (i < n) {
                const std::uint8_t b = p[offset + i];
                h[0] = kHex[b >> 4];
                h[1] = kHex[b & 15];
                h[2] = i == 7 ? '.' : ' ';
            } else {
                h[0] = h[1] = h[2] = ' ';
            }
        }
        pending_.append(hex, sizeof hex);

        const int prefix =
            std::snprintf(chars, 32, "%03lx ", static_cast<unsigned long>(offset / kBytesPerLine));
        char* c = chars + prefix;
        for (std::size_t i = 0; i < kBytesPerLine; ++i) {
            const std::uint8_t b = i < n ? p[offset + i] : ' ';
            c[i] = (b >= 32 && b <= 126) ? char(b) : '.';
        }
        BeginComment();
        pending_.append(chars, std::size_t(prefix) + kBytesPerLine);
        EndComment();
        EndLine();
    }
    OnEndHexDump();
}

void CFieldWriter::HexDumpField(std::string_view label, const void* bytes, std::size_t length) {
    if (options_->ShowUninterpreted != 1)
        return;
    BeginField(label);
    EndLine();
    HexDump(bytes, length);
    EndField();
}

void CFieldWriter::SpareField(std::string_view label, const void* bytes, std::size_t length) {
    if (options_->ShowSpareBytes == 1)
        HexDumpField(label, bytes, length);
}
