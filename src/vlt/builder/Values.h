// Encoding of typed item values as they are stored (type word first), and readable times.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "store/api/Time.h"

namespace vlt::builder {

using Bytes = std::vector<std::uint8_t>;

Bytes TextValue(std::string_view text);
// Empty (no value) when an entry is longer than 65535 bytes or there are more entries than that.
Bytes TextListValue(const std::vector<std::string>& entries);
Bytes NumberValue(double number);
Bytes NumberRangeValue(const std::vector<double>& list,
                       const std::vector<std::pair<double, double>>& ranges);
Bytes TimeValue(const store::TimeDate& time);
Bytes TimeRangeValue(const std::vector<store::TimeDate>& list,
                     const std::vector<std::pair<store::TimeDate, store::TimeDate>>& ranges);
Bytes RawValue(std::uint16_t type, const Bytes& data);

// "1995-12-25T12:02:43.17+01:00": a date, optionally 'T' and a time (hh:mm, hh:mm:ss or
// hh:mm:ss.hh), optionally a zone ("Z" or +hh:mm / -hh:mm; GMT when absent). False for anything
// else, or a date or time out of range.
bool ParseTime(std::string_view text, store::TimeDate* time);

} // namespace vlt::builder
