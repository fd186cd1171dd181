// Schedule lists (item type 22): busy times of one person.
//
//  offset  width  field
//   0      u32    number of entries
//   4      u16    application id
//   6      2      spare
//   8      36 x   entries: 16 unid, 16 time range, u8 attributes, u8 user attributes, 2 spare
#include "items/ItemTables.h"
#include "items/ValueDecoders.h"
#include "output/ByteReader.h"
#include "output/FieldWriter.h"

namespace {
constexpr std::size_t kHeaderSize = 8;
constexpr std::size_t kEntrySize = 36;
} // namespace

std::size_t WriteSchedListValue(CFieldWriter& w, const ItemValueView& v) {
    if (v.n < kHeaderSize) {
        w.ShortComment();
        return 0;
    }
    ByteReader r(v.p, v.n);
    const std::uint32_t count = r.u32le();
    w.NumberField("num-entries", count);
    w.SymbolField("application-id", r.u16le(), itemtab::kApplicationIds);
    w.SpareField("spare", r.Bytes(2), 2);
    // The count is trusted only as far as whole entries are there.
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint8_t* entry = r.Bytes(kEntrySize);
        if (!entry) {
            w.ShortComment();
            break;
        }
        w.BeginField("sched-entry");
        w.Comment("%u", i);
        w.UnidField("unid", entry, 16);
        w.TimeRangeField("interval", entry + 16, 16);
        w.SymbolField("attr", entry[32], itemtab::kSchedEntryAttributes);
        w.Hex2Field("user-attr", entry[33]);
        w.SpareField("spare", entry + 34, 2);
        w.EndField();
    }
    return r.Offset();
}
