// Object descriptors (item type 3): which database object an item refers to and, for file
// attachments, the file's name, size, times and host-specific extension.
//
//  offset  width  field
//   0      u16    object type (low 12 bits) and object flags (high bits)
//   2      u32    rrv: the object's identifier in the database
//   6      u16    file name length
//   8      u16    host type
//  10      u16    compression type
//  12      u16    file attributes
//  14      u16    file flags
//  16      u32    file size
//  20      8      created
//  28      8      modified
//  36      name   file name, then the host extension (Mac 22 bytes, HPFS 12 bytes)
#include <algorithm>

#include "common/ByteReader.h"
#include "items/ItemTables.h"
#include "items/ValueDecoders.h"
#include "output/FieldReader.h"
#include "output/FieldWriter.h"

namespace {

constexpr std::size_t kObjectHeaderSize = 6;
constexpr std::size_t kFileHeaderSize = 36;
constexpr std::uint16_t kHostMask = 0xF00; // the bits the host table names
constexpr std::uint16_t kHostMac = 0x200;
constexpr std::uint16_t kHostHpfs = 0x400;
constexpr std::size_t kMacExtSize = 22;
constexpr std::size_t kHpfsExtSize = 12;

// The extension after the file name; returns its size, 0 for hosts without one or when the
// bytes are not there (then with the short comment).
std::size_t WriteHostExtension(CFieldWriter& w, std::uint16_t hostType, FieldReader& r) {
    if ((hostType & kHostMask) == kHostMac) {
        FieldReader x = r.Sub(kMacExtSize);
        if (x.Short()) {
            w.ShortComment();
            return 0;
        }
        w.BeginField("mac-ext");
        w.TextField("file-creator", x.text(4).data(), 4, '"', '"');
        w.TextField("file-type", x.text(4).data(), 4, '"', '"');
        w.NumberField("resources-start", x.u32le());
        w.NumberField("resources-len", x.u32le());
        w.SymbolField("compression-type", x.u16le(), itemtab::kCompressionTypes);
        w.Hex8Field("spare", x.u32le());
        w.EndField();
        return kMacExtSize;
    }
    if ((hostType & kHostMask) == kHostHpfs) {
        FieldReader x = r.Sub(kHpfsExtSize);
        if (x.Short()) {
            w.ShortComment();
            return 0;
        }
        w.BeginField("hpfs-ext");
        w.NumberField("ea-start", x.u32le());
        w.NumberField("ea-len", x.u32le());
        w.Hex8Field("spare", x.u32le());
        w.EndField();
        return kHpfsExtSize;
    }
    return 0;
}

} // namespace

std::size_t WriteObjectDescriptorFields(CFieldWriter& w, const std::uint8_t* p, std::size_t n) {
    if (n < kObjectHeaderSize) {
        w.ShortComment();
        return 0;
    }
    FieldReader r(w, ByteReader(p, n));
    const auto typeAndFlags = r.Keep([](ByteReader& in) { return in.u16le(); });
    const bool isFile = (typeAndFlags.value & 0xFFF) == 0;
    // The descriptor spans its header, and for a file the file's header too; the name and
    // the host's extension are fields of their own.
    w.NextRange(0, std::min(n, isFile ? kFileHeaderSize : kObjectHeaderSize));
    w.BeginField("object-descriptor");
    w.HexLField("rrv", r.u32le());
    w.SymbolField("type", r.Name(typeAndFlags), itemtab::kObjectTypes);
    w.SymbolField("flags", r.Name(typeAndFlags), itemtab::kObjectFlags);
    std::size_t used = kObjectHeaderSize;
    if (isFile) {
        const auto u16 = [](ByteReader& in) { return in.u16le(); };
        const auto time = [](ByteReader& in) { return store::ReadTimeDate(in); };
        const std::size_t fileAt = r.Position();
        const std::uint16_t nameLength = r.Plain().u16le();
        const auto hostType = r.Keep(u16);
        const auto compression = r.Keep(u16);
        const auto attributes = r.Keep(u16);
        const auto fileFlags = r.Keep(u16);
        const auto size = r.Keep([](ByteReader& in) { return in.u32le(); });
        const auto created = r.Keep(time);
        const auto modified = r.Keep(time);
        const auto name = r.Keep([nameLength](ByteReader& in) { return in.text(nameLength); });
        w.NextRange(fileAt, std::min(n, kFileHeaderSize) - fileAt);
        w.BeginField("file");
        if (r.Short()) {
            w.ShortComment();
        } else {
            w.TextField("file-name", r.Name(name).data(), nameLength, '"', '"');
            w.SymbolField("host-type", r.Name(hostType), itemtab::kHostTypes);
            w.SymbolField("compression-type", r.Name(compression), itemtab::kCompressionTypes);
            w.SymbolField("attributes", r.Name(attributes), itemtab::kFileAttributes);
            w.SymbolField("flags", r.Name(fileFlags), itemtab::kFileFlags);
            w.NumberField("size", r.Name(size));
            w.TimeField("created", r.Name(created));
            w.TimeField("modified", r.Name(modified));
            used = kFileHeaderSize + nameLength;
            used += WriteHostExtension(w, hostType.value, r);
        }
        w.EndField();
    }
    w.EndField();
    return used;
}
