// The writing side of the engine's stored layouts: little-endian values appended to a byte vector
// (read back with common/ByteReader.h), and text copied out to a caller's buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace vlt {

// Appends little-endian values to a byte vector.
template <class Vec> void PutU16(Vec& v, std::uint16_t x) {
    v.push_back(static_cast<std::uint8_t>(x));
    v.push_back(static_cast<std::uint8_t>(x >> 8));
}
template <class Vec> void PutU32(Vec& v, std::uint32_t x) {
    for (int i = 0; i < 4; ++i)
        v.push_back(static_cast<std::uint8_t>(x >> (8 * i)));
}
template <class Vec> void PutU64(Vec& v, std::uint64_t x) {
    for (int i = 0; i < 8; ++i)
        v.push_back(static_cast<std::uint8_t>(x >> (8 * i)));
}
template <class Vec> void PutF64(Vec& v, double d) {
    std::uint64_t bits;
    std::memcpy(&bits, &d, sizeof bits);
    PutU64(v, bits);
}
template <class Vec> void PutBytes(Vec& v, std::string_view s) {
    v.insert(v.end(), s.begin(), s.end());
}

// Writes text into a caller's buffer of `size` bytes, truncated and terminated when size > 0.
// Returns false when it was truncated.
bool CopyOut(std::string_view text, char* buffer, std::size_t size, std::size_t* length);

} // namespace vlt
