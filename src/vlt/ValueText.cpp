// Item values as text, for labels and summary lookups. Reads only within the value given.
#include <string>

#include "common/ByteReader.h"
#include "store/api/Conversions.h"
#include "store/api/Items.h"
#include "vlt/ByteWriter.h"

namespace store {
namespace {

std::string NumberText(double d) {
    char buf[64];
    std::size_t n = 0;
    NumberToText(nullptr, nullptr, d, buf, sizeof buf, &n);
    return std::string(buf, n);
}

std::string TimeText(ByteReader& r) {
    const TimeDate t = ReadTimeDate(r);
    char buf[96];
    std::size_t n = 0;
    TimeToText(nullptr, nullptr, t, buf, sizeof buf, &n);
    return std::string(buf, n);
}

// Lists and ranges of numbers or times: u16 list count, u16 range count, the list entries, then
// the range pairs. False when the counts reach past the value (what fits is still written).
bool RangeText(ByteReader& r, bool numbers, char sep, std::string* out) {
    const std::uint16_t listCount = r.u16le();
    const std::uint16_t rangeCount = r.u16le();
    const bool whole =
        !r.Short() && r.Has(std::size_t(listCount) * 8 + std::size_t(rangeCount) * 16);
    auto one = [&] { return numbers ? NumberText(r.f64le()) : TimeText(r); };
    for (unsigned i = 0; i < listCount && r.Has(8); ++i) {
        if (!out->empty())
            *out += sep;
        *out += one();
    }
    for (unsigned i = 0; i < rangeCount && r.Has(16); ++i) {
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
    ByteReader r(value, valueLength);
    const std::uint16_t type = r.u16le();
    if (r.Short()) {
        vlt::CopyOut("", buffer, size, length);
        return kBadValue;
    }
    ByteReader body = r.At(r.Offset());
    std::string text;
    bool whole = true;
    switch (type) {
    case kTypeText:
        text = std::string(body.text(body.Remaining()));
        break;
    case kTypeTextList: {
        const std::uint16_t count = body.u16le();
        if (body.Short() || !body.Has(2 * std::size_t(count))) {
            whole = false;
            break;
        }
        ByteReader lengths = body.Sub(2 * std::size_t(count));
        for (unsigned i = 0; i < count; ++i) {
            const std::uint16_t n = lengths.u16le();
            if (!body.Has(n)) {
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
        if (body.Has(8))
            text = NumberText(body.f64le());
        else
            whole = false;
        break;
    case kTypeTime:
        if (body.Has(8))
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
