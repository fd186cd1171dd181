// Encoding and decoding of the store's time stamps (layout in store/api/Time.h).
#pragma once

#include <cstdint>
#include <optional>

#include "store/api/Time.h"

namespace vlt {

constexpr std::int64_t kHundredthsPerDay = 86400LL * 100;
// The instant field has 48 bits; 9999-12-31 ends well below that.
constexpr std::int64_t kMaxInstant = (std::int64_t(1) << 48) - 1;

struct DecodedTime {
    std::int64_t instant = 0; // hundredths of a second since 0001-01-01 00:00:00.00 GMT
    int zone = 0;             // minutes east of GMT
    bool dst = false;
};

// False for zones that are not a multiple of 15 minutes within -14h..+14h.
bool IsValidZone(int zoneMinutes);
// Empty for the zero stamp, a stamp without its validity bit, a reserved bit set or a bad zone.
std::optional<DecodedTime> DecodeTime(const store::TimeDate& time);
// Empty when the instant or zone is out of range.
std::optional<store::TimeDate> EncodeTime(const DecodedTime& decoded);

// Days since 0001-01-01 (day 0) for a proleptic Gregorian date, and back.
std::int64_t DaysFromCivil(int year, int month, int day);
void CivilFromDays(std::int64_t days, int* year, int* month, int* day);
int DaysInMonth(int year, int month);

} // namespace vlt
