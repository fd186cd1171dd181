// Text lists as stored:
//   offset 0          u16 count
//   offset 2          count u16 lengths
//   offset 2+2*count  the entries' bytes, packed in order, without terminators
// Every length and offset is checked against the size the caller gives.
#include "common/ByteReader.h"
#include "store/api/Conversions.h"

namespace store {

std::uint16_t TextListCount(const void* list, std::size_t size) {
    ByteReader r(list, size);
    const std::uint16_t count = r.u16le();
    // Entries start after every length word: without them all, no entry can be found.
    ByteReader lengths = r.Sub(2 * std::size_t(count));
    if (r.Short())
        return 0;
    std::uint16_t whole = 0;
    for (; whole < count; ++whole) {
        if (!r.skip(lengths.u16le()))
            break;
    }
    return whole;
}

Status TextListEntry(const void* list, std::size_t size, std::uint16_t index, const char** text,
                     std::uint16_t* length) {
    if (text)
        *text = nullptr;
    if (length)
        *length = 0;
    ByteReader r(list, size);
    const std::uint16_t count = r.u16le();
    if (r.Short())
        return kInvalidArgument;
    if (index >= count)
        return kInvalidArgument;
    ByteReader lengths = r.Sub(2 * std::size_t(count));
    if (r.Short())
        return kBadValue; // the length words themselves are cut off
    std::size_t offset = r.Offset();
    for (std::uint16_t i = 0; i < index; ++i)
        offset += lengths.u16le();
    const std::uint16_t n = lengths.u16le();
    ByteReader entry = r.At(offset);
    const std::string_view entryText = entry.text(n);
    if (entry.Short())
        return kBadValue;
    if (text)
        *text = entryText.data();
    if (length)
        *length = n;
    return kNoError;
}

} // namespace store
