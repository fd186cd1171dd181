// Agent information (item type 17): when and over which notes an agent runs.
//
//  offset  width  field
//   0      u16    version
//   2      u16    trigger type
//   4      u16    search type
//   6      u16    interval type
//   8      u16    interval, in the unit of the interval type
//  10      u32    time1
//  14      u32    time2
//  18      8      start time
//  26      8      end time
//  34      u32    flags
//  38      64     spare
#include "common/ByteReader.h"
#include "items/ItemTables.h"
#include "items/ValueDecoders.h"
#include "output/FieldReader.h"
#include "output/FieldWriter.h"
#include "output/OutputStrings.h"

namespace {

constexpr std::size_t kAgentInfoSize = 102;
constexpr std::size_t kSpareSize = 64;

unsigned IntervalUnit(std::uint16_t intervalType) {
    switch (intervalType) {
    case 1:
        return outstr::kUnitMinutes;
    case 2:
        return outstr::kUnitDays;
    case 3:
        return outstr::kUnitWeeks;
    case 4:
        return outstr::kUnitMonths;
    default:
        return outstr::kUnitNone;
    }
}

} // namespace

std::size_t WriteAssistInfoValue(CFieldWriter& w, const ItemValueView& v) {
    if (v.n < kAgentInfoSize) {
        w.ShortComment();
        return 0;
    }
    FieldReader r = FieldReader(w, ByteReader(v.p, v.n)).Sub(kAgentInfoSize);
    w.BeginField("assist-struct");
    w.NumberField("version", r.u16le());
    w.SymbolField("trigger-type", r.u16le(), itemtab::kTriggerTypes);
    w.SymbolField("search-type", r.u16le(), itemtab::kSearchTypes);
    const auto intervalType = r.Keep([](ByteReader& in) { return in.u16le(); });
    w.SymbolField("interval-type", r.Name(intervalType), itemtab::kIntervalTypes);
    w.MeasureField("interval", r.u16le(), IntervalUnit(intervalType.value));
    w.Hex8Field("time1", r.u32le());
    w.Hex8Field("time2", r.u32le());
    w.TimeField("start-time", r.time());
    w.TimeField("end-time", r.time());
    w.SymbolField("flags", r.u32le(), itemtab::kAgentFlags);
    w.SpareField("spare", r.bytes(kSpareSize), kSpareSize);
    w.EndField();
    return r.Offset();
}
