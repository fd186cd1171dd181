// Time stamps: the 64-bit layout, calendar arithmetic, split, assemble, adjust, current time.
#include "vlt/TimeCodec.h"

#include <ctime>

#include "store/api/Conversions.h"
#include "store/api/Status.h"

namespace vlt {
namespace {

constexpr std::uint64_t kValidBit = 0x8000;
constexpr std::uint64_t kDstBit = 0x4000;
constexpr std::uint64_t kReservedBits = 0x3F80;
constexpr std::uint64_t kZoneBits = 0x7F;
constexpr int kZoneBias = 64;

// Days from 0001-01-01 to 1970-01-01.
constexpr std::int64_t kUnixEpochDay = 719162;

std::int64_t LocalOffset(int zone, bool dst) {
    return (std::int64_t(zone) + (dst ? 60 : 0)) * 60 * 100;
}

} // namespace

bool IsValidZone(int zoneMinutes) {
    return zoneMinutes >= -840 && zoneMinutes <= 840 && zoneMinutes % 15 == 0;
}

std::optional<DecodedTime> DecodeTime(const store::TimeDate& time) {
    const std::uint64_t v = time.Value();
    if ((v & kValidBit) == 0 || (v & kReservedBits) != 0)
        return std::nullopt;
    DecodedTime d;
    d.instant = std::int64_t(v >> 16);
    d.zone = (int(v & kZoneBits) - kZoneBias) * 15;
    d.dst = (v & kDstBit) != 0;
    if (!IsValidZone(d.zone))
        return std::nullopt;
    return d;
}

std::optional<store::TimeDate> EncodeTime(const DecodedTime& d) {
    if (d.instant < 0 || d.instant > kMaxInstant || !IsValidZone(d.zone))
        return std::nullopt;
    std::uint64_t v =
        (std::uint64_t(d.instant) << 16) | kValidBit | std::uint64_t(d.zone / 15 + kZoneBias);
    if (d.dst)
        v |= kDstBit;
    return store::TimeDate::FromValue(v);
}

// Proleptic Gregorian calendar via the era/day-of-era method: exact for every year 1..9999.
std::int64_t DaysFromCivil(int year, int month, int day) {
    const std::int64_t y = std::int64_t(year) - (month <= 2 ? 1 : 0);
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t mp = (month + 9) % 12;
    const std::int64_t doy = (153 * mp + 2) / 5 + day - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468 + kUnixEpochDay;
}

void CivilFromDays(std::int64_t days, int* year, int* month, int* day) {
    const std::int64_t z = days - kUnixEpochDay + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const std::int64_t d = doy - (153 * mp + 2) / 5 + 1;
    const std::int64_t m = mp < 10 ? mp + 3 : mp - 9;
    *year = int(yoe + era * 400 + (m <= 2 ? 1 : 0));
    *month = int(m);
    *day = int(d);
}

int DaysInMonth(int year, int month) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

} // namespace vlt

namespace store {

using vlt::DecodedTime;

Status SplitTime(const TimeDate& time, TimeParts* parts) {
    if (!parts || !vlt::IsValidZone(parts->zone))
        return kInvalidArgument;
    const auto d = vlt::DecodeTime(time);
    if (!d)
        return kInvalidTime;
    const std::int64_t local = d->instant + vlt::LocalOffset(parts->zone, parts->dst);
    if (local < 0)
        return kInvalidTime;
    const std::int64_t days = local / vlt::kHundredthsPerDay;
    std::int64_t rest = local % vlt::kHundredthsPerDay;
    vlt::CivilFromDays(days, &parts->year, &parts->month, &parts->day);
    if (parts->year > 9999)
        return kInvalidTime;
    parts->weekday = int((days + 1) % 7) + 1; // 0001-01-01 was a Monday
    parts->hundredth = int(rest % 100);
    rest /= 100;
    parts->second = int(rest % 60);
    rest /= 60;
    parts->minute = int(rest % 60);
    parts->hour = int(rest / 60);
    return kNoError;
}

Status AssembleTime(const TimeParts& p, TimeDate* time) {
    if (!time)
        return kInvalidArgument;
    if (p.year < 1 || p.year > 9999 || p.month < 1 || p.month > 12 || p.day < 1 ||
        p.day > vlt::DaysInMonth(p.year, p.month) || p.hour < 0 || p.hour > 23 || p.minute < 0 ||
        p.minute > 59 || p.second < 0 || p.second > 59 || p.hundredth < 0 || p.hundredth > 99 ||
        !vlt::IsValidZone(p.zone))
        return kInvalidTime;
    const std::int64_t local = vlt::DaysFromCivil(p.year, p.month, p.day) * vlt::kHundredthsPerDay +
                               ((std::int64_t(p.hour) * 60 + p.minute) * 60 + p.second) * 100 +
                               p.hundredth;
    const auto t =
        vlt::EncodeTime(DecodedTime{local - vlt::LocalOffset(p.zone, p.dst), p.zone, p.dst});
    if (!t)
        return kInvalidTime;
    *time = *t;
    return kNoError;
}

TimeDate EarliestTime() {
    return *vlt::EncodeTime(DecodedTime{0, 0, false});
}

void CurrentTime(TimeDate* time) {
    if (!time)
        return;
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    tm local{};
    localtime_r(&ts.tv_sec, &local);
    const bool dst = local.tm_isdst > 0;
    int zone = int(local.tm_gmtoff / 60) - (dst ? 60 : 0);
    zone = zone / 15 * 15;
    if (!vlt::IsValidZone(zone))
        zone = 0;
    const std::int64_t instant =
        (std::int64_t(ts.tv_sec) + vlt::kUnixEpochDay * 86400) * 100 + ts.tv_nsec / 10000000;
    *time = vlt::EncodeTime(DecodedTime{instant, zone, dst}).value_or(TimeDate{});
}

Status AdjustTime(TimeDate* time, int seconds, int minutes, int hours, int days, int months,
                  int years) {
    if (!time)
        return kInvalidArgument;
    const auto d = vlt::DecodeTime(*time);
    if (!d)
        return kInvalidTime;
    TimeParts p;
    p.zone = d->zone;
    p.dst = d->dst;
    if (Status s = SplitTime(*time, &p); s != kNoError)
        return s;
    // Calendar part first: whole months, keeping the day where the month has it.
    const std::int64_t monthIndex =
        std::int64_t(p.year) * 12 + (p.month - 1) + std::int64_t(years) * 12 + months;
    if (monthIndex < 12 || monthIndex > 9999LL * 12 + 11)
        return kInvalidTime;
    p.year = int(monthIndex / 12);
    p.month = int(monthIndex % 12) + 1;
    if (p.day > vlt::DaysInMonth(p.year, p.month))
        p.day = vlt::DaysInMonth(p.year, p.month);
    TimeDate moved;
    if (Status s = AssembleTime(p, &moved); s != kNoError)
        return s;
    auto m = vlt::DecodeTime(moved);
    const std::int64_t delta =
        ((std::int64_t(days) * 24 + hours) * 60 * 60 + std::int64_t(minutes) * 60 + seconds) * 100;
    m->instant += delta;
    const auto t = vlt::EncodeTime(*m);
    if (!t)
        return kInvalidTime;
    *time = *t;
    return kNoError;
}

} // namespace store
