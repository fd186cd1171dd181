// Stored item layouts to values and back (layouts in ValueCodec.h).
#include "vlt/formula/ValueCodec.h"

#include <cstring>

#include "common/ByteReader.h"

namespace vlt::formula {
namespace {

double F64At(ByteReader& r) {
    return r.f64le();
}
store::TimeDate TimeAt(ByteReader& r) {
    return store::ReadTimeDate(r);
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
store::Status DecodeRange(ByteReader r, Get get, std::vector<T>* out) {
    const std::size_t list = r.u16le();
    const std::size_t pairs = r.u16le();
    if (r.Short())
        return store::kBadValue;
    const std::size_t elements = list + 2 * pairs;
    if (elements > r.Remaining() / 8)
        return store::kBadValue;
    out->reserve(elements);
    for (std::size_t i = 0; i < elements; ++i)
        out->push_back(get(r));
    return store::kNoError;
}

} // namespace

store::Status DecodeItem(const ItemValue& item, Value* out) {
    ByteReader r(item.data, item.size);
    switch (item.type) {
    case kTypeText:
        *out = Value::Text(std::string(r.text(r.Remaining())));
        return store::kNoError;
    case kTypeTextList: {
        const std::size_t count = r.u16le();
        if (r.Short())
            return store::kBadValue;
        if (count > r.Remaining() / 2)
            return store::kBadValue;
        ByteReader lengths = r.Sub(2 * count);
        *out = Value::EmptyList(Kind::Text);
        out->texts.reserve(count);
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t len = lengths.u16le();
            if (!r.Has(len))
                return store::kBadValue;
            out->texts.emplace_back(r.text(len));
        }
        return store::kNoError;
    }
    case kTypeNumber:
        if (!r.Has(8))
            return store::kBadValue;
        *out = Value::Number(F64At(r));
        return store::kNoError;
    case kTypeTime:
        if (!r.Has(8))
            return store::kBadValue;
        *out = Value::Time(TimeAt(r));
        return store::kNoError;
    case kTypeNumberRange:
        *out = Value::EmptyList(Kind::Number);
        return DecodeRange(r, F64At, &out->numbers);
    case kTypeTimeRange:
        *out = Value::EmptyList(Kind::Time);
        return DecodeRange(r, TimeAt, &out->times);
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
