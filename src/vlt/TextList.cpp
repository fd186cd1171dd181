// Text lists as stored:
//   offset 0          u16 count
//   offset 2          count u16 lengths
//   offset 2+2*count  the entries' bytes, packed in order, without terminators
// Every length and offset is checked against the size the caller gives.
#include "store/api/Conversions.h"

namespace store {
namespace {

std::uint16_t U16(const std::uint8_t* p) {
    return std::uint16_t(p[0] | (p[1] << 8));
}

} // namespace

std::uint16_t TextListCount(const void* list, std::size_t size) {
    if (!list || size < 2)
        return 0;
    const auto* p = static_cast<const std::uint8_t*>(list);
    const std::uint16_t count = U16(p);
    // Entries start after every length word: without them all, no entry can be found.
    std::size_t offset = 2 + 2 * std::size_t(count);
    if (offset > size)
        return 0;
    std::uint16_t whole = 0;
    for (; whole < count; ++whole) {
        const std::size_t n = U16(p + 2 + 2 * std::size_t(whole));
        if (n > size - offset)
            break;
        offset += n;
    }
    return whole;
}

Status TextListEntry(const void* list, std::size_t size, std::uint16_t index, const char** text,
                     std::uint16_t* length) {
    if (text)
        *text = nullptr;
    if (length)
        *length = 0;
    if (!list || size < 2)
        return kInvalidArgument;
    const auto* p = static_cast<const std::uint8_t*>(list);
    const std::uint16_t count = U16(p);
    if (index >= count)
        return kInvalidArgument;
    const std::size_t lengths = 2;
    const std::size_t dataStart = 2 + 2 * std::size_t(count);
    if (dataStart > size)
        return kBadValue; // the length words themselves are cut off
    std::size_t offset = dataStart;
    for (std::uint16_t i = 0; i < index; ++i)
        offset += U16(p + lengths + 2 * i);
    const std::uint16_t n = U16(p + lengths + 2 * index);
    if (offset > size || n > size - offset)
        return kBadValue;
    if (text)
        *text = reinterpret_cast<const char*>(p + offset);
    if (length)
        *length = n;
    return kNoError;
}

} // namespace store
