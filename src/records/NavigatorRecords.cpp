// Navigator drawing records (streams of kind 19).
//
// VM Header (byte form): 2 version   4 name length   6 name
// Drawing objects begin with an object header, from 2 in the byte-form records (small) and from
// 4 in the word-form ones (big). Offsets from the header's start:
//   0 rectangle: left, top, right, bottom (i32)   16 flags   18 name length   20 label length
//   22 font id (u32)   26 text colour   28 alignment   30 wrap (big only; unused in small)
//   32 spare (16)
// After the object's own fields comes its fixed size, where the name and then the label start.
//   Rect, Ellipse, Round Rect, Button (78): 50 line colour, 52 fill fg, 54 fill bg,
//     56 line style, 58 line width, 60 fill style, 62 spare (16)
//   Bitmap (74): 50 data length, 52 x bytes, 54 y bits, 56 z bits, 58 spare (16); the bits
//     follow the texts
//   Region (74): 50 line colour, 52 line style, 54 line width, 56 fill style, 58 spare (16)
//   Text Box (80): 52 line colour, 54 fill fg, 56 fill bg, 58 line style, 60 line width,
//     62 fill style, 64 spare (16)
//   Polygon, PolyRegion (82): as Text Box, then 64 point count, 66 spare (16); points follow
//   Polyline (76): 52 line colour, 54 line style, 56 line width, 58 point count, 60 spare (16)
//   A point is two u32, x and y.
// Action2 (word form): 4 highlight touch, 6 highlight current, 8 outline colour, 10 fill colour,
//   12 click action, 14 action string length, 16 outline width, 18 outline style,
//   20 note link (40), 60 extra data length, 62 design type, 64 spare (8), 72 action string
#include <algorithm>
#include <array>
#include <cstddef>

#include "output/FieldWriter.h"
#include "records/CdRecord.h"
#include "records/RecordComposer.h"
#include "records/RecordKinds.h"

namespace {
using namespace field;
constexpr RecordScope kNav = RecordScope::Navigator;
constexpr std::uint32_t E = kSymbolEnumerated;
constexpr std::uint32_t F = kSymbolFlag;

constexpr SymbolEntry kDrawObjectFlags[] = {
    {F, 0x2, "Visible"},
    {F, 0x4, "Selectable"},
    {F, 0x8, "Locked"},
    kSymbolEnd,
};
constexpr SymbolEntry kLineStyles[] = {{E, 0, "Solid"}, kSymbolEnd};
constexpr SymbolEntry kFillStyles[] = {{E, 1, "Solid"}, kSymbolEnd};
constexpr SymbolEntry kClickActions[] = {
    {E, 0, "None"},        {E, 1, "SwitchView"}, {E, 2, "SwitchNav"},
    {E, 3, "AliasFolder"}, {E, 4, "GotoLink"},   {E, 5, "RunScript"},
    {E, 6, "RunFormula"},  {E, 8, "GotoURL"},    kSymbolEnd,
};

// Rows of several tables joined into one: what records share is written once.
template <std::size_t... N>
constexpr std::array<FixedField, (N + ...)> Join(const FixedField (&... parts)[N]) {
    std::array<FixedField, (N + ...)> rows{};
    std::size_t i = 0;
    ((std::copy(parts, parts + N, rows.begin() + i), i += N), ...);
    return rows;
}

// The object header, offsets from its start.
constexpr FixedField kObjectRect[] = {
    Signed("left", 0, 4),
    Signed("top", 4, 4),
    Signed("right", 8, 4),
    Signed("bottom", 12, 4),
};
constexpr FixedField kObjectHead[] = {
    Group("obj-rect", 0, kObjectRect),       Sym("flags", 16, 2, kDrawObjectFlags),
    Of("font-id", 22, 4, FieldKind::Font),   Of("text-color", 26, 2, FieldKind::Color),
    Of("alignment", 28, 2, FieldKind::Hex4),
};
constexpr FixedField kObjectWrap[] = {Of("wrap", 30, 2, FieldKind::Bool)};
constexpr FixedField kObjectSpare[] = {Spare("spare", 32, 16)};
constexpr auto kSmallHeader = Join(kObjectHead, kObjectSpare);
constexpr auto kBigHeader = Join(kObjectHead, kObjectWrap, kObjectSpare);

constexpr std::size_t kSmallAt = 2;
constexpr std::size_t kBigAt = 4;
constexpr std::uint16_t kNameLength = 18; // in the header
constexpr std::uint16_t kLabelLength = 20;

constexpr FixedField kSmallObject[] = {Group("draw-object", kSmallAt, kSmallHeader)};
constexpr FixedField kBigObject[] = {Group("big-draw-object", kBigAt, kBigHeader)};
// The name and label after the fixed part.
constexpr FixedField kSmallTexts[] = {
    Text("drobj-name", kSmallAt + kNameLength, 2),
    Text("drobj-label", kSmallAt + kLabelLength, 2),
};
constexpr FixedField kBigTexts[] = {
    Text("drobj-name", kBigAt + kNameLength, 2),
    Text("drobj-label", kBigAt + kLabelLength, 2),
};

constexpr FixedField kVmHeader[] = {Num("version", 2, 2), Text("name", 4, 2)};

constexpr FixedField kShapeOwn[] = {
    Of("line-color", 50, 2, FieldKind::Color),
    Of("fill-fg-color", 52, 2, FieldKind::Color),
    Of("fill-bg-color", 54, 2, FieldKind::Color),
    Sym("line-style", 56, 2, kLineStyles),
    Num("line-width", 58, 2),
    Sym("fill-style", 60, 2, kFillStyles),
    Spare("spare", 62, 16),
};
constexpr auto kShape = Join(kSmallObject, kShapeOwn, kSmallTexts);

constexpr FixedField kBitmapOwn[] = {
    Num("data-len", 50, 2), Num("x-bytes", 52, 2),  Num("y-bits", 54, 2),
    Num("z-bits", 56, 2),   Spare("spare", 58, 16),
};
constexpr auto kBitmap = Join(kSmallObject, kBitmapOwn, kSmallTexts);

constexpr FixedField kRegionOwn[] = {
    Of("line-color", 50, 2, FieldKind::Color),
    Sym("line-style", 52, 2, kLineStyles),
    Num("line-width", 54, 2),
    Sym("fill-style", 56, 2, kFillStyles),
    Spare("spare", 58, 16),
};
constexpr auto kRegion = Join(kSmallObject, kRegionOwn, kSmallTexts);

constexpr FixedField kFilledOwn[] = {
    Of("line-color", 52, 2, FieldKind::Color),
    Of("fill-fg-color", 54, 2, FieldKind::Color),
    Of("fill-bg-color", 56, 2, FieldKind::Color),
    Sym("line-style", 58, 2, kLineStyles),
    Num("line-width", 60, 2),
    Sym("fill-style", 62, 2, kFillStyles),
};
constexpr FixedField kTextBoxSpare[] = {Spare("spare", 64, 16)};
constexpr auto kTextBox = Join(kBigObject, kFilledOwn, kTextBoxSpare, kBigTexts);

constexpr std::uint16_t kPolygonPoints = 64;
constexpr FixedField kPolygonTail[] = {Num("n-pts", kPolygonPoints, 2), Spare("spare", 66, 16)};
constexpr auto kPolygon = Join(kBigObject, kFilledOwn, kPolygonTail, kBigTexts);

constexpr std::uint16_t kPolylinePoints = 58;
constexpr FixedField kPolylineOwn[] = {
    Of("line-color", 52, 2, FieldKind::Color),
    Sym("line-style", 54, 2, kLineStyles),
    Num("line-width", 56, 2),
    Num("n-pts", kPolylinePoints, 2),
    Spare("spare", 60, 16),
};
constexpr auto kPolyline = Join(kBigObject, kPolylineOwn, kBigTexts);

constexpr FixedField kAction2[] = {
    Of("highlight-touch", 4, 2, FieldKind::Bool),
    Of("highlight-current", 6, 2, FieldKind::Bool),
    Of("hl-outline-color", 8, 2, FieldKind::Color),
    Of("hl-fill-color", 10, 2, FieldKind::Color),
    Sym("click-action", 12, 2, kClickActions),
    Num("hl-outline-width", 16, 2),
    Sym("hl-outline-style", 18, 2, kLineStyles),
    Of("link-info", 20, 40, FieldKind::NoteLink),
    Num("ext-data-len", 60, 2),
    Sym("action-data-design-type", 62, 2, nullptr),
    Spare("spare", 64, 8),
    IfAny(Text("action-string", 14, 2)),
};

// The points after the texts, as many as the stored count says.
template <std::uint16_t CountAt> std::uint32_t PointsBody(TNCdRecord& r, CFieldWriter& writer) {
    const std::size_t count = r.At(CountAt).u16le();
    const std::size_t at = r.Cursor();
    // The count is believed only as far as the record holds whole points.
    const std::size_t whole = at < r.Size() ? (r.Size() - at) / 8 : 0;
    const std::size_t shown = std::min(count, whole);
    writer.NextRange(at, 8 * shown);
    writer.BeginField("points");
    writer.Comment("in pixels");
    writer.BreakLine();
    for (std::size_t i = 0; i < shown; ++i) {
        ByteReader point = r.At(at + 8 * i);
        writer.Number(point.u32le());
        writer.Space();
        writer.Number(point.u32le());
        writer.NextValueLine();
    }
    if (shown < count)
        writer.ShortComment();
    writer.EndField();
    r.SetCursor(at + 8 * shown);
    return std::uint32_t(r.Cursor());
}

// "points": [[x, y], ...] after the texts; the count is theirs unless "n-pts" says otherwise.
template <std::uint16_t CountAt> bool ComposePoints(RecordComposer& c, const std::string& path) {
    const ValueTree* points = nullptr;
    if (!c.TakeList("points", path, &points) || !points)
        return true;
    if (points->list.size() > 0xFFFF)
        return c.Fail(path + ".points", "more points than the count can say");
    if (!c.Values().Find("n-pts"))
        c.Put(CountAt, 2, std::uint32_t(points->list.size()));
    for (std::size_t i = 0; i < points->list.size(); ++i) {
        const ValueTree& point = points->list[i];
        const std::string where = path + ".points[" + std::to_string(i) + "]";
        if (!point.Is(ValueTree::Type::List) || point.list.size() != 2)
            return c.Fail(where, "a point [x, y] is expected");
        for (const ValueTree& v : point.list) {
            double d = 0;
            if (!c.Number(v, where, &d))
                return false;
            // Shown unsigned; a negative coordinate is stored as its 32-bit form.
            if (d != double(std::int64_t(d)) || d < -2147483648.0 || d > 4294967295.0)
                return c.Fail(where, "a whole 32-bit coordinate is expected");
            std::uint32_t stored = std::uint32_t(std::int64_t(d));
            std::vector<std::uint8_t> bytes(4);
            for (std::size_t b = 0; b < 4; ++b)
                bytes[b] = std::uint8_t(stored >> (8 * b));
            c.Append(bytes);
        }
    }
    return true;
}

constexpr RecordKind kKinds[] = {
    kind::Fixed(kNav, 0xAF, "VM Header", 28, 6, kVmHeader),
    kind::Named(kNav, 0xB0, "Bitmap", kSmallAt + kNameLength, 19, 74, kBitmap),
    kind::Named(kNav, 0xB1, "Rect", kSmallAt + kNameLength, 30, 78, kShape),
    kind::Named(kNav, 0xB4, "Region", kSmallAt + kNameLength, 33, 74, kRegion),
    kind::Named(kNav, 0xB6, "Ellipse", kSmallAt + kNameLength, 36, 78, kShape),
    kind::Named(kNav, 0xB8, "Round Rect", kSmallAt + kNameLength, 37, 78, kShape),
    kind::Named(kNav, 0xB9, "Button", kSmallAt + kNameLength, 6, 78, kShape),
    kind::Fixed(kNav, 0xFFBA, "Action2", 35, 72, kAction2),
    kind::Named(kNav, 0xFFBB, "Text Box", kBigAt + kNameLength, 29, 80, kTextBox),
    kind::ComposedBy(kind::Named(kNav, 0xFFBC, "Polygon", kBigAt + kNameLength, 31, 82, kPolygon,
                                 PointsBody<kPolygonPoints>),
                     ComposePoints<kPolygonPoints>),
    kind::ComposedBy(kind::Named(kNav, 0xFFBD, "Polyline", kBigAt + kNameLength, 32, 76, kPolyline,
                                 PointsBody<kPolylinePoints>),
                     ComposePoints<kPolylinePoints>),
    kind::ComposedBy(kind::Named(kNav, 0xFFBE, "PolyRegion", kBigAt + kNameLength, 34, 82, kPolygon,
                                 PointsBody<kPolygonPoints>),
                     ComposePoints<kPolygonPoints>),
};
} // namespace

std::span<const RecordKind> NavigatorRecordKinds() {
    return kKinds;
}
