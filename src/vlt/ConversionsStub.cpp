// Placeholder conversions until the conversion family exists: plain, fixed forms.
#include <cstdio>
#include <cstring>

#include "store/api/Conversions.h"

namespace store {
namespace {

Status Put(const char* text, char* buffer, std::size_t size, std::size_t* length) {
    const std::size_t n = std::strlen(text);
    const std::size_t k = size == 0 ? 0 : (n < size ? n : size - 1);
    if (size > 0) {
        std::memcpy(buffer, text, k);
        buffer[k] = '\0';
    }
    if (length)
        *length = k;
    return k < n ? kBufferTooSmall : kNoError;
}

} // namespace

Status MessageText(Status, char* buffer, std::size_t size, std::size_t* length) {
    Put("", buffer, size, length);
    return kInvalidArgument;
}

Status TimeToText(const IntlFormat*, const TimeFormat*, const TimeDate& time, char* buffer,
                  std::size_t size, std::size_t* length) {
    char text[32];
    std::snprintf(text, sizeof text, "%08X:%08X", unsigned(time.w[1]), unsigned(time.w[0]));
    return Put(text, buffer, size, length);
}

Status NumberToText(const IntlFormat*, const NumberFormat*, double number, char* buffer,
                    std::size_t size, std::size_t* length) {
    char text[64];
    std::snprintf(text, sizeof text, "%g", number);
    return Put(text, buffer, size, length);
}

Status TextToTime(const IntlFormat*, const TimeFormat*, const char*, std::size_t, TimeDate*) {
    return kNotImplemented;
}

std::uint16_t TextListCount(const void* list, std::size_t size) {
    if (size < 2)
        return 0;
    const auto* p = static_cast<const std::uint8_t*>(list);
    return std::uint16_t(p[0] | (p[1] << 8));
}

Status TextListEntry(const void*, std::size_t, std::uint16_t, const char**, std::uint16_t*) {
    return kNotImplemented;
}

std::size_t TranslateText(Translate, const char* text, std::size_t length, char* buffer,
                          std::size_t size) {
    const std::size_t n = size == 0 ? 0 : (length < size ? length : size - 1);
    if (size > 0) {
        std::memcpy(buffer, text, n);
        buffer[n] = '\0';
    }
    return n;
}

std::uint16_t MapColorIndex(std::uint16_t value) {
    return value;
}

} // namespace store
