// Field records.
//
// Field and its older form (word form), B = 36 (34 for the older form):
//   4 flags   6 data type   8 list delimiters   10 number format (4)   14 time format (4)
//   18 font id   22 DV length   24 IT length   26 unused (2)   28 IV length   30 name length
//   32 description length   34 text value length (Field only)
//   B: default value, input translation, input validity formulas, name, description;
//   then, when the text value length is nonzero: u16 count c, and c lengths and c texts, or
//   (c = 0) a value formula to the record's end.
// ExtField (word form): 4 flags1 (u32)   8 flags2 (u32)   12 entry helper   14 db name length
//   16 view name length   18 entry column   20 db name, view name
// Keyword (word form): 4 font id   8 keyword count   10 flags and columns   12 keyword texts
#include "records/FieldRecords.h"

#include "output/FieldWriter.h"
#include "output/OutputStrings.h"
#include "output/SymbolTables.h"
#include "records/RichTextTables.h"

namespace {
constexpr std::uint16_t kEditableBit = 0x2;
constexpr std::uint16_t kStoreDefaultBit = 0x8;
constexpr std::uint16_t kComputedBit = 0x100;
constexpr std::uint16_t kKeywordsBit = 0x200;
constexpr std::uint16_t kKeywordStyleMask = 0xC000;

constexpr FixedField kFieldTail[] = {
    {"list-delimiters", 8, 2, FieldKind::Symbol, symtab::kListSeparators},
    {"number-format", 10, 4, FieldKind::NumberFormat},
    {"time-format", 14, 4, FieldKind::TimeFormat},
    {"font-id", 18, 4, FieldKind::Font},
};
constexpr FixedField kUnused = {"unused-1", 26, 2, FieldKind::Spare};

constexpr FixedField kExtField[] = {
    {"flags1", 4, 4, FieldKind::Symbol, kExtFieldFlags, ~0x0E000000u},
    {"keyword-cols", 4, 4, FieldKind::Number, nullptr, 0x0E000000u, 25},
    {"flags2", 8, 4, FieldKind::Symbol, kExtFieldFlags2},
    {"entry-helper", 12, 2, FieldKind::Symbol, kEntryHelpers},
    {"entry-column-number", 18, 2, FieldKind::Number},
};

constexpr FixedField kKeyword[] = {
    {"font-id", 4, 4, FieldKind::Font},
    {"keywords", 8, 2, FieldKind::Number},
    {"flags", 10, 2, FieldKind::Symbol, kKeywordFlags, 0xFFF1},
    {"cols", 10, 2, FieldKind::Number, nullptr, 0x000E, 1},
};
} // namespace

unsigned FieldComputeComment(std::uint16_t flags) {
    if (flags & kEditableBit)
        return outstr::kFieldEditable;
    if (flags & kComputedBit)
        return (flags & kStoreDefaultBit) ? outstr::kFieldComputed
                                          : outstr::kFieldComputedForDisplay;
    return outstr::kFieldComputedWhenComposed;
}

std::size_t TNCdField::NameOffset() const {
    return VariableStart() + std::size_t(At(22).u16le()) + At(24).u16le() + At(28).u16le();
}

void TNCdField::MakeLabel() {
    // The name as stored, cut at the record's end.
    const std::size_t at = NameOffset();
    const std::size_t n = at < Size() ? std::min<std::size_t>(At(30).u16le(), Size() - at) : 0;
    SetLabelText(At(std::min(at, Size())).text(n).data(), int(n));
}

std::uint32_t TNCdField::WriteBody(CFieldWriter& writer) {
    const std::size_t fixed = VariableStart();
    if (!Has(0, fixed))
        return StopAt(4); // the variable part's lengths are not all there
    const std::uint16_t flags = At(4).u16le();

    SetCursor(NameOffset());
    CursorText(writer, "name", At(30).u16le());
    writer.SymbolField("type", At(6).u16le(), symtab::kItemTypes);
    CursorText(writer, "description", At(32).u16le());
    writer.SymbolField("flags", flags & ~0xC000u, kFieldFlags);
    writer.CommentId(FieldComputeComment(flags));
    if (flags & kKeywordsBit)
        writer.SymbolField("keyword-flags", flags & kKeywordStyleMask, kKeywordStyles);
    WriteFixed(writer, kFieldTail);

    SetCursor(fixed);
    CursorFormula(writer, "default-value", At(22).u16le());
    CursorFormula(writer, "input-translation", At(24).u16le());
    WriteFixedField(writer, kUnused);
    CursorFormula(writer, "input-validity-check", At(28).u16le());

    const std::size_t end = NameOffset() + At(30).u16le() + At(32).u16le();
    if (Older() || At(34).u16le() == 0)
        return std::uint32_t(end);
    return WriteValues(writer, end);
}

// The value list (or value formula) after the description.
std::uint32_t TNCdField::WriteValues(CFieldWriter& writer, std::size_t at) {
    if (!Has(at, 2))
        return StopAt(at);
    const std::size_t count = At(at).u16le();
    if (count == 0) {
        SetCursor(at + 2);
        CursorFormula(writer, "value-formula", kRest);
        return std::uint32_t(Cursor());
    }
    // The lengths must all be there before any is believed.
    if (!Has(at + 2, 2 * count))
        return StopAt(at);
    writer.BeginField("value-list");
    SetCursor(at + 2 + 2 * count);
    for (std::size_t i = 0; i < count; ++i)
        CursorText(writer, "value", At(at + 2 + 2 * i).u16le());
    writer.EndField();
    return std::uint32_t(Cursor());
}

void TNCdExtField::MakeLabel() {
    SetLabel("ExtField");
}

std::uint32_t TNCdExtField::WriteBody(CFieldWriter& writer) {
    if (!WriteFixed(writer, kExtField))
        return 0;
    CursorText(writer, "entry-db-name", At(14).u16le());
    CursorText(writer, "entry-view-name", At(16).u16le());
    return std::uint32_t(Cursor());
}

void TNCdKeyword::MakeLabel() {
    SetLabel("Keyword");
}

std::uint32_t TNCdKeyword::WriteBody(CFieldWriter& writer) {
    if (WriteFixed(writer, kKeyword))
        writer.CommentId(outstr::kKeywordUnknown);
    return 12;
}
