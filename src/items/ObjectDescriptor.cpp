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
#include "common/ByteReader.h"
#include "items/ItemTables.h"
#include "items/ValueDecoders.h"
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
std::size_t WriteHostExtension(CFieldWriter& w, std::uint16_t hostType, ByteReader& r) {
    if ((hostType & kHostMask) == kHostMac) {
        ByteReader x = r.Sub(kMacExtSize);
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
        ByteReader x = r.Sub(kHpfsExtSize);
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
    ByteReader r(p, n);
    const std::uint16_t typeAndFlags = r.u16le();
    w.BeginField("object-descriptor");
    w.HexLField("rrv", r.u32le());
    w.SymbolField("type", typeAndFlags, itemtab::kObjectTypes);
    w.SymbolField("flags", typeAndFlags, itemtab::kObjectFlags);
    std::size_t used = kObjectHeaderSize;
    if ((typeAndFlags & 0xFFF) == 0) {
        w.BeginField("file");
        const std::uint16_t nameLength = r.u16le();
        const std::uint16_t hostType = r.u16le();
        const std::uint16_t compression = r.u16le();
        const std::uint16_t attributes = r.u16le();
        const std::uint16_t fileFlags = r.u16le();
        const std::uint32_t size = r.u32le();
        const store::TimeDate created = store::ReadTimeDate(r);
        const store::TimeDate modified = store::ReadTimeDate(r);
        const char* name = r.text(nameLength).data();
        if (r.Short()) {
            w.ShortComment();
        } else {
            w.TextField("file-name", name, nameLength, '"', '"');
            w.SymbolField("host-type", hostType, itemtab::kHostTypes);
            w.SymbolField("compression-type", compression, itemtab::kCompressionTypes);
            w.SymbolField("attributes", attributes, itemtab::kFileAttributes);
            w.SymbolField("flags", fileFlags, itemtab::kFileFlags);
            w.NumberField("size", size);
            w.TimeField("created", created);
            w.TimeField("modified", modified);
            used = kFileHeaderSize + nameLength;
            used += WriteHostExtension(w, hostType, r);
        }
        w.EndField();
    }
    w.EndField();
    return used;
}
