#include "vlt/ByteWriter.h"

namespace vlt {

bool CopyOut(std::string_view text, char* buffer, std::size_t size, std::size_t* length) {
    std::size_t n = 0;
    if (buffer && size > 0) {
        n = text.size() < size - 1 ? text.size() : size - 1;
        if (n > 0)
            std::memcpy(buffer, text.data(), n);
        buffer[n] = '\0';
    }
    if (length)
        *length = n;
    return n == text.size();
}

} // namespace vlt
