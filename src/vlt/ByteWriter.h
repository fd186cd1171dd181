// A bounded little-endian reader over bytes the engine did not make itself. A read past the end
// returns zero and marks the reader short; nothing is ever read outside [data, data + size).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace vlt {

class ByteReader {
public:
    ByteReader(const void* data, std::size_t size)
        : data_(static_cast<const std::uint8_t*>(data)), size_(data ? size : 0) {}

    std::size_t remaining() const { return size_ - pos_; }
    std::size_t position() const { return pos_; }
    bool shortRead() const { return short_; }
    const std::uint8_t* here() const { return data_ + pos_; }

    bool has(std::size_t n) const { return n <= remaining(); }
    // Takes n bytes, or marks the reader short and takes nothing (returns null).
    const std::uint8_t* take(std::size_t n) {
        if (!has(n)) {
            short_ = true;
            pos_ = size_;
            return nullptr;
        }
        const std::uint8_t* p = data_ + pos_;
        pos_ += n;
        return p;
    }
    std::uint8_t u8() {
        const std::uint8_t* p = take(1);
        return p ? p[0] : 0;
    }
    std::uint16_t u16le() {
        const std::uint8_t* p = take(2);
        return p ? static_cast<std::uint16_t>(p[0] | (p[1] << 8)) : 0;
    }
    std::uint32_t u32le() {
        const std::uint8_t* p = take(4);
        return p ? std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
                       (std::uint32_t(p[3]) << 24)
                 : 0;
    }
    std::uint64_t u64le() {
        const std::uint64_t lo = u32le();
        return lo | (std::uint64_t(u32le()) << 32);
    }
    double f64le() {
        const std::uint64_t bits = u64le();
        double d;
        std::memcpy(&d, &bits, sizeof d);
        return d;
    }
    std::string_view text(std::size_t n) {
        const std::uint8_t* p = take(n);
        return p ? std::string_view(reinterpret_cast<const char*>(p), n) : std::string_view();
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
    bool short_ = false;
};

// Appends little-endian values to a byte vector; the writing side of ByteReader.
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
