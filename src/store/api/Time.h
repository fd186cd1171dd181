// The store's time stamp: 8 bytes as two little-endian 32-bit words, w[0] then w[1].
//
// Read as one unsigned 64-bit number v = (w[1] << 32) | w[0]:
//   bits 16..63  hundredths of a second since 0001-01-01 00:00:00.00 GMT (the instant)
//   bit  15      always 1 in a valid stamp, so that no valid stamp is all zero
//   bit  14      daylight saving time was in force where the stamp was made
//   bits 7..13   reserved, 0
//   bits 0..6    the zone: minutes east of GMT divided by 15, plus 64 (8..120 for -14h..+14h)
// All eight bytes zero means "no time". Because the instant is in the high bits, comparing two
// stamps as unsigned 64-bit numbers orders them in time (ties broken by zone); the zone and the
// daylight saving flag only say how the instant is shown locally.
#pragma once

#include <cstdint>

#include "common/ByteReader.h"

namespace store {

struct TimeDate {
    std::uint32_t w[2] = {0, 0};

    bool IsZero() const { return w[0] == 0 && w[1] == 0; }
    std::uint64_t Value() const { return (std::uint64_t(w[1]) << 32) | w[0]; }
    static TimeDate FromValue(std::uint64_t v) {
        return TimeDate{{std::uint32_t(v), std::uint32_t(v >> 32)}};
    }
    friend bool operator==(const TimeDate&, const TimeDate&) = default;
};
static_assert(sizeof(TimeDate) == 8);

// Reads a whole stamp or none: when fewer than 8 bytes remain the reader goes short, keeps its
// position and the stamp is zero.
inline TimeDate ReadTimeDate(ByteReader& r) {
    ByteReader stamp = r.Sub(sizeof(TimeDate));
    TimeDate t;
    t.w[0] = stamp.u32le();
    t.w[1] = stamp.u32le();
    return t;
}

struct TimeRange {
    TimeDate start;
    TimeDate end;
};
static_assert(sizeof(TimeRange) == 16);

// A time split into its parts, as local time in the zone given by `zone` and `dst`.
// SplitTime reads zone and dst from the caller (the zone to express the stamp in) and fills the
// rest; AssembleTime reads every field and gives a stamp that carries that zone.
struct TimeParts {
    int year = 0;      // 1..9999
    int month = 0;     // 1..12
    int day = 0;       // 1..31
    int weekday = 0;   // 1 (Sunday) .. 7 (Saturday); ignored by AssembleTime
    int hour = 0;      // 0..23
    int minute = 0;    // 0..59
    int second = 0;    // 0..59
    int hundredth = 0; // 0..99
    int zone = 0;      // minutes east of GMT, a multiple of 15, -840..840
    bool dst = false;  // daylight saving in force: local time is one hour later
};

} // namespace store
