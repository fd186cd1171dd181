#include "vlt/TextBuffer.h"

#include <cstring>

namespace vlt {

std::size_t Utf8Prefix(std::string_view text, std::size_t limit) {
    if (limit >= text.size())
        return text.size();
    // Step back over continuation bytes to the start of the sequence that limit cuts.
    std::size_t n = limit;
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80 && limit - n < 3)
        --n;
    // Cut before the sequence only when its lead byte announces one that limit breaks.
    const unsigned lead = static_cast<unsigned char>(text[n]);
    const std::size_t need = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    return need > limit - n ? n : limit;
}

store::Status PutText(std::string_view text, char* buffer, std::size_t size, std::size_t* length) {
    std::size_t n = 0;
    if (buffer && size > 0) {
        n = Utf8Prefix(text, size - 1);
        if (n > 0)
            std::memcpy(buffer, text.data(), n);
        buffer[n] = '\0';
    }
    if (length)
        *length = n;
    if (!buffer && size > 0)
        return store::kInvalidArgument;
    return n < text.size() ? store::kBufferTooSmall : store::kNoError;
}

} // namespace vlt
