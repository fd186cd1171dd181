// Graphic, bitmap and metafile records: pictures inside rich text. All use the long header, so
// their fields start at 6. Picture data is never decoded, only shown as hex dumps.
//
// A size pair is two u16, width then height.
// Graphic:             6 dest size, 10 crop size, 14 crop offset (left, top, right, bottom),
//                      22 resize, 24 version (u8), 25 flags (u8), 26 reserved (2)
// Bitmap Header:       6 dest size, 10 crop size, 14 flags, 16 reserved (2), 18 reserved (4),
//                      22 width, 24 height, 26 bits per pixel, 28 samples per pixel,
//                      30 bits per sample, 32 segment count, 34 colour count, 36 pattern count
// Bitmap Segment:      6 reserved (8), 14 scanlines, 16 data size, 18 data
// Color Table:         6 triples (r, g, b) to the record's end
// Transparent Table:   6 reserved (2), 8 triple count, 10 triples
// Pattern Table:       6 pattern data to the record's end
// PM / Windows header: 6 map mode, 8 x extent (i16), 10 y extent (i16), 12 display size,
//                      16 metafile size (u32), 20 segment count
// Macintosh header:    6 display size, 10 metafile size (u32), 14 segment count
// Metafile segment:    6 data size, 8 segment size, 10 data to the record's end
// CGM Metafile:        6 map mode (i16), 8 x extent, 10 y extent, 12 size, 16 data to the end
//
// The headers announce how many segments and colours the records after them hold; the header
// looks at the records that follow it in the stream (never past the stream) and says when they
// hold fewer.
#include <array>
#include <cstddef>
#include <iterator>

#include "output/FieldWriter.h"
#include "output/OutputStrings.h"
#include "records/CdRecord.h"
#include "records/RecordComposer.h"
#include "records/RecordKinds.h"

namespace {
using namespace field;
constexpr RecordScope kBase = RecordScope::RichTextBase;
constexpr std::uint32_t E = kSymbolEnumerated;
constexpr std::uint32_t F = kSymbolFlag;
constexpr unsigned kTwips = outstr::kUnitTwips;
constexpr unsigned kPixels = outstr::kUnitPixels;

constexpr SymbolEntry kGraphicFlags[] = {{F, 0x1, "DestsizeIsPixels"}, kSymbolEnd};
constexpr SymbolEntry kBitmapFlags[] = {
    {F, 0x1, "RequiresPalette"},
    {F, 0x2, "ComputePalette"},
    kSymbolEnd,
};
constexpr SymbolEntry kCgmMapping[] = {{E, 0, "Abstract"}, {E, 1, "Metric"}, kSymbolEnd};
constexpr SymbolEntry kWindowsMapModes[] = {
    {E, 1, "Text"},      {E, 2, "LoMetric"},    {E, 3, "HiMetric"},
    {E, 4, "LoEnglish"}, {E, 5, "HiEnglish"},   {E, 6, "Twips"},
    {E, 7, "Isotropic"}, {E, 8, "Anisotropic"}, kSymbolEnd,
};

// A size pair, offsets from its start.
constexpr FixedField kSizeTwips[] = {Measure("width", 0, 2, kTwips),
                                     Measure("height", 2, 2, kTwips)};
constexpr FixedField kSizePixels[] = {Measure("width", 0, 2, kPixels),
                                      Measure("height", 2, 2, kPixels)};

// ---- Graphic
constexpr std::uint8_t kDestsizeIsPixels = 0x1;
constexpr std::uint8_t kPixelsSinceVersion = 2; // older graphics ignore their flags
constexpr FixedField kCropOffset[] = {
    Measure("left", 0, 2, kTwips),
    Measure("top", 2, 2, kTwips),
    Measure("right", 4, 2, kTwips),
    Measure("bottom", 6, 2, kTwips),
};
constexpr FixedField kGraphicDestTwips[] = {Group("dest-size", 6, kSizeTwips)};
constexpr FixedField kGraphicDestPixels[] = {Group("dest-size", 6, kSizePixels)};
constexpr FixedField kGraphicMiddle[] = {
    Group("crop-size", 10, kSizeTwips),
    Group("crop-offset", 14, kCropOffset),
    Num("f-resize", 22, 2),
    Num("version", 24, 1),
    Sym("flags", 25, 1, kGraphicFlags),
};
constexpr FixedField kGraphicReserved[] = {Spare("w-reserved", 26, 2)};

// ---- Bitmap header, segment and tables
constexpr FixedField kBitmapHeaderHead[] = {
    Group("dest", 6, kSizeTwips),  Group("crop", 10, kSizeTwips), Sym("flags", 14, 2, kBitmapFlags),
    Spare("w-reserved", 16, 2),    Spare("l-reserved", 18, 4),    Num("width", 22, 2),
    Num("height", 24, 2),          Num("bits-per-pixel", 26, 2),  Num("samples-per-pixel", 28, 2),
    Num("bits-per-sample", 30, 2), Num("segment-count", 32, 2),
};
constexpr FixedField kBitmapColorCount[] = {Num("color-count", 34, 2)};
constexpr FixedField kBitmapPatternCount[] = {Num("pattern-count", 36, 2)};
// The data size stands as stored; the dump stops at the record's end and says it is short.
constexpr FixedField kBitmapSegment[] = {
    Spare("reserved", 6, 8),
    Num("scanline-count", 14, 2),
    Num("data-size", 16, 2),
    HexDump("compressed-bitmap-data", 16, 2),
};
constexpr FixedField kTransparentHead[] = {Spare("reserved", 6, 2), Num("transparent-count", 8, 2)};
// length - 6 bytes: the rest row takes what the record holds after its header (none when its
// stored length is below 6), never more than the stream holds.
constexpr FixedField kPatternTable[] = {HexDump("pattern-data")};

// ---- Metafiles
constexpr FixedField kPmMetaHeader[] = {
    Of("map-mode", 6, 2, FieldKind::Hex4),
    Signed("x-extent", 8, 2),
    Signed("y-extent", 10, 2),
    Group("original-display-size", 12, kSizeTwips),
    Num("metafile-size", 16, 4),
    Num("seg-count", 20, 2),
};
constexpr FixedField kWinMetaHeader[] = {
    Sym("map-mode", 6, 2, kWindowsMapModes),
    Signed("x-extent", 8, 2),
    Signed("y-extent", 10, 2),
    Group("original-display-size", 12, kSizeTwips),
    Num("metafile-size", 16, 4),
    Num("seg-count", 20, 2),
};
constexpr FixedField kMacMetaHeader[] = {
    Group("original-display-size", 6, kSizeTwips),
    Num("metafile-size", 10, 4),
    Num("seg-count", 14, 2),
};
// length - 10 bytes, bounded as the pattern data is.
constexpr FixedField kMetaSegment[] = {
    Num("data-size", 6, 2),
    Num("seg-size", 8, 2),
    HexDump("segment-data"),
};
// length - 16 bytes, bounded as the pattern data is.
constexpr FixedField kCgmMeta[] = {
    Sym("map-mode", 6, 2, kCgmMapping),     Signed("x-extent", 8, 2), Signed("y-extent", 10, 2),
    Group("original-size", 12, kSizeTwips), HexDump("metafile"),
};

constexpr std::uint16_t kBitmapSegmentSig = 0x96;
constexpr std::uint16_t kColorTableSig = 0x97;
constexpr std::uint16_t kPatternTableSig = 0x98;
constexpr std::uint16_t kTransparentTableSig = 0xC5;
constexpr std::size_t kTripleSize = 3;
constexpr std::size_t kColorTableAt = 6;
constexpr std::size_t kTransparentAt = 10;

// ---- The records after a header

// One record after the header, by the walk's header rules; read only within `room` bytes.
struct Following {
    std::uint16_t signature = 0;
    std::size_t step = 0;   // to the next record, even
    std::size_t length = 0; // its bytes that are there
    bool ok = false;
};

Following ReadFollowing(ByteReader at, std::size_t room) {
    Following f;
    if (room < 2)
        return f;
    const std::uint16_t word = at.u16le();
    std::size_t header = 2;
    std::size_t length = word >> 8;
    f.signature = word & 0xFF;
    if ((word & 0xFF00) == 0) {
        header = 6;
        if (room < header)
            return f;
        length = at.u32le();
        f.signature = word;
    } else if ((word & 0xFF00) == 0xFF00) {
        header = 4;
        if (room < header)
            return f;
        length = at.u16le();
        f.signature = word;
    }
    const std::size_t step = length ? length : header;
    f.step = step + (step & 1);
    f.length = length < room ? length : room;
    f.ok = true;
    return f;
}

// What follows a header up to the next record of another picture: its segments of
// `segmentSignature` and the triples of its first colour table.
struct Picture {
    std::size_t segments = 0;
    std::size_t colors = 0;
    bool colorTable = false;
};

Picture FollowingPicture(const TNCdRecord& r, std::uint16_t segmentSignature, bool isBitmap) {
    Picture p;
    const RecordSpan& span = r.Span();
    if (span.cutShort)
        return p;
    ByteReader stream(span.record, span.available);
    // Records start at even offsets: the header's own start is one.
    std::size_t at = span.length + (span.length & 1);
    while (at < span.available) {
        const Following f = ReadFollowing(stream.At(at), span.available - at);
        if (!f.ok)
            break;
        if (f.signature == segmentSignature) {
            ++p.segments;
        } else if (isBitmap && f.signature == kColorTableSig) {
            if (!p.colorTable && f.length > kColorTableAt)
                p.colors = (f.length - kColorTableAt) / kTripleSize;
            p.colorTable = true;
        } else if (!isBitmap ||
                   (f.signature != kPatternTableSig && f.signature != kTransparentTableSig)) {
            break;
        }
        at += f.step;
    }
    return p;
}

// The comment after a count that the records after the header do not bear out.
void CountComment(CFieldWriter& writer, std::uint32_t announced, std::size_t there,
                  const char* what) {
    if (there < announced)
        writer.Comment("*** only %zu %s follow", there, what);
}

// ---- Body writers

std::uint32_t GraphicBody(TNCdRecord& r, CFieldWriter& writer) {
    const std::uint8_t version = r.At(24).u8(); // 0 when the record ends before it
    const bool pixels =
        r.Has(24, 2) && version >= kPixelsSinceVersion && (r.At(25).u8() & kDestsizeIsPixels);
    if (!r.WriteFixed(writer, pixels ? kGraphicDestPixels : kGraphicDestTwips) ||
        !r.WriteFixed(writer, kGraphicMiddle))
        return 0;
    if (version < kPixelsSinceVersion)
        writer.CommentId(outstr::kGraphicFlagsIgnored);
    if (!r.WriteFixed(writer, kGraphicReserved))
        return 0;
    return 28;
}

std::uint32_t BitmapHeaderBody(TNCdRecord& r, CFieldWriter& writer) {
    const Picture p = FollowingPicture(r, kBitmapSegmentSig, true);
    if (!r.WriteFixed(writer, kBitmapHeaderHead))
        return 0;
    CountComment(writer, r.At(32).u16le(), p.segments, "segments");
    if (!r.WriteFixed(writer, kBitmapColorCount))
        return 0;
    CountComment(writer, r.At(34).u16le(), p.colors, "colours");
    if (!r.WriteFixed(writer, kBitmapPatternCount))
        return 0;
    return 38;
}

// Metafile headers: seg-count is the last row of each.
template <std::uint16_t SegmentSignature, std::size_t CountAt>
std::uint32_t MetaHeaderBody(TNCdRecord& r, CFieldWriter& writer) {
    const Picture p = FollowingPicture(r, SegmentSignature, false);
    CountComment(writer, r.At(CountAt).u16le(), p.segments, "segments");
    return std::uint32_t(CountAt + 2);
}

// The triples from `at`, `count` of them, each on a line of its own.
void WriteTriples(TNCdRecord& r, CFieldWriter& writer, std::size_t at, std::size_t count) {
    writer.NextRange(at, kTripleSize * count);
    writer.BeginField("rgb-triples");
    writer.BreakLine();
    for (std::size_t i = 0; i < count; ++i, at += kTripleSize) {
        ByteReader triple = r.At(at);
        const unsigned red = triple.u8();
        const unsigned green = triple.u8();
        const unsigned blue = triple.u8();
        writer.Printf("%02X %02X %02X", red, green, blue);
        if (i % 4 == 0)
            writer.Comment("%d", int(i));
        writer.NextValueLine();
    }
    writer.EndField();
}

std::uint32_t ColorTableBody(TNCdRecord& r, CFieldWriter& writer) {
    // (length - 6) / 3 triples: counted from the bytes that are there, so a length below 6 or
    // past the stream's end reads nothing beyond them.
    const std::size_t size = r.Size();
    const std::size_t count = size > kColorTableAt ? (size - kColorTableAt) / kTripleSize : 0;
    const std::size_t stored =
        r.Length() > kColorTableAt ? (r.Length() - kColorTableAt) / kTripleSize : 0;
    WriteTriples(r, writer, kColorTableAt, count);
    if (count < stored) // the stream ends inside the table
        writer.ShortComment();
    return std::uint32_t(kColorTableAt + kTripleSize * count);
}

std::uint32_t TransparentTableBody(TNCdRecord& r, CFieldWriter& writer) {
    // The stored count is bounded by the triples the record holds.
    const std::size_t announced = r.At(8).u16le();
    const std::size_t room = r.Size() > kTransparentAt ? r.Size() - kTransparentAt : 0;
    const std::size_t held = room / kTripleSize;
    const std::size_t count = announced < held ? announced : held;
    WriteTriples(r, writer, kTransparentAt, count);
    const std::size_t end = kTransparentAt + kTripleSize * count;
    if (count < announced) {
        writer.Comment("*** %zu of %zu triples are there", count, announced);
        writer.ShortComment();
    }
    return std::uint32_t(end);
}

// ---- Composers

bool ComposeGraphic(RecordComposer& c, const std::string& path) {
    // Width and height are stored alike in twips and in pixels.
    return c.Rows(kGraphicDestTwips, 0, nullptr, path) &&
           c.Rows(kGraphicMiddle, 0, nullptr, path) && c.Rows(kGraphicReserved, 0, nullptr, path);
}

bool ComposeBitmapHeader(RecordComposer& c, const std::string& path) {
    return c.Rows(kBitmapHeaderHead, 0, nullptr, path) &&
           c.Rows(kBitmapColorCount, 0, nullptr, path) &&
           c.Rows(kBitmapPatternCount, 0, nullptr, path);
}

bool ComposeTriples(RecordComposer& c, const std::string& path, std::size_t at,
                    std::size_t* count) {
    const ValueTree* triples = c.Take("rgb-triples");
    std::vector<std::uint8_t> bytes;
    if (triples && !c.Hex(*triples, path + ".rgb-triples", &bytes))
        return false;
    if (bytes.size() % kTripleSize)
        return c.Fail(path + ".rgb-triples", "three bytes a colour are expected");
    c.SetCursor(at);
    c.Append(bytes);
    *count = bytes.size() / kTripleSize;
    return true;
}

bool ComposeColorTable(RecordComposer& c, const std::string& path) {
    std::size_t count = 0;
    return ComposeTriples(c, path, kColorTableAt, &count);
}

bool ComposeTransparentTable(RecordComposer& c, const std::string& path) {
    std::size_t count = 0;
    if (!ComposeTriples(c, path, kTransparentAt, &count))
        return false;
    if (count > 0xFFFF)
        return c.Fail(path + ".rgb-triples", "more colours than the count can say");
    if (!c.Values().Find("transparent-count")) // a count given stands, to describe damage
        c.Put(8, 2, std::uint32_t(count));
    return true;
}

// Stored picture records always have the long header: a description of one is written so.
constexpr RecordKind kStored[] = {
    kind::ComposedBy(kind::Fixed(kBase, 0x99, "Graphic", 19, 28, {}, GraphicBody), ComposeGraphic),
    kind::ComposedBy(kind::Fixed(kBase, 0x95, "Bitmap Header", 17, 38, {}, BitmapHeaderBody),
                     ComposeBitmapHeader),
    kind::Fixed(kBase, kBitmapSegmentSig, "Bitmap Segment", 17, 18, kBitmapSegment),
    kind::ComposedBy(kind::Fixed(kBase, kColorTableSig, "Color Table", 20, 6, {}, ColorTableBody),
                     ComposeColorTable),
    kind::ComposedBy(kind::Fixed(kBase, kTransparentTableSig, "Transparent Table", 43, 10,
                                 kTransparentHead, TransparentTableBody),
                     ComposeTransparentTable),
    kind::Fixed(kBase, kPatternTableSig, "Pattern Table", 18, 6, kPatternTable),
    kind::Fixed(kBase, 0x9E, "PM Metafile Header", 15, 22, kPmMetaHeader, MetaHeaderBody<0x9A, 20>),
    kind::Fixed(kBase, 0x9F, "Windows Metafile Header", 14, 22, kWinMetaHeader,
                MetaHeaderBody<0x9B, 20>),
    kind::Fixed(kBase, 0xA0, "Macintosh Metafile Header", 16, 16, kMacMetaHeader,
                MetaHeaderBody<0x9C, 14>),
    kind::Fixed(kBase, 0x9A, "PM Metafile Segment", 15, 10, kMetaSegment),
    kind::Fixed(kBase, 0x9B, "Windows Metafile Segment", 14, 10, kMetaSegment),
    kind::Fixed(kBase, 0x9C, "Macintosh Metafile Segment", 16, 10, kMetaSegment),
    kind::Fixed(kBase, 0x9D, "CGM Metafile", 0, 16, kCgmMeta),
};

constexpr std::array<RecordKind, std::size(kStored)> LongHeaders() {
    std::array<RecordKind, std::size(kStored)> kinds{};
    for (std::size_t i = 0; i < kinds.size(); ++i)
        kinds[i] = kind::LongHeader(kStored[i]);
    return kinds;
}
constexpr auto kKinds = LongHeaders();
} // namespace

std::span<const RecordKind> GraphicRecordKinds() {
    return kKinds;
}
