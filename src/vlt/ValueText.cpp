// Item values as text, for labels and summary lookups. Reads only within the value given.
#include <string>

#include "store/api/Conversions.h"
#include "store/api/Items.h"
#include "vlt/ByteReader.h"

namespace store {
namespace {

std::string NumberText(double d) {
    char buf[64];
    std::size_t n = 0;
    NumberToText(nullptr, nullptr, d, buf, sizeof buf, &n);
    return std::string(buf, n);
}

std::string TimeText(vlt::ByteReader& r) {
    TimeDate t;
    t.w[0] = r.u32le();
    t.w[1] = r.u32le();
    char buf[96];
    std::size_t n = 0;
    TimeToText(nullptr, nullptr, t, buf, sizeof buf, &n);
    return std::string(buf, n);
}

// Lists and ranges of numbers or times: u16 list count, u16 range count, the list entries, then
// the range pairs. False when the counts reach past the value (what fits is still written).
bool RangeText(vlt::ByteReader& r, bool numbers, char sep, std::string* out) {
    const std::uint16_t listCount = r.u16le();
    const std::uint16_t rangeCount = r.u16le();
    const bool whole =
        !r.shortRead() && r.has(std::size_t(listCount) * 8 + std::size_t(rangeCount) * 16);
    auto one = [&] { return numbers ? NumberText(r.f64le()) : TimeText(r); };
    for (unsigned i = 0; i < listCount && r.has(8); ++i) {
        if (!out->empty())
            *out += sep;
        *out += one();
    }
    for (unsigned i = 0; i < rangeCount && r.has(16); ++i) {
        if (!out->empty())
            *out += sep;
        *out += one();
        *out += " - ";
        *out += one();
    }
    return whole;
}

} // namespace

Status ValueToText(const void* value, std::size_t valueLength, char separator, char* buffer,
                   std::size_t size, std::size_t* length) {
    vlt::ByteReader r(value, valueLength);
    const std::uint16_t type = r.u16le();
    if (r.shortRead()) {
        vlt::CopyOut("", buffer, size, length);
        return kBadValue;
    }
    vlt::ByteReader body(r.here(), r.remaining());
    std::string text;
    bool whole = true;
    switch (type) {
    case kTypeText:
        text = std::string(body.text(body.remaining()));
        break;
    case kTypeTextList: {
        const std::uint16_t count = body.u16le();
        if (body.shortRead() || !body.has(2 * std::size_t(count))) {
            whole = false;
            break;
        }
        vlt::ByteReader lengths(body.here(), 2 * std::size_t(count));
        body.take(2 * std::size_t(count));
        for (unsigned i = 0; i < count; ++i) {
            const std::uint16_t n = lengths.u16le();
            if (!body.has(n)) {
                whole = false;
                break;
            }
            if (i > 0)
                text += separator;
            text += body.text(n);
        }
        break;
    }
    case kTypeNumber:
        if (body.has(8))
            text = NumberText(body.f64le());
        else
            whole = false;
        break;
    case kTypeTime:
        if (body.has(8))
            text = TimeText(body);
        else
            whole = false;
        break;
    case kTypeNumberRange:
    case kTypeTimeRange:
        whole = RangeText(body, type == kTypeNumberRange, separator, &text);
        break;
    default:
        break; // no text form
    }
    if (!vlt::CopyOut(text, buffer, size, length))
        return whole ? kBufferTooSmall : kBadValue;
    return whole ? kNoError : kBadValue;
}

} // namespace store
