// The text form of times, shared by the writer (TimeToText) and the reader (TextToTime).
//
// Written form, with the default international settings:
//   date      "12/25/1995"  (Full; the order and separator follow the settings; the year has
//             four digits), "12/25" (Partial, and CPartial in the current year), "12/1995"
//             (DPartial: month and year)
//   time      "12:02:43.17 PM" (Full: hundredths shown, so the text holds all that is stored),
//             "12:02 PM" (Partial); 24-hour settings drop the AM/PM
//   zone      "GMT+01:00", with " DST" when daylight saving was in force: the shown local time
//             is then one hour later than the zone alone gives
// A date and a time are separated by one blank, as is the zone. CDateTime leaves out the date
// when it is today. Zone "Sometimes" shows the zone only when reading the text back on this
// machine would not give the same zone and daylight saving, so such texts round-trip exactly.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "store/api/Conversions.h"

namespace vlt {

enum DateStyle : std::uint8_t {
    kDateFull = 0,
    kDateCPartial = 1,
    kDatePartial = 2,
    kDateDPartial = 3
};
enum TimeStyle : std::uint8_t { kTimeFull = 0, kTimePartial = 1 };
enum ZoneStyle : std::uint8_t { kZoneNever = 0, kZoneSometimes = 1, kZoneAlways = 2 };
enum Structure : std::uint8_t { kDateOnly = 0, kTimeOnly = 1, kDateTime = 2, kCDateTime = 3 };

struct LocalZone {
    int zone = 0; // minutes east of GMT, without daylight saving
    bool dst = false;
};

// The zone this machine keeps at a local wall time, with the platform's zone rules (offsets
// that are not whole quarter hours, as in old local mean times, are rounded down to one).
// Empty when that local time does not exist here (skipped when the clocks went forward).
// The rules are read from the library once per year asked for and kept; safe from any thread.
std::optional<LocalZone> MachineZoneAt(int year, int month, int day, int hour, int minute);
// Drops the zone rules kept so far: for a process that changed its zone (TZ and tzset).
void ForgetMachineZone();

// The current date and time expressed in the zone given.
store::TimeParts NowIn(int zone, bool dst);
// The current date and time in the machine's own zone (the parts carry that zone).
store::TimeParts NowHere();

// "GMT+01:00" or "GMT-05:30 DST".
std::string ZoneText(int zone, bool dst);

} // namespace vlt
