// Times to text (the form is described in TimeText.h) and the machine's zone rules.
#include "vlt/TimeText.h"

#include <charconv>
#include <cstdio>
#include <ctime>
#include <optional>

#include "vlt/TextBuffer.h"
#include "vlt/TimeCodec.h"

namespace vlt {
namespace {

// printf's "%0*d" without printf: every time a dump shows goes through here several times.
std::string Num(int value, int width) {
    const bool negative = value < 0;
    const unsigned magnitude = negative ? 0u - unsigned(value) : unsigned(value);
    char digits[16];
    const char* end = std::to_chars(digits, digits + sizeof digits, magnitude).ptr;
    const int count = int(end - digits);
    std::string text;
    if (negative)
        text += '-';
    if (const int pad = width - count - int(negative); pad > 0)
        text.append(std::size_t(pad), '0');
    text.append(digits, std::size_t(count));
    return text;
}

std::string DateText(const store::TimeParts& p, std::uint8_t style, const store::IntlFormat& intl,
                     int currentYear) {
    using Order = store::IntlFormat::DateOrder;
    const std::string sep(1, intl.dateSeparator);
    const std::string y = Num(p.year, 4), m = Num(p.month, 2), d = Num(p.day, 2);
    if (style == kDateCPartial)
        style = p.year == currentYear ? kDatePartial : kDateFull;
    switch (style) {
    case kDatePartial:
        return intl.order == Order::DMY ? d + sep + m : m + sep + d;
    case kDateDPartial:
        return intl.order == Order::YMD ? y + sep + m : m + sep + y;
    default:
        switch (intl.order) {
        case Order::DMY:
            return d + sep + m + sep + y;
        case Order::YMD:
            return y + sep + m + sep + d;
        default:
            return m + sep + d + sep + y;
        }
    }
}

std::string ClockText(const store::TimeParts& p, std::uint8_t style,
                      const store::IntlFormat& intl) {
    int hour = p.hour;
    const char* suffix = nullptr;
    if (!intl.clock24) {
        suffix = hour < 12 ? (intl.am ? intl.am : "AM") : (intl.pm ? intl.pm : "PM");
        hour %= 12;
        if (hour == 0)
            hour = 12;
    }
    const std::string sep(1, intl.timeSeparator);
    std::string out = Num(hour, 2) + sep + Num(p.minute, 2);
    if (style == kTimeFull)
        out += sep + Num(p.second, 2) + intl.decimalSeparator + Num(p.hundredth, 2);
    if (suffix) {
        out.push_back(' ');
        out.append(suffix);
    }
    return out;
}

} // namespace

// The C library's own conversion of a wall time (mktime) reads the zone file again on every
// call: a system call for each time shown. The zone is found instead from the offsets that
// the instants around the wall time have, which the library keeps once read. A wall time that
// two instants show (when the clocks go back) is taken at its first, in summer time.
std::optional<LocalZone> MachineZoneAt(int year, int month, int day, int hour, int minute) {
    const std::int64_t wall =
        (DaysFromCivil(year, month, day) - DaysFromCivil(1970, 1, 1)) * 86400 +
        std::int64_t(hour) * 3600 + std::int64_t(minute) * 60;
    const auto offsetAt = [](std::int64_t instant) {
        const std::time_t t = std::time_t(instant);
        std::tm local{};
        return localtime_r(&t, &local) ? std::int64_t(local.tm_gmtoff) : 0;
    };
    std::optional<std::tm> found;
    // Zone changes are far more than a day apart: the offsets a day before and after, and at
    // the wall time itself, are all the wall time can have.
    for (const std::int64_t offset :
         {offsetAt(wall - 86400), offsetAt(wall), offsetAt(wall + 86400)}) {
        const std::time_t t = std::time_t(wall - offset);
        std::tm local{};
        if (!localtime_r(&t, &local) || local.tm_year != year - 1900 || local.tm_mon != month - 1 ||
            local.tm_mday != day || local.tm_hour != hour || local.tm_min != minute)
            continue;
        if (!found || (local.tm_isdst > 0 && found->tm_isdst <= 0))
            found = local;
    }
    if (!found)
        return std::nullopt; // skipped when the clocks went forward
    LocalZone z;
    z.dst = found->tm_isdst > 0;
    const long minutes = long(found->tm_gmtoff / 60) - (z.dst ? 60 : 0);
    z.zone = int(minutes >= 0 ? minutes / 15 * 15 : -((-minutes + 14) / 15 * 15));
    if (!IsValidZone(z.zone))
        return std::nullopt;
    return z;
}

store::TimeParts NowIn(int zone, bool dst) {
    store::TimeDate now;
    store::CurrentTime(&now);
    store::TimeParts p;
    p.zone = zone;
    p.dst = dst;
    store::SplitTime(now, &p);
    return p;
}

store::TimeParts NowHere() {
    store::TimeDate now;
    store::CurrentTime(&now);
    const auto d = DecodeTime(now);
    return d ? NowIn(d->zone, d->dst) : NowIn(0, false);
}

std::string ZoneText(int zone, bool dst) {
    const int a = zone < 0 ? -zone : zone;
    std::string out = "GMT";
    out += zone < 0 ? '-' : '+';
    out += Num(a / 60, 2) + ":" + Num(a % 60, 2);
    if (dst)
        out += " DST";
    return out;
}

} // namespace vlt

namespace store {

Status TimeToText(const IntlFormat* intlIn, const TimeFormat* formatIn, const TimeDate& time,
                  char* buffer, std::size_t size, std::size_t* length) {
    const IntlFormat intl = intlIn ? *intlIn : IntlFormat{};
    const TimeFormat f = formatIn ? *formatIn : TimeFormat{};
    if (f.date > vlt::kDateDPartial || f.time > vlt::kTimePartial || f.zone > vlt::kZoneAlways ||
        f.structure > vlt::kCDateTime) {
        vlt::PutText("", buffer, size, length);
        return kInvalidArgument;
    }
    if (time.IsZero()) // no time: nothing to show
        return vlt::PutText("", buffer, size, length);
    const auto decoded = vlt::DecodeTime(time);
    TimeParts p;
    if (decoded) {
        p.zone = decoded->zone;
        p.dst = decoded->dst;
    }
    if (!decoded || SplitTime(time, &p) != kNoError) {
        vlt::PutText("", buffer, size, length);
        return kInvalidTime;
    }
    // Only the forms that depend on today read the clock (and the zone rules for now).
    const bool needNow = f.structure == vlt::kCDateTime || f.date == vlt::kDateCPartial;
    const TimeParts now = needNow ? vlt::NowIn(p.zone, p.dst) : TimeParts{};
    bool showDate = f.structure != vlt::kTimeOnly;
    const bool showTime = f.structure != vlt::kDateOnly;
    if (f.structure == vlt::kCDateTime && p.year == now.year && p.month == now.month &&
        p.day == now.day)
        showDate = false;

    std::string out;
    if (showDate)
        out = vlt::DateText(p, f.date, intl, now.year);
    if (showTime) {
        if (!out.empty())
            out.push_back(' ');
        out += vlt::ClockText(p, f.time, intl);
    }
    bool showZone = f.zone == vlt::kZoneAlways;
    if (f.zone == vlt::kZoneSometimes) {
        const auto here = vlt::MachineZoneAt(p.year, p.month, p.day, p.hour, p.minute);
        showZone = !here || here->zone != p.zone || here->dst != p.dst;
    }
    if (showZone) {
        out.push_back(' ');
        out += vlt::ZoneText(p.zone, p.dst);
    }
    return vlt::PutText(out, buffer, size, length);
}

} // namespace store
