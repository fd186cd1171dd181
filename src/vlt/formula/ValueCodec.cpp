// Stored item layouts to values and back (layouts in ValueCodec.h).
#include "vlt/formula/ValueCodec.h"

#include <cstring>

namespace vlt::formula {
namespace {

std::uint16_t U16At(const std::uint8_t* p) {
    return std::uint16_t(p[0] | (p[1] << 8));
}
std::uint32_t U32At(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}
double F64At(const std::uint8_t* p) {
    const std::uint64_t bits = U32At(p) | (std::uint64_t(U32At(p + 4)) << 32);
    double d;
    std::memcpy(&d, &bits, 8);
    return d;
}
store::TimeDate TimeAt(const std::uint8_t* p) {
    return store::TimeDate{{U32At(p), U32At(p + 4)}};
}

void PutU16(std::vector<std::uint8_t>* out, std::uint16_t v) {
    out->push_back(std::uint8_t(v));
    out->push_back(std::uint8_t(v >> 8));
}
void PutU32(std::vector<std::uint8_t>* out, std::uint32_t v) {
    PutU16(out, std::uint16_t(v));
    PutU16(out, std::uint16_t(v >> 16));
}

// Ranges of 8-byte elements: u16 list count, u16 pair count, then (list + 2 * pairs) elements.
template <typename T, typename Get>
store::Status DecodeRange(const std::uint8_t* p, std::size_t n, Get get, std::vector<T>* out) {
    if (n < 4)
        return store::kBadValue;
    const std::size_t elements = std::size_t(U16At(p)) + 2 * std::size_t(U16At(p + 2));
    if (elements > (n - 4) / 8)
        return store::kBadValue;
    out->reserve(elements);
    for (std::size_t i = 0; i < elements; ++i)
        out->push_back(get(p + 4 + 8 * i));
    return store::kNoError;
}

} // namespace

store::Status DecodeItem(const ItemValue& item, Value* out) {
    const std::uint8_t* p = item.data;
    const std::size_t n = p ? item.size : 0;
    switch (item.type) {
    case kTypeText:
        *out = Value::Text(std::string(reinterpret_cast<const char*>(p), n));
        return store::kNoError;
    case kTypeTextList: {
        if (n < 2)
            return store::kBadValue;
        const std::size_t count = U16At(p);
        if (count > (n - 2) / 2)
            return store::kBadValue;
        std::size_t at = 2 + 2 * count;
        *out = Value::EmptyList(Kind::Text);
        out->texts.reserve(count);
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t len = U16At(p + 2 + 2 * i);
            if (len > n - at)
                return store::kBadValue;
            out->texts.emplace_back(reinterpret_cast<const char*>(p + at), len);
            at += len;
        }
        return store::kNoError;
    }
    case kTypeNumber:
        if (n < 8)
            return store::kBadValue;
        *out = Value::Number(F64At(p));
        return store::kNoError;
    case kTypeTime:
        if (n < 8)
            return store::kBadValue;
        *out = Value::Time(TimeAt(p));
        return store::kNoError;
    case kTypeNumberRange:
        *out = Value::EmptyList(Kind::Number);
        return DecodeRange(p, n, F64At, &out->numbers);
    case kTypeTimeRange:
        *out = Value::EmptyList(Kind::Time);
        return DecodeRange(p, n, TimeAt, &out->times);
    default:
        *out = Value::Text("");
        return store::kNoError;
    }
}

store::Status ReadField(const NoteContext* note, std::string_view name, Value* out) {
    ItemValue item;
    if (!note || !note->FindItem(name, &item)) {
        *out = Value::Text("");
        return store::kNoError;
    }
    return DecodeItem(item, out);
}

store::Status EncodeResult(const Value& v, std::vector<std::uint8_t>* out) {
    out->clear();
    const std::size_t count = v.Count();
    if (v.list && count > 0xFFFF)
        return store::kFormulaRuntime;
    switch (v.kind) {
    case Kind::Text:
        if (!v.list) {
            PutU16(out, kTypeText);
            out->insert(out->end(), v.texts[0].begin(), v.texts[0].end());
            return store::kNoError;
        }
        PutU16(out, kTypeTextList);
        PutU16(out, std::uint16_t(count));
        for (const auto& t : v.texts) {
            if (t.size() > 0xFFFF)
                return store::kFormulaRuntime;
            PutU16(out, std::uint16_t(t.size()));
        }
        for (const auto& t : v.texts)
            out->insert(out->end(), t.begin(), t.end());
        return store::kNoError;
    case Kind::Number:
        PutU16(out, v.list ? kTypeNumberRange : kTypeNumber);
        if (v.list) {
            PutU16(out, std::uint16_t(count));
            PutU16(out, 0);
        }
        for (double d : v.numbers) {
            std::uint64_t bits;
            std::memcpy(&bits, &d, 8);
            PutU32(out, std::uint32_t(bits));
            PutU32(out, std::uint32_t(bits >> 32));
        }
        return store::kNoError;
    case Kind::Time:
        PutU16(out, v.list ? kTypeTimeRange : kTypeTime);
        if (v.list) {
            PutU16(out, std::uint16_t(count));
            PutU16(out, 0);
        }
        for (const auto& t : v.times) {
            PutU32(out, t.w[0]);
            PutU32(out, t.w[1]);
        }
        return store::kNoError;
    }
    return store::kInternalError;
}

} // namespace vlt::formula
