// Collations (item type 2): the sort keys of a view.
//
//  offset     width  field
//   0         u16    not shown
//   2         u16    number of keys
//   4         u8     flags
//   5         u8     signature
//   6 + 7i    7      descriptor i: u8 flags, u8 signature, u8 key type, u16 name offset,
//                    u16 name length
//  names at 6 + 7 x keys + the name offset
//
// A name that reaches past the value is not shown (short comment); the walk stops at the
// first descriptor that is not all there.
#include <algorithm>

#include "common/ByteReader.h"
#include "items/ValueDecoders.h"
#include "items/ViewFormatTables.h"
#include "output/FieldReader.h"
#include "output/FieldWriter.h"

namespace {
constexpr std::size_t kHeaderSize = 6;
constexpr std::size_t kDescriptorSize = 7;
} // namespace

std::size_t WriteCollationFields(CFieldWriter& w, const std::uint8_t* p, std::size_t n) {
    FieldReader r(w, ByteReader(p, n));
    r.Plain().u16le(); // not shown
    const auto keys = r.Keep([](ByteReader& in) { return in.u16le(); });
    const auto flags = r.Keep([](ByteReader& in) { return in.u8(); });
    const auto signature = r.Keep([](ByteReader& in) { return in.u8(); });
    if (r.Short()) {
        w.ShortComment();
        return 0;
    }
    const std::size_t namesStart = kHeaderSize + std::size_t(keys.value) * kDescriptorSize;
    // The field spans the header and the descriptors; the names are fields of their own.
    w.NextRange(0, std::min(n, namesStart));
    w.BeginField("collation");
    w.NumberField("items", r.Name(keys));
    w.SymbolField("flags", r.Name(flags), viewtab::kCollationFlags);
    w.SymbolField("signature", r.Name(signature), viewtab::kCollationSignatures);
    std::size_t covered = kHeaderSize;
    for (unsigned i = 0; i < keys.value; ++i) {
        FieldReader dr = r.Sub(kDescriptorSize);
        if (dr.Short()) {
            w.ShortComment();
            break;
        }
        w.BeginField("collation-descriptor");
        w.SymbolField("flags", dr.u8(), viewtab::kKeyFlags);
        w.SymbolField("signature", dr.u8(), viewtab::kDescriptorSignatures);
        w.SymbolField("key-type", dr.u8(), viewtab::kKeyTypes);
        const std::uint16_t nameOffset = dr.Plain().u16le();
        const std::uint16_t nameLength = dr.Plain().u16le();
        covered += kDescriptorSize;
        if (nameLength != 0) {
            FieldReader name(w, r.Plain().At(namesStart + nameOffset));
            const std::string_view text = name.text(nameLength);
            if (!name.Short()) {
                w.TextField("name", text.data(), nameLength, '"', '"');
                covered += nameLength;
            } else {
                w.ShortComment();
            }
        }
        w.EndField();
    }
    w.EndField();
    return covered < n ? covered : n;
}
