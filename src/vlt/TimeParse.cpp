// Text to times: the written form of TimeText.h, its common variants (two-digit years, a
// missing year or date, 24-hour times with or without AM/PM, "UTC", "Z") and ISO 8601
// ("1995-12-25T12:02:43.17+01:00"). Every part is checked against its range; anything else
// is kInvalidTime. A text without a zone is local time on this machine.
#include <optional>
#include <string_view>
#include <vector>

#include "common/Ascii.h"
#include "vlt/TimeCodec.h"
#include "vlt/TimeText.h"

namespace vlt {
namespace {

using store::IntlFormat;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Reads between minDigits and maxDigits digits at s[*pos].
std::optional<int> Digits(std::string_view s, std::size_t* pos, int minDigits, int maxDigits) {
    int value = 0, n = 0;
    while (*pos < s.size() && IsDigit(s[*pos]) && n < maxDigits) {
        value = value * 10 + (s[*pos] - '0');
        ++*pos, ++n;
    }
    if (n < minDigits)
        return std::nullopt;
    return value;
}

bool Take(std::string_view s, std::size_t* pos, char c) {
    if (*pos < s.size() && s[*pos] == c) {
        ++*pos;
        return true;
    }
    return false;
}

// A fraction of a second in hundredths: one or two digits, further digits only as zeros (a
// finer fraction cannot be stored and is not silently rounded).
std::optional<int> Hundredths(std::string_view s, std::size_t* pos) {
    const std::size_t start = *pos;
    auto v = Digits(s, pos, 1, 2);
    if (!v)
        return std::nullopt;
    const int value = *pos - start == 1 ? *v * 10 : *v;
    while (*pos < s.size() && s[*pos] == '0')
        ++*pos;
    if (*pos < s.size() && IsDigit(s[*pos]))
        return std::nullopt;
    return value;
}

struct Reading {
    bool hasDate = false, hasYear = false, hasTime = false, hasZone = false;
    store::TimeParts parts;
    int ampm = 0; // 0 none, 1 AM, 2 PM
};

// "hh:mm[:ss[.cc]]" with the separators of the settings (',' and '.' also serve as decimal).
bool ReadClock(std::string_view s, std::size_t* pos, const IntlFormat& intl, Reading* r) {
    auto h = Digits(s, pos, 1, 2);
    if (!h || !Take(s, pos, intl.timeSeparator))
        return false;
    auto m = Digits(s, pos, 2, 2);
    if (!m)
        return false;
    r->parts.hour = *h;
    r->parts.minute = *m;
    r->parts.second = r->parts.hundredth = 0;
    if (Take(s, pos, intl.timeSeparator)) {
        auto sec = Digits(s, pos, 2, 2);
        if (!sec)
            return false;
        r->parts.second = *sec;
        if (Take(s, pos, intl.decimalSeparator) || Take(s, pos, '.') || Take(s, pos, ',')) {
            auto cs = Hundredths(s, pos);
            if (!cs)
                return false;
            r->parts.hundredth = *cs;
        }
    }
    r->hasTime = true;
    return true;
}

// "+hh:mm", "+hhmm", "+hh" (or '-'): minutes east of GMT.
std::optional<int> ReadOffset(std::string_view s, std::size_t* pos) {
    int sign = 1;
    if (Take(s, pos, '-'))
        sign = -1;
    else if (!Take(s, pos, '+'))
        return std::nullopt;
    auto h = Digits(s, pos, 2, 2);
    if (!h)
        return std::nullopt;
    int m = 0;
    const bool colon = Take(s, pos, ':');
    if (colon || (*pos < s.size() && IsDigit(s[*pos]))) {
        auto mm = Digits(s, pos, 2, 2);
        if (!mm || *mm > 59)
            return std::nullopt;
        m = *mm;
    }
    return sign * (*h * 60 + m);
}

bool SetZone(int minutes, bool dst, Reading* r) {
    if (!IsValidZone(minutes))
        return false;
    r->parts.zone = minutes;
    r->parts.dst = dst;
    r->hasZone = true;
    return true;
}

// ISO 8601: "YYYY-MM-DD" then optionally 'T' or a blank, the clock and a zone.
bool ReadIso(std::string_view s, Reading* r) {
    std::size_t pos = 0;
    auto y = Digits(s, &pos, 4, 4);
    if (!y || !Take(s, &pos, '-'))
        return false;
    auto m = Digits(s, &pos, 2, 2);
    if (!m || !Take(s, &pos, '-'))
        return false;
    auto d = Digits(s, &pos, 2, 2);
    if (!d)
        return false;
    r->parts.year = *y, r->parts.month = *m, r->parts.day = *d;
    r->hasDate = r->hasYear = true;
    if (pos == s.size())
        return true;
    if (!(Take(s, &pos, 'T') || Take(s, &pos, 't') || Take(s, &pos, ' ')))
        return false;
    IntlFormat iso;
    iso.timeSeparator = ':';
    iso.decimalSeparator = '.';
    if (!ReadClock(s, &pos, iso, r))
        return false;
    if (pos == s.size())
        return true;
    if (Take(s, &pos, 'Z') || Take(s, &pos, 'z')) {
        SetZone(0, false, r);
    } else {
        auto offset = ReadOffset(s, &pos);
        if (!offset || !SetZone(*offset, false, r))
            return false;
    }
    return pos == s.size();
}

int WindowYear(int twoDigits) {
    return twoDigits < 50 ? 2000 + twoDigits : 1900 + twoDigits;
}

// A date of two or three numbers with one separator; a four-digit number is the year wherever
// it stands.
bool ReadDate(std::string_view token, const IntlFormat& intl, std::uint8_t style, Reading* r) {
    char sep = 0;
    for (char c : token)
        if (!IsDigit(c)) {
            if (c != intl.dateSeparator && c != '/' && c != '-' && c != '.')
                return false;
            if (sep && c != sep)
                return false;
            sep = c;
        }
    if (!sep)
        return false;
    std::vector<std::pair<int, int>> nums; // value, digit count
    std::size_t pos = 0;
    while (true) {
        const std::size_t start = pos;
        auto v = Digits(token, &pos, 1, 4);
        if (!v || (pos < token.size() && IsDigit(token[pos])))
            return false;
        nums.emplace_back(*v, int(pos - start));
        if (pos == token.size())
            break;
        if (!Take(token, &pos, sep) || nums.size() == 3)
            return false;
    }
    using Order = IntlFormat::DateOrder;
    auto year = [](std::pair<int, int> n) { return n.second == 2 ? WindowYear(n.first) : n.first; };
    store::TimeParts& p = r->parts;
    if (nums.size() == 3) {
        if (nums[0].second == 4 || intl.order == Order::YMD)
            p.year = year(nums[0]), p.month = nums[1].first, p.day = nums[2].first;
        else if (intl.order == Order::DMY)
            p.day = nums[0].first, p.month = nums[1].first, p.year = year(nums[2]);
        else
            p.month = nums[0].first, p.day = nums[1].first, p.year = year(nums[2]);
        r->hasYear = true;
    } else if (nums.size() == 2) {
        const bool monthYear = style == kDateDPartial || nums[0].second == 4 || nums[1].second == 4;
        if (monthYear) {
            const bool yearFirst =
                nums[0].second == 4 || (nums[1].second != 4 && intl.order == Order::YMD);
            p.year = year(nums[yearFirst ? 0 : 1]);
            p.month = nums[yearFirst ? 1 : 0].first;
            p.day = 1;
            r->hasYear = true;
        } else if (intl.order == Order::DMY) {
            p.day = nums[0].first, p.month = nums[1].first;
        } else {
            p.month = nums[0].first, p.day = nums[1].first;
        }
    } else {
        return false;
    }
    r->hasDate = true;
    return true;
}

bool MatchesWord(std::string_view token, const char* word) {
    return word && *word && EqualsNoCase(token, word);
}

// Reads "[date] [time [AM|PM]] [zone [DST]]", blank-separated.
bool ReadWritten(std::string_view s, const IntlFormat& intl, std::uint8_t style, Reading* r) {
    std::vector<std::string_view> tokens;
    for (std::size_t i = 0; i < s.size();) {
        while (i < s.size() && IsBlank(s[i]))
            ++i;
        std::size_t j = i;
        while (j < s.size() && !IsBlank(s[j]))
            ++j;
        if (j > i)
            tokens.push_back(s.substr(i, j - i));
        i = j;
    }
    bool dst = false;
    for (std::size_t t = 0; t < tokens.size(); ++t) {
        std::string_view tok = tokens[t];
        const bool isTime =
            IsDigit(tok.front()) && tok.find(intl.timeSeparator) != std::string_view::npos;
        if (!r->hasDate && !r->hasTime && !isTime && ReadDate(tok, intl, style, r))
            continue;
        if (!r->hasTime && !r->hasZone && isTime) {
            std::size_t pos = 0;
            if (!ReadClock(tok, &pos, intl, r))
                return false;
            tok.remove_prefix(pos); // an AM/PM written without a blank
            if (tok.empty())
                continue;
        }
        if (r->hasTime && !r->ampm && !r->hasZone) {
            if (MatchesWord(tok, intl.am) || MatchesWord(tok, "AM")) {
                r->ampm = 1;
                continue;
            }
            if (MatchesWord(tok, intl.pm) || MatchesWord(tok, "PM")) {
                r->ampm = 2;
                continue;
            }
        }
        if (!r->hasZone && (r->hasDate || r->hasTime)) {
            if (MatchesWord(tok, "Z")) {
                SetZone(0, false, r);
                continue;
            }
            if (tok.size() >= 3 &&
                (EqualsNoCase(tok.substr(0, 3), "GMT") || EqualsNoCase(tok.substr(0, 3), "UTC"))) {
                std::size_t pos = 3;
                int offset = 0;
                if (pos < tok.size()) {
                    auto o = ReadOffset(tok, &pos);
                    if (!o || pos != tok.size())
                        return false;
                    offset = *o;
                }
                if (!SetZone(offset, false, r))
                    return false;
                continue;
            }
        }
        if (r->hasZone && !dst && MatchesWord(tok, "DST")) {
            dst = r->parts.dst = true;
            continue;
        }
        return false;
    }
    if (!r->hasDate && !r->hasTime)
        return false;
    if (r->ampm) {
        if (r->parts.hour < 1 || r->parts.hour > 12)
            return false;
        r->parts.hour = r->parts.hour % 12 + (r->ampm == 2 ? 12 : 0);
    }
    return true;
}

} // namespace
} // namespace vlt

namespace store {

Status TextToTime(const IntlFormat* intlIn, const TimeFormat* format, const char* text,
                  std::size_t length, TimeDate* time) {
    if (!time || (!text && length > 0))
        return kInvalidArgument;
    const IntlFormat intl = intlIn ? *intlIn : IntlFormat{};
    std::string_view s(text ? text : "", length);
    while (!s.empty() && vlt::IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && vlt::IsBlank(s.back()))
        s.remove_suffix(1);
    if (s.empty() || s.find('\0') != std::string_view::npos)
        return kInvalidTime;

    vlt::Reading r;
    if (!vlt::ReadIso(s, &r)) {
        r = vlt::Reading{};
        if (!vlt::ReadWritten(s, intl, format ? format->date : 0, &r))
            return kInvalidTime;
    }
    TimeParts& p = r.parts;
    // A missing date is today and a missing year this year, where the text's zone says.
    if (!r.hasDate || !r.hasYear) {
        const TimeParts now = r.hasZone ? vlt::NowIn(p.zone, p.dst) : vlt::NowHere();
        if (!r.hasDate)
            p.year = now.year, p.month = now.month, p.day = now.day;
        else
            p.year = now.year;
    }
    if (!r.hasTime)
        p.hour = p.minute = p.second = p.hundredth = 0;
    if (!r.hasZone) {
        if (p.year < 1 || p.year > 9999 || p.month < 1 || p.month > 12 || p.day < 1 ||
            p.day > vlt::DaysInMonth(p.year, p.month) || p.hour > 23 || p.minute > 59)
            return kInvalidTime;
        const auto here = vlt::MachineZoneAt(p.year, p.month, p.day, p.hour, p.minute);
        if (!here)
            return kInvalidTime;
        p.zone = here->zone;
        p.dst = here->dst;
    }
    TimeDate result;
    if (AssembleTime(p, &result) != kNoError)
        return kInvalidTime;
    *time = result;
    return kNoError;
}

} // namespace store
