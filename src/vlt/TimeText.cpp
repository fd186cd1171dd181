// Times to text (the form is described in TimeText.h) and the machine's zone rules.
#include "vlt/TimeText.h"

#include <charconv>
#include <cstring>
#include <ctime>
#include <optional>

#include "vlt/TextBuffer.h"
#include "vlt/TimeCodec.h"

namespace vlt {
namespace {

// A time's text, built on the stack: every time a dump shows comes through here. Only AM/PM
// texts of the caller's own can make it longer than the buffer.
class TimeOut {
public:
    void Push(char c) { Append(std::string_view(&c, 1)); }
    void Append(std::string_view text) {
        if (!spilled_ && size_ + text.size() <= sizeof small_) {
            std::memcpy(small_ + size_, text.data(), text.size());
            size_ += text.size();
            return;
        }
        if (!spilled_) {
            spill_.assign(small_, size_);
            spilled_ = true;
        }
        spill_.append(text);
    }
    // printf's "%0*d" without printf.
    void Num(int value, int width) {
        const bool negative = value < 0;
        const unsigned magnitude = negative ? 0u - unsigned(value) : unsigned(value);
        char digits[24];
        char* p = digits;
        if (negative)
            *p++ = '-';
        char number[16];
        const char* end = std::to_chars(number, number + sizeof number, magnitude).ptr;
        const int count = int(end - number);
        for (int pad = width - count - int(negative); pad > 0; --pad)
            *p++ = '0';
        std::memcpy(p, number, std::size_t(count));
        Append(std::string_view(digits, std::size_t(p + count - digits)));
    }
    bool Empty() const { return spilled_ ? spill_.empty() : size_ == 0; }
    std::string_view View() const {
        return spilled_ ? std::string_view(spill_) : std::string_view(small_, size_);
    }

private:
    char small_[96];
    std::size_t size_ = 0;
    bool spilled_ = false;
    std::string spill_;
};

void DateText(const store::TimeParts& p, std::uint8_t style, const store::IntlFormat& intl,
              int currentYear, TimeOut& out) {
    using Order = store::IntlFormat::DateOrder;
    const char sep = intl.dateSeparator;
    const auto three = [&](int a, int aw, int b, int bw, int c, int cw) {
        out.Num(a, aw);
        out.Push(sep);
        out.Num(b, bw);
        if (cw > 0) {
            out.Push(sep);
            out.Num(c, cw);
        }
    };
    if (style == kDateCPartial)
        style = p.year == currentYear ? kDatePartial : kDateFull;
    switch (style) {
    case kDatePartial:
        return intl.order == Order::DMY ? three(p.day, 2, p.month, 2, 0, 0)
                                        : three(p.month, 2, p.day, 2, 0, 0);
    case kDateDPartial:
        return intl.order == Order::YMD ? three(p.year, 4, p.month, 2, 0, 0)
                                        : three(p.month, 2, p.year, 4, 0, 0);
    default:
        switch (intl.order) {
        case Order::DMY:
            return three(p.day, 2, p.month, 2, p.year, 4);
        case Order::YMD:
            return three(p.year, 4, p.month, 2, p.day, 2);
        default:
            return three(p.month, 2, p.day, 2, p.year, 4);
        }
    }
}

void ClockText(const store::TimeParts& p, std::uint8_t style, const store::IntlFormat& intl,
               TimeOut& out) {
    int hour = p.hour;
    const char* suffix = nullptr;
    if (!intl.clock24) {
        suffix = hour < 12 ? (intl.am ? intl.am : "AM") : (intl.pm ? intl.pm : "PM");
        hour %= 12;
        if (hour == 0)
            hour = 12;
    }
    const char sep = intl.timeSeparator;
    out.Num(hour, 2);
    out.Push(sep);
    out.Num(p.minute, 2);
    if (style == kTimeFull) {
        out.Push(sep);
        out.Num(p.second, 2);
        out.Push(intl.decimalSeparator);
        out.Num(p.hundredth, 2);
    }
    if (suffix) {
        out.Push(' ');
        out.Append(suffix);
    }
}

void AppendZone(int zone, bool dst, TimeOut& out) {
    const int a = zone < 0 ? -zone : zone;
    out.Append(zone < 0 ? "GMT-" : "GMT+");
    out.Num(a / 60, 2);
    out.Push(':');
    out.Num(a % 60, 2);
    if (dst)
        out.Append(" DST");
}

} // namespace

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
    TimeOut out;
    AppendZone(zone, dst, out);
    return std::string(out.View());
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

    vlt::TimeOut out;
    if (showDate)
        vlt::DateText(p, f.date, intl, now.year, out);
    if (showTime) {
        if (!out.Empty())
            out.Push(' ');
        vlt::ClockText(p, f.time, intl, out);
    }
    bool showZone = f.zone == vlt::kZoneAlways;
    if (f.zone == vlt::kZoneSometimes) {
        const auto here = vlt::MachineZoneAt(p.year, p.month, p.day, p.hour, p.minute);
        showZone = !here || here->zone != p.zone || here->dst != p.dst;
    }
    if (showZone) {
        out.Push(' ');
        vlt::AppendZone(p.zone, p.dst, out);
    }
    return vlt::PutText(out.View(), buffer, size, length);
}

} // namespace store
