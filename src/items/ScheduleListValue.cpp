// Schedule lists (item type 22): busy times of one person.
//
//  offset  width  field
//   0      u32    number of entries
//   4      u16    application id
//   6      2      spare
//   8      36 x   entries: 16 unid, 16 time range, u8 attributes, u8 user attributes, 2 spare
#include "common/ByteReader.h"
#include "items/ItemTables.h"
#include "items/ValueDecoders.h"
#include "output/FieldReader.h"
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
    FieldReader r(w, ByteReader(v.p, v.n));
    const std::uint32_t count = r.u32le();
    w.NumberField("num-entries", count);
    w.SymbolField("application-id", r.u16le(), itemtab::kApplicationIds);
    w.SpareField("spare", r.bytes(2), 2);
    // The count is trusted only as far as whole entries are there.
    for (std::uint32_t i = 0; i < count; ++i) {
        FieldReader entry = r.Sub(kEntrySize);
        if (entry.Short()) {
            w.ShortComment();
            break;
        }
        w.BeginField("sched-entry");
        w.Comment("%u", i);
        w.UnidField("unid", entry.bytes(16), 16);
        w.TimeRangeField("interval", entry.bytes(16), 16);
        w.SymbolField("attr", entry.u8(), itemtab::kSchedEntryAttributes);
        w.Hex2Field("user-attr", entry.u8());
        w.SpareField("spare", entry.bytes(2), 2);
        w.EndField();
    }
    return r.Offset();
}
