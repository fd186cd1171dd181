// The one bounded little-endian reader over bytes that came from storage.
//
// A reader covers one span of bytes and reads forward from its position. Every read is checked
// against the end of the span: a read that does not fit returns 0 (a null pointer, an empty
// text), leaves the position where it was and marks the reader short; from then on every read
// returns 0, so a decoder can read a whole structure and test Short() once. The bytes not
// consumed (Rest, Remaining) are what the decoder shows as remaining data; after a short read
// they start at the read that did not fit.
//
// Sub-structures are cut as readers of their own, never by pointer arithmetic:
//   Sub(n)      the next n bytes as a reader, consumed from this one. When fewer remain, this
//               reader is marked short and stays where it was, and the sub-reader covers what
//               remains but is short from the start (so it reads only zeros).
//   At(offset)  the bytes from offset to the end of this reader's span, whatever its position,
//               without consuming anything; short and empty when offset is past the end.
// Either kind of sub-reader of a short reader is short itself, so one failed read spoils
// everything cut from the structure after it. A sub-reader knows where its span starts in the
// outermost reader, so Position() is an offset into the bytes a decoder was first given: the
// byte range of a field is (Position() before it, its length).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

class ByteReader {
public:
    ByteReader() = default;
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
    // The next n bytes, consumed; null (and short) when fewer remain.
    const std::uint8_t* bytes(std::size_t n) { return Take(n); }
    // The next n bytes as text, consumed; empty (and short) when fewer remain.
    std::string_view text(std::size_t n) {
        const std::uint8_t* p = Take(n);
        return p ? std::string_view(reinterpret_cast<const char*>(p), n) : std::string_view();
    }
    // Skips n bytes; false (and short) when fewer remain.
    bool skip(std::size_t n) { return Take(n) != nullptr || (n == 0 && !short_); }

    ByteReader Sub(std::size_t n) {
        ByteReader sub(Rest(), n < Remaining() ? n : Remaining());
        sub.base_ = Position();
        if (Take(n) == nullptr && n > 0)
            sub.short_ = true;
        sub.short_ = sub.short_ || short_;
        return sub;
    }
    ByteReader At(std::size_t offset) const {
        if (offset > size_) {
            ByteReader none;
            none.short_ = true;
            none.base_ = base_ + size_;
            return none;
        }
        ByteReader at(data_ + offset, size_ - offset);
        at.base_ = base_ + offset;
        at.short_ = short_;
        return at;
    }

    bool Short() const { return short_; }
    // Whether n more bytes can be read.
    bool Has(std::size_t n) const { return !short_ && n <= size_ - offset_; }
    std::size_t Offset() const { return offset_; }
    // The offset of the next read in the outermost reader's span.
    std::size_t Position() const { return base_ + offset_; }
    std::size_t Size() const { return size_; }
    std::size_t Remaining() const { return size_ - offset_; }
    const std::uint8_t* Data() const { return data_; }
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

    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t offset_ = 0;
    std::size_t base_ = 0; // where data_ lies in the outermost reader's span
    bool short_ = false;
};
