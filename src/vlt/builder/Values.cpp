#include "vlt/builder/Values.h"

#include "store/api/Conversions.h"
#include "store/api/Items.h"
#include "vlt/ByteWriter.h"

namespace vlt::builder {

Bytes TextValue(std::string_view text) {
    Bytes v;
    v.reserve(2 + text.size());
    PutU16(v, store::kTypeText);
    PutBytes(v, text);
    return v;
}

Bytes TextListValue(const std::vector<std::string>& entries) {
    if (entries.size() > 0xFFFF)
        return {};
    Bytes v;
    PutU16(v, store::kTypeTextList);
    PutU16(v, static_cast<std::uint16_t>(entries.size()));
    for (const std::string& e : entries) {
        if (e.size() > 0xFFFF)
            return {};
        PutU16(v, static_cast<std::uint16_t>(e.size()));
    }
    for (const std::string& e : entries)
        PutBytes(v, e);
    return v;
}

Bytes NumberValue(double number) {
    Bytes v;
    PutU16(v, store::kTypeNumber);
    PutF64(v, number);
    return v;
}

Bytes NumberRangeValue(const std::vector<double>& list,
                       const std::vector<std::pair<double, double>>& ranges) {
    if (list.size() > 0xFFFF || ranges.size() > 0xFFFF)
        return {};
    Bytes v;
    PutU16(v, store::kTypeNumberRange);
    PutU16(v, static_cast<std::uint16_t>(list.size()));
    PutU16(v, static_cast<std::uint16_t>(ranges.size()));
    for (double d : list)
        PutF64(v, d);
    for (const auto& [a, b] : ranges) {
        PutF64(v, a);
        PutF64(v, b);
    }
    return v;
}

namespace {
void PutTime(Bytes& v, const store::TimeDate& t) {
    PutU32(v, t.w[0]);
    PutU32(v, t.w[1]);
}
} // namespace

Bytes TimeValue(const store::TimeDate& time) {
    Bytes v;
    PutU16(v, store::kTypeTime);
    PutTime(v, time);
    return v;
}

Bytes TimeRangeValue(const std::vector<store::TimeDate>& list,
                     const std::vector<std::pair<store::TimeDate, store::TimeDate>>& ranges) {
    if (list.size() > 0xFFFF || ranges.size() > 0xFFFF)
        return {};
    Bytes v;
    PutU16(v, store::kTypeTimeRange);
    PutU16(v, static_cast<std::uint16_t>(list.size()));
    PutU16(v, static_cast<std::uint16_t>(ranges.size()));
    for (const store::TimeDate& t : list)
        PutTime(v, t);
    for (const auto& [a, b] : ranges) {
        PutTime(v, a);
        PutTime(v, b);
    }
    return v;
}

Bytes RawValue(std::uint16_t type, const Bytes& data) {
    Bytes v;
    PutU16(v, type);
    v.insert(v.end(), data.begin(), data.end());
    return v;
}

namespace {

// Reads exactly n digits.
bool Digits(std::string_view& s, std::size_t n, int* out) {
    if (s.size() < n)
        return false;
    int v = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (s[i] < '0' || s[i] > '9')
            return false;
        v = v * 10 + (s[i] - '0');
    }
    s.remove_prefix(n);
    *out = v;
    return true;
}

bool Take(std::string_view& s, char c) {
    if (s.empty() || s.front() != c)
        return false;
    s.remove_prefix(1);
    return true;
}

} // namespace

bool ParseTime(std::string_view s, store::TimeDate* time) {
    store::TimeParts p;
    if (!Digits(s, 4, &p.year) || !Take(s, '-') || !Digits(s, 2, &p.month) || !Take(s, '-') ||
        !Digits(s, 2, &p.day))
        return false;
    if (Take(s, 'T') || Take(s, ' ')) {
        if (!Digits(s, 2, &p.hour) || !Take(s, ':') || !Digits(s, 2, &p.minute))
            return false;
        if (Take(s, ':')) {
            if (!Digits(s, 2, &p.second))
                return false;
            if (Take(s, '.') && !Digits(s, 2, &p.hundredth))
                return false;
        }
    }
    if (Take(s, 'Z')) {
        p.zone = 0;
    } else if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        const int sign = s.front() == '-' ? -1 : 1;
        s.remove_prefix(1);
        int h = 0, m = 0;
        if (!Digits(s, 2, &h) || !Take(s, ':') || !Digits(s, 2, &m))
            return false;
        p.zone = sign * (h * 60 + m);
    }
    if (!s.empty())
        return false;
    return store::AssembleTime(p, time) == store::kNoError;
}

} // namespace vlt::builder
