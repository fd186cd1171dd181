// Completing computed texts. A computed text may hold markers that only make sense once the
// note is known; each marker is the byte 0x7F and one more byte:
//   0x7F 'I'    the note's ID in upper-case hex ("%X")
//   0x7F 0x7F   one 0x7F byte
// Any other 0x7F (with the byte after it) is kept as it is, so texts without markers, and
// texts from elsewhere that happen to hold 0x7F, come back unchanged.
#include <cstdio>
#include <cstring>

#include "store/api/Formula.h"

namespace store {

Status ConvertComputedText(const char* text, std::size_t length, NoteId note, char* buffer,
                           std::size_t size, std::size_t* resultLength) {
    if (resultLength)
        *resultLength = 0;
    if ((!text && length) || (!buffer && size))
        return kInvalidArgument;
    std::size_t n = 0;
    bool truncated = false;
    // Keeps one byte free for the terminator.
    auto put = [&](const char* bytes, std::size_t count) {
        for (std::size_t k = 0; k < count; ++k) {
            if (n + 1 >= size) {
                truncated = true;
                return;
            }
            buffer[n++] = bytes[k];
        }
    };
    for (std::size_t i = 0; i < length && !truncated; ++i) {
        const bool marker = text[i] == '\x7F' && i + 1 < length;
        if (marker && text[i + 1] == 'I') {
            char id[16];
            const int k = std::snprintf(id, sizeof id, "%X", unsigned(note));
            put(id, std::size_t(k));
            ++i;
        } else if (marker && text[i + 1] == '\x7F') {
            put("\x7F", 1);
            ++i;
        } else {
            put(text + i, 1);
        }
    }
    if (size > 0)
        buffer[n] = '\0';
    if (resultLength)
        *resultLength = n;
    return truncated || (size == 0 && length > 0) ? kBufferTooSmall : kNoError;
}

} // namespace store
