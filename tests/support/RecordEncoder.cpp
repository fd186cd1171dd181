#include "support/RecordEncoder.h"

#include <cstring>

#include "store/api/Formula.h"
#include "store/api/Memory.h"

RecordBody& RecordBody::u8(std::uint8_t v) {
    bytes_.push_back(v);
    return *this;
}

RecordBody& RecordBody::u16(std::uint16_t v) {
    return u8(std::uint8_t(v)).u8(std::uint8_t(v >> 8));
}

RecordBody& RecordBody::u32(std::uint32_t v) {
    return u16(std::uint16_t(v)).u16(std::uint16_t(v >> 16));
}

RecordBody& RecordBody::zeros(std::size_t n) {
    bytes_.insert(bytes_.end(), n, 0);
    return *this;
}

RecordBody& RecordBody::text(std::string_view s) {
    bytes_.insert(bytes_.end(), s.begin(), s.end());
    return *this;
}

RecordBody& RecordBody::text(std::string_view s, std::size_t room) {
    if (room == 0)
        return *this;
    const std::string_view kept = s.substr(0, room - 1);
    return text(kept).zeros(room - kept.size());
}

RecordBody& RecordBody::bytes(const RecordBytes& b) {
    bytes_.insert(bytes_.end(), b.begin(), b.end());
    return *this;
}

RecordBytes RecordBody::Formula(std::string_view source) {
    store::OwnedMem handle;
    std::size_t length = 0;
    if (store::FormulaCompile(source.data(), source.size(), handle.out(), &length, nullptr) !=
        store::kNoError)
        return {};
    store::LockedMem locked(handle.get());
    if (!locked)
        return {};
    return RecordBytes(locked.bytes(), locked.bytes() + length);
}

RecordEncoder::RecordEncoder(std::uint16_t kind) {
    stream_ = {std::uint8_t(kind), std::uint8_t(kind >> 8)};
}

RecordEncoder& RecordEncoder::Add(std::uint16_t signature, const RecordBody& body) {
    if ((signature & 0xFF00) == 0xFF00)
        return Word(signature, body);
    if (signature < 0x100 && body.Size() + 2 <= 0xFF)
        return Byte(std::uint8_t(signature), body);
    return Long(signature, body);
}

RecordEncoder& RecordEncoder::Byte(std::uint8_t signature, const RecordBody& body, int declared) {
    const int length = declared >= 0 ? declared : int(body.Size() + 2);
    Append({signature, std::uint8_t(length)}, body);
    return *this;
}

RecordEncoder& RecordEncoder::Word(std::uint16_t signature, const RecordBody& body, long declared) {
    const std::uint16_t length = std::uint16_t(declared >= 0 ? declared : long(body.Size() + 4));
    Append({std::uint8_t(signature), 0xFF, std::uint8_t(length), std::uint8_t(length >> 8)}, body);
    return *this;
}

RecordEncoder& RecordEncoder::Long(std::uint16_t signature, const RecordBody& body, long declared) {
    const std::uint32_t length = std::uint32_t(declared >= 0 ? declared : long(body.Size() + 6));
    Append({std::uint8_t(signature), 0, std::uint8_t(length), std::uint8_t(length >> 8),
            std::uint8_t(length >> 16), std::uint8_t(length >> 24)},
           body);
    return *this;
}

RecordEncoder& RecordEncoder::Raw(const RecordBytes& bytes) {
    starts_.push_back(stream_.size());
    stream_.insert(stream_.end(), bytes.begin(), bytes.end());
    return *this;
}

void RecordEncoder::Append(const RecordBytes& header, const RecordBody& body) {
    starts_.push_back(stream_.size());
    stream_.insert(stream_.end(), header.begin(), header.end());
    stream_.insert(stream_.end(), body.Bytes().begin(), body.Bytes().end());
    if (stream_.size() & 1)
        stream_.push_back(0);
}
