#include "records/RecordWalker.h"

#include "common/ByteReader.h"

namespace {

// How far the walk steps over a record: its length, except for three navigator drawing
// records whose point lists make them longer than a byte-form length can say. Counts past the
// stream's end read as 0, so a cut record still steps at least over its fixed part and is
// reported cut, rather than stepping into its own bytes.
std::size_t StepLength(std::uint16_t kind, const RecordSpan& r) {
    if (kind != kStreamKindLayout)
        return r.length;
    std::size_t countAt = 0, fixed = 0;
    switch (r.signature) {
    case 0xB2: // polygon
    case 0xC0: // poly-region
        countAt = 62;
        fixed = 80;
        break;
    case 0xB3: // polyline
        countAt = 56;
        fixed = 74;
        break;
    default:
        return r.length;
    }
    ByteReader in(r.record, r.available);
    in.skip(20);
    const std::size_t a = in.u16le();
    const std::size_t b = in.u16le();
    in.skip(countAt - 24);
    const std::size_t points = in.u16le();
    return a + b + 8 * points + fixed;
}

} // namespace

store::Status EnumerateRecords(const std::uint8_t* stream, std::size_t length,
                               RecordCallback callback, void* context) {
    return EnumerateRecordsFrom(stream, length, 2, callback, context);
}

store::Status EnumerateRecordsFrom(const std::uint8_t* stream, std::size_t length, std::size_t from,
                                   RecordCallback callback, void* context) {
    const ByteReader all(stream, length);
    ByteReader head = all.At(0);
    const std::uint16_t kind = head.u16le();
    if (head.Short())
        return store::kNoError;
    std::size_t pos = from < 2 ? 2 : from;
    while (pos < length) {
        RecordSpan r;
        ByteReader in = all.At(pos);
        r.record = in.Rest();
        r.available = in.Remaining();
        const std::uint16_t word = in.u16le();
        if ((word & 0xFF00) == 0) {
            r.headerSize = 6;
            r.signature = word;
            r.length = in.u32le();
        } else if ((word & 0xFF00) == 0xFF00) {
            r.headerSize = 4;
            r.signature = word;
            r.length = in.u16le();
        } else {
            r.headerSize = 2;
            r.signature = word & 0xFF;
            r.length = word >> 8;
        }
        std::size_t step = in.Short() ? 0 : StepLength(kind, r);
        // A length shorter than its own header would start the next record inside this one.
        if (step < r.headerSize)
            step = r.headerSize;
        r.cutShort = in.Short() || step > r.available || r.length > r.available;
        const store::Status status = callback(r, context);
        if (status != store::kNoError)
            return status;
        if (r.cutShort)
            break;
        pos += step;
        pos += pos & 1;
    }
    return store::kNoError;
}
