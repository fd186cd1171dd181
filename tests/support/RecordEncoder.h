// Builds record streams: for tests, samples and benchmarks. Bodies are written field by field
// in little-endian order; the encoder adds the header of the form the signature calls for and
// keeps every record on an even offset.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

using RecordBytes = std::vector<std::uint8_t>;

// The bytes of a record body, after the header.
class RecordBody {
public:
    RecordBody& u8(std::uint8_t v);
    RecordBody& u16(std::uint16_t v);
    RecordBody& i16(std::int16_t v) { return u16(std::uint16_t(v)); }
    RecordBody& u32(std::uint32_t v);
    RecordBody& zeros(std::size_t n);
    // The text's bytes, no terminator.
    RecordBody& text(std::string_view s);
    // The text zero-padded to a room of n bytes (cut to n - 1 so a terminator stays).
    RecordBody& text(std::string_view s, std::size_t room);
    RecordBody& bytes(const RecordBytes& b);
    // A compiled formula of our formula language; empty when it does not compile.
    static RecordBytes Formula(std::string_view source);

    const RecordBytes& Bytes() const { return bytes_; }
    std::size_t Size() const { return bytes_.size(); }

private:
    RecordBytes bytes_;
};

class RecordEncoder {
public:
    explicit RecordEncoder(std::uint16_t kind);

    // The header form follows the signature: 0xFFxx the word form, 0x01xx..0xFExx impossible
    // (use Long), below 0x100 the byte form when the length fits in its byte, else the long
    // form. `declared` replaces the computed length (to build damaged records).
    RecordEncoder& Add(std::uint16_t signature, const RecordBody& body);
    RecordEncoder& Byte(std::uint8_t signature, const RecordBody& body, int declared = -1);
    RecordEncoder& Word(std::uint16_t signature, const RecordBody& body, long declared = -1);
    RecordEncoder& Long(std::uint16_t signature, const RecordBody& body, long declared = -1);
    // Bytes as they are, without a header or padding.
    RecordEncoder& Raw(const RecordBytes& bytes);

    const RecordBytes& Stream() const { return stream_; }
    // Where each record added starts, from the stream's start.
    const std::vector<std::size_t>& Starts() const { return starts_; }

private:
    void Append(const RecordBytes& header, const RecordBody& body);

    RecordBytes stream_;
    std::vector<std::size_t> starts_;
};
