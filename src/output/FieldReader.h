// A bounded reader whose reads name the bytes they read as the writer's next byte range, so a
// field written with a value read through it carries that value's bytes:
//     w.NumberField("version", in.u16le());
// A read that does not fit names nothing (the field then carries no range). Reads that no
// field shows, and reads made ahead of the field that shows them, go through Plain() or Keep.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "common/ByteReader.h"
#include "output/FieldWriter.h"
#include "store/api/Time.h"

// A value read ahead of its field, with the bytes it came from.
template <typename T> struct KeptRead {
    T value{};
    std::size_t at = 0;
    std::size_t length = 0; // 0: the read did not fit
};

class FieldReader {
    // Runs a read and names what it consumed.
    template <typename Read> auto Named(Read read) {
        const std::size_t at = r_.Position();
        auto value = read(r_);
        if (r_.Position() > at)
            w_->NextRange(at, r_.Position() - at);
        return value;
    }

public:
    FieldReader(CFieldWriter& writer, const ByteReader& reader) : w_(&writer), r_(reader) {}

    std::uint8_t u8() {
        return Named([](ByteReader& r) { return r.u8(); });
    }
    std::uint16_t u16le() {
        return Named([](ByteReader& r) { return r.u16le(); });
    }
    std::uint32_t u32le() {
        return Named([](ByteReader& r) { return r.u32le(); });
    }
    const std::uint8_t* bytes(std::size_t n) {
        return Named([n](ByteReader& r) { return r.bytes(n); });
    }
    std::string_view text(std::size_t n) {
        return Named([n](ByteReader& r) { return r.text(n); });
    }
    store::TimeDate time() {
        return Named([](ByteReader& r) { return store::ReadTimeDate(r); });
    }

    // The next n bytes as a reader of their own (see ByteReader::Sub), named as the range of
    // the field they make up (a field of fields).
    FieldReader Sub(std::size_t n) {
        const std::size_t at = r_.Position();
        FieldReader sub(*w_, r_.Sub(n));
        w_->NextRange(at, sub.r_.Size());
        return sub;
    }

    // A read made now for a field written later; Name gives the field its bytes.
    template <typename Read> auto Keep(Read read) {
        const std::size_t at = r_.Position();
        KeptRead<decltype(read(r_))> kept{read(r_), at, 0};
        kept.length = r_.Position() - at;
        return kept;
    }
    template <typename T> const T& Name(const KeptRead<T>& kept) {
        if (kept.length)
            w_->NextRange(kept.at, kept.length);
        return kept.value;
    }

    ByteReader& Plain() { return r_; }
    const ByteReader& Plain() const { return r_; }
    bool Short() const { return r_.Short(); }
    std::size_t Offset() const { return r_.Offset(); }
    std::size_t Position() const { return r_.Position(); }

private:
    CFieldWriter* w_;
    ByteReader r_;
};
