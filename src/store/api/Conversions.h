// Conversions: times and numbers to and from text, time arithmetic, text lists, the character
// set of stored texts and the mapping of colour indexes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "store/api/Status.h"
#include "store/api/Time.h"

namespace store {

// International settings. A null pointer wherever one is taken means these defaults.
struct IntlFormat {
    enum class DateOrder : std::uint8_t { MDY, DMY, YMD };
    DateOrder order = DateOrder::MDY;
    char dateSeparator = '/';
    char timeSeparator = ':';
    char decimalSeparator = '.';
    char thousandSeparator = ',';
    bool clock24 = false;
    const char* am = "AM";
    const char* pm = "PM";
};

// Number format, 4 bytes as stored: digits, format, attributes, one byte not used.
struct NumberFormat {
    std::uint8_t digits = 6;
    std::uint8_t format = 0;     // 0 General, 1 Fixed, 2 Scientific, 3 Currency
    std::uint8_t attributes = 0; // 0x1 Punctuated, 0x2 Parens, 0x4 Percent
    std::uint8_t unused = 0;
};
static_assert(sizeof(NumberFormat) == 4);

// Time format, 4 bytes as stored: date style, time style, zone style, structure.
struct TimeFormat {
    std::uint8_t date = 0;      // 0 Full, 1 CPartial, 2 Partial, 3 DPartial
    std::uint8_t time = 0;      // 0 Full, 1 Partial
    std::uint8_t zone = 1;      // 0 Never, 1 Sometimes, 2 Always
    std::uint8_t structure = 2; // 0 Date, 1 Time, 2 DateTime, 3 CDateTime
};
static_assert(sizeof(TimeFormat) == 4);

// Text results are written into buffer (size bytes, always terminated when size > 0, never
// overrun); *length (may be null) receives the length written without the terminator. A result
// that does not fit is truncated and the call returns kBufferTooSmall.
Status TimeToText(const IntlFormat* intl, const TimeFormat* format, const TimeDate& time,
                  char* buffer, std::size_t size, std::size_t* length);
Status NumberToText(const IntlFormat* intl, const NumberFormat* format, double number, char* buffer,
                    std::size_t size, std::size_t* length);
// Reads a date, a time or both (as TimeToText writes them, and common variants); the text need
// not be terminated. Failure: kInvalidTime.
Status TextToTime(const IntlFormat* intl, const TimeFormat* format, const char* text,
                  std::size_t length, TimeDate* time);

// The current time, in the machine's zone.
void CurrentTime(TimeDate* time);
// The earliest time the store knows: before every stored time, and not zero.
TimeDate EarliestTime();
// Moves a time by the amounts given (each may be negative), in the stamp's own local time, as a
// calendar would: months and years keep the day of the month where it exists, else the last day.
Status AdjustTime(TimeDate* time, int seconds, int minutes, int hours, int days, int months,
                  int years);
// See TimeParts: split expresses a stamp in the zone the caller put into *parts.
Status SplitTime(const TimeDate& time, TimeParts* parts);
Status AssembleTime(const TimeParts& parts, TimeDate* time);

// Text lists: u16 count, count u16 lengths, then the entries' bytes, packed. `size` is the
// number of bytes available at `list`; entries that would reach past it are not returned.
std::uint16_t TextListCount(const void* list, std::size_t size);
// *text points into the list. kInvalidArgument for an index out of range, kBadValue for a list
// whose entry lies beyond `size`.
Status TextListEntry(const void* list, std::size_t size, std::uint16_t index, const char** text,
                     std::uint16_t* length);

// Translation between the store's character set (that of stored texts) and the platform's.
enum class Translate : std::uint8_t { FromStore, ToStore };
// Writes at most size bytes (terminated when there is room); returns the translated length.
std::size_t TranslateText(Translate direction, const char* text, std::size_t length, char* buffer,
                          std::size_t size);

// Maps a stored colour value to the index of the nearest named colour (0..239).
std::uint16_t MapColorIndex(std::uint16_t value);

} // namespace store
