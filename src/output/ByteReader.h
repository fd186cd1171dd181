// A bounded little-endian reader over bytes that came from storage.
//
// Every read is checked against the end. A read that does not fit returns 0, leaves the
// position where it was and marks the reader short; from then on every read returns 0, so a
// decoder can read a whole structure and test Short() once. The bytes not consumed (Rest) are
// what the decoder shows as remaining data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "store/api/Time.h"

class ByteReader {
public:
    ByteReader(const void* data, std::size_t size)
        : data_(static_cast<const std::uint8_t*>(data)), size_(data ? size : 0) {}

    std::uint8_t u8() {
        const std::uint8_t* p = Take(1);
        return p ? p[0] : 0;
    }
    std::uint16_t u16le() {
        const std::uint8_t* p = Take(2);
        return p ? std::uint16_t(p[0] | (p[1] << 8)) : 0;
    }
    std::uint32_t u32le() {
        const std::uint8_t* p = Take(4);
        return p ? Le32(p) : 0;
    }
    std::uint64_t u64le() {
        const std::uint8_t* p = Take(8);
        return p ? (std::uint64_t(Le32(p + 4)) << 32) | Le32(p) : 0;
    }
    double f64le() {
        const std::uint64_t bits = u64le();
        double d;
        std::memcpy(&d, &bits, sizeof d);
        return d;
    }
    store::TimeDate TimeDate() {
        const std::uint8_t* p = Take(8);
        store::TimeDate t;
        if (p) {
            t.w[0] = Le32(p);
            t.w[1] = Le32(p + 4);
        }
        return t;
    }
    // The next n bytes, consumed; null (and short) when fewer remain.
    const std::uint8_t* Bytes(std::size_t n) { return Take(n); }
    // Skips n bytes; short when fewer remain.
    bool Skip(std::size_t n) { return Take(n) != nullptr || n == 0; }

    bool Short() const { return short_; }
    bool Has(std::size_t n) const { return !short_ && n <= size_ - offset_; }
    std::size_t Offset() const { return offset_; }
    std::size_t Size() const { return size_; }
    std::size_t Remaining() const { return size_ - offset_; }
    const std::uint8_t* Rest() const { return data_ ? data_ + offset_ : nullptr; }

private:
    static std::uint32_t Le32(const std::uint8_t* p) {
        return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
               (std::uint32_t(p[3]) << 24);
    }
    const std::uint8_t* Take(std::size_t n) {
        if (!Has(n)) {
            short_ = true;
            return nullptr;
        }
        const std::uint8_t* p = data_ + offset_;
        offset_ += n;
        return p;
    }

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t offset_ = 0;
    bool short_ = false;
};
