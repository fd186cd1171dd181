// Translation of stored texts. Stored texts are UTF-8, as are the platform's; translating either
// way passes valid UTF-8 through and replaces every invalid part (a stray or overlong byte, an
// encoded surrogate, a value above U+10FFFF, a cut sequence) by U+FFFD, one per maximal invalid
// subpart as Unicode recommends.
#include <cstring>

#include "store/api/Conversions.h"

namespace store {
namespace {

constexpr char kReplacement[] = "\xEF\xBF\xBD";

// The length of the valid sequence at text, or 0 with *bad set to the bytes to replace.
std::size_t ValidSequence(const unsigned char* t, std::size_t n, std::size_t* bad) {
    const unsigned lead = t[0];
    if (lead < 0x80)
        return 1;
    std::size_t need;
    unsigned lo = 0x80, hi = 0xBF; // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        need = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        need = 3;
        if (lead == 0xE0)
            lo = 0xA0; // overlong
        if (lead == 0xED)
            hi = 0x9F; // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        need = 4;
        if (lead == 0xF0)
            lo = 0x90; // overlong
        if (lead == 0xF4)
            hi = 0x8F; // above U+10FFFF
    } else {
        *bad = 1;
        return 0;
    }
    for (std::size_t i = 1; i < need; ++i) {
        const unsigned b = i < n ? t[i] : 0;
        const bool ok = i < n && (i == 1 ? b >= lo && b <= hi : b >= 0x80 && b <= 0xBF);
        if (!ok) {
            *bad = i;
            return 0;
        }
    }
    return need;
}

} // namespace

std::size_t TranslateText(Translate, const char* text, std::size_t length, char* buffer,
                          std::size_t size) {
    if (!buffer || size == 0)
        return 0;
    const auto* t = reinterpret_cast<const unsigned char*>(text ? text : "");
    if (!text)
        length = 0;
    std::size_t in = 0, out = 0;
    while (in < length) {
        std::size_t bad = 0;
        const std::size_t n = ValidSequence(t + in, length - in, &bad);
        const char* piece = n ? reinterpret_cast<const char*>(t + in) : kReplacement;
        const std::size_t pieceLength = n ? n : 3;
        if (pieceLength > size - out)
            break; // never a sequence cut in two
        std::memcpy(buffer + out, piece, pieceLength);
        out += pieceLength;
        in += n ? n : bad;
    }
    if (out < size)
        buffer[out] = '\0';
    return out;
}

} // namespace store
