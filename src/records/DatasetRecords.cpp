// Navigator dataset records (streams of kind 18).
//
// View Map Dataset (word form, 278 bytes): 4 version   8 grid size   10 flags   12 auto adjust
//   14 background colour   16 sequence numbers (32 u16)   80 drawing defaults of shapes (28),
//   108 lines (24), 132 regions (12), 144 buttons (28), 172 bitmaps (12), 184 text boxes (28)
//   212 palette entries   218 spare (60)
// Drawing defaults: 0 highlight part (12), 12 shape part (12), 24 font id; a shorter group
//   holds only the parts before its end.
#include "output/OutputStrings.h"
#include "records/CdRecord.h"
#include "records/RecordKinds.h"

namespace {
using namespace field;
constexpr std::uint32_t F = kSymbolFlag;

constexpr SymbolEntry kDatasetFlags[] = {
    {F, 0x1, "ShowGrid"},
    {F, 0x2, "SnapToGrid"},
    kSymbolEnd,
};

constexpr FixedField kHighlightDefaults[] = {
    Of("highlight-touch", 0, 2, FieldKind::Bool),
    Of("highlight-current", 2, 2, FieldKind::Bool),
    Of("outline-color", 4, 2, FieldKind::Color),
    Num("outline-width", 6, 2),
    Num("outline-style", 8, 2),
    Of("fill-color", 10, 2, FieldKind::Color),
};
// The longest group; shorter ones are its first rows.
constexpr FixedField kDefaults[] = {
    Group("highlight-defaults", 0, kHighlightDefaults),
    Of("line-color", 12, 2, FieldKind::Color),
    Of("fill-fg-color", 14, 2, FieldKind::Color),
    Of("fill-bg-color", 16, 2, FieldKind::Color),
    Num("line-style", 18, 2),
    Num("line-width", 20, 2),
    Num("fill-style", 22, 2),
    Of("fontid", 24, 4, FieldKind::Font),
};
constexpr auto kWithFont = std::span(kDefaults);
constexpr auto kWithShape = kWithFont.first(7);
constexpr auto kHighlightOnly = kWithFont.first(1);

constexpr FixedField kDataset[] = {
    Num("version", 4, 2),
    Measure("grid-size", 8, 2, outstr::kUnitPixels),
    Sym("flags", 10, 2, kDatasetFlags),
    Of("auto-adjust", 12, 2, FieldKind::Hex4),
    Of("bg-color", 14, 2, FieldKind::Color),
    List("seq-nums", 16, 2, 32),
    Group("shapes", 80, kWithFont),
    Group("lines", 108, kWithShape),
    Group("regions", 132, kHighlightOnly),
    Group("buttons", 144, kWithFont),
    Group("bitmaps", 172, kHighlightOnly),
    Group("text-boxes", 184, kWithFont),
    Num("num-palette-entries", 212, 2),
    Spare("spare", 218, 60),
};

constexpr RecordKind kKinds[] = {
    kind::Fixed(RecordScope::Dataset, 0xFF57, "View Map Dataset", 20, 278, kDataset),
};
} // namespace

std::span<const RecordKind> DatasetRecordKinds() {
    return kKinds;
}
