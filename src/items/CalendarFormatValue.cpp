// Calendar formats (item type 24): how a calendar view draws its days and time slots.
//
//  offset  width  field
//   0      u8     version
//   1      u8     formats shown
//   2      u32 x3 day-and-date, time slot and header fonts
//  14      u16 x2 day separator and today colours
//  18      u16    flags
//  20      u16    busy colour
//  22      u16 x3 time slot start, end (minutes since midnight) and duration (minutes)
//  28      2      unused
//  30      28     spare
#include "common/ByteReader.h"
#include "items/ItemTables.h"
#include "items/ValueDecoders.h"
#include "output/FieldReader.h"
#include "output/FieldWriter.h"
#include "output/OutputStrings.h"

namespace {
constexpr std::size_t kCalendarFormatSize = 58;
} // namespace

std::size_t WriteCalendarFormatValue(CFieldWriter& w, const ItemValueView& v) {
    if (v.n < kCalendarFormatSize) {
        w.ShortComment();
        return 0;
    }
    FieldReader r = FieldReader(w, ByteReader(v.p, v.n)).Sub(kCalendarFormatSize);
    w.BeginField("calendar-format");
    w.NumberField("version", r.u8());
    w.SymbolField("formats", r.u8(), itemtab::kCalendarFormats);
    w.FontField("day-date-font", r.u32le());
    w.FontField("time-slot-font", r.u32le());
    w.FontField("header-font", r.u32le());
    w.ColorField("day-separators-color", r.u16le());
    w.ColorField("today-color", r.u16le());
    w.SymbolField("flags", r.u16le(), itemtab::kCalendarFlags);
    w.ColorField("busy-color", r.u16le());
    w.MeasureField("time-slot-start", r.u16le(), outstr::kUnitMinutesSinceMidnight);
    w.MeasureField("time-slot-end", r.u16le(), outstr::kUnitMinutesSinceMidnight);
    w.MeasureField("time-slot-duration", r.u16le(), outstr::kUnitMinutes);
    w.SpareField("unused", r.bytes(2), 2);
    w.SpareField("spare", r.bytes(28), 28);
    w.EndField();
    return r.Offset();
}
