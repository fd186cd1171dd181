// View formats (item type 5): a view's style, its columns and how they look.
//
// Layout, little-endian:
//   header (10): u8 version, u8 style, u16 columns, u16 item sequence number, u16 flags,
//                u16 spare2
//   columns x column format (32): u16 signature, u16 flags1, u16 item name length,
//                u16 title length, u16 formula length, u16 constant value length,
//                u16 display width, u32 font, u16 flags2, 4 number format, 4 time format,
//                u16 format data type, u16 list separator
//   variable data: per column its item name, title, formula and constant value, packed
//   second table format (38): u16 (not shown), u16 background, u16 border, u32 title font,
//                u32 unread font, u32 totals font, u16 auto update seconds, u16 alternate
//                background, u16 signature 0x2BAD, u8 line count, u8 spacing, u16 extended
//                background, u8 header line count, u8 spare byte, 8 spare
//   with the signature: columns x second column format (46): u16 signature, u32 header font,
//                16 re-sort view unid, u16 second sort column, 2 wspare, 20 dwspare
//
// The column count is trusted only as far as the bytes go: the decoder stops, with the short
// comment, at the first structure that is not all there.
#include <vector>

#include "common/ByteReader.h"
#include "items/ValueDecoders.h"
#include "items/ViewFormatTables.h"
#include "output/FieldReader.h"
#include "output/FieldWriter.h"
#include "output/OutputStrings.h"
#include "output/SymbolTables.h"

namespace {

constexpr std::size_t kHeaderSize = 10;
constexpr std::size_t kColumnSize = 32;
constexpr std::size_t kTableFormat2Size = 38;
constexpr std::size_t kColumn2Size = 46;
constexpr std::uint16_t kTableFormat2Signature = 0x2BAD;

struct ColumnTexts {
    std::uint16_t itemName, title, formula, constant;
    std::size_t Total() const { return std::size_t(itemName) + title + formula + constant; }
};

// One column format; its texts come from `texts`, the variable data. False when the texts are
// not all there (written as far as they go).
bool WriteColumn(CFieldWriter& w, unsigned number, FieldReader r, FieldReader& texts) {
    w.BeginField("column");
    w.Comment("column #%u", number);
    w.SymbolField("signature", r.u16le(), viewtab::kColumnSignatures);
    w.SymbolField("flags1", r.u16le(), viewtab::kColumnFlags1);
    ColumnTexts lengths{};
    lengths.itemName = r.Plain().u16le();
    lengths.title = r.Plain().u16le();
    lengths.formula = r.Plain().u16le();
    lengths.constant = r.Plain().u16le();
    const bool whole = texts.Plain().Has(lengths.Total());
    if (whole) {
        w.TextField("item-name", texts.text(lengths.itemName).data(), lengths.itemName, '"', '"');
        w.TextField("title", texts.text(lengths.title).data(), lengths.title, '"', '"');
        w.FormulaField("formula", texts.bytes(lengths.formula), lengths.formula);
        w.TextField("constant-value", texts.text(lengths.constant).data(), lengths.constant, '"',
                    '"');
    } else {
        w.ShortComment();
    }
    w.MeasureField("display-width", r.u16le(), outstr::kUnitEighthChars);
    w.FontField("font-id", r.u32le());
    w.SymbolField("flags2", r.u16le(), viewtab::kColumnFlags2);
    w.NumberFormatField("number-format", r.bytes(4), 4);
    w.TimeFormatField("time-format", r.bytes(4), 4);
    w.SymbolField("format-data-type", r.u16le(), viewtab::kFormatDataTypes);
    w.SymbolField("list-sep", r.u16le(), symtab::kListSeparators);
    w.EndField();
    return whole;
}

void WriteColumn2(CFieldWriter& w, unsigned number, FieldReader r) {
    w.BeginField("column");
    w.Comment("column #%u", number);
    w.SymbolField("signature", r.u16le(), viewtab::kColumnSignatures);
    w.FontField("header-fontid", r.u32le());
    w.UnidField("resort-to-view-unid", r.bytes(16), 16);
    w.NumberField("second-resort-column-index", r.u16le());
    w.Comment("zero-based");
    w.SpareField("wspare", r.bytes(2), 2);
    w.SpareField("dwspare", r.bytes(20), 20);
    w.EndField();
}

// The second table format in r; true when the second column formats follow it.
bool WriteTableFormat2(CFieldWriter& w, FieldReader r) {
    w.BeginField("table-format-2");
    r.Plain().u16le(); // not shown
    w.StoreColorField("background-color", r.u16le());
    w.ColorField("v2-border-color", r.u16le());
    w.FontField("title-font", r.u32le());
    w.FontField("unread-font", r.u32le());
    w.FontField("totals-font", r.u32le());
    w.NumberField("auto-update-seconds", r.u16le());
    const bool valid = r.Plain().At(22).u16le() == kTableFormat2Signature;
    if (!valid) {
        FieldReader spare(w, r.Plain().At(20));
        w.SpareField("spare", spare.bytes(18), 18);
        w.EndField();
        return false;
    }
    w.ColorField("alternate-background-color", r.u16le());
    w.SymbolField("wsig", r.u16le(), viewtab::kTableSignatures);
    w.NumberField("line-count", r.u8());
    w.SymbolField("spacing", r.u8(), viewtab::kSpacings);
    w.ColorField("background-color-ext", std::uint8_t(r.u16le()));
    w.NumberField("header-line-count", r.u8());
    w.Hex2Field("spare-byte", r.u8());
    w.SpareField("spare", r.bytes(8), 8);
    w.EndField();
    return true;
}

} // namespace

std::size_t WriteViewFormatFields(CFieldWriter& w, const std::uint8_t* p, std::size_t n) {
    FieldReader r(w, ByteReader(p, n));
    const std::uint8_t version = r.u8();
    if (r.Short()) {
        w.ShortComment();
        return 0;
    }
    w.NumberField("format-version", version);
    if (version != 1) {
        w.Comment("*** Unrecognized view format version");
        return 0;
    }
    const std::uint8_t style = r.u8();
    if (r.Short()) {
        w.ShortComment();
        return 1;
    }
    w.SymbolField("view-style", style, viewtab::kViewStyles);
    if (style & 1) {
        w.Comment("*** Unrecognized view style");
        return 2;
    }
    const auto u16 = [](ByteReader& in) { return in.u16le(); };
    const auto columns = r.Keep(u16);
    const auto sequence = r.Keep(u16);
    const auto flags = r.Keep(u16);
    const auto spare2 = r.Keep(u16);
    if (r.Short()) {
        w.ShortComment();
        return 2;
    }
    w.NumberField("columns", r.Name(columns));
    w.NumberField("item-sequence-number", r.Name(sequence));
    w.SymbolField("flags", r.Name(flags), viewtab::kViewFlags);
    w.Hex4Field("spare2", r.Name(spare2));

    // The column formats must all be there before the variable data can be found.
    FieldReader formats = r.Sub(std::size_t(columns.value) * kColumnSize);
    if (formats.Short()) {
        w.ShortComment();
        return kHeaderSize;
    }
    FieldReader texts(w, r.Plain().At(r.Offset()));
    w.BeginField("column-formats");
    bool whole = true;
    for (unsigned i = 0; i < columns.value && whole; ++i)
        whole = WriteColumn(w, i + 1, formats.Sub(kColumnSize), texts);
    w.EndField();
    std::size_t covered = kHeaderSize + std::size_t(columns.value) * kColumnSize + texts.Offset();
    if (!whole)
        return covered;

    FieldReader tail(w, r.Plain().At(covered));
    FieldReader t = tail.Sub(kTableFormat2Size);
    if (t.Short()) {
        w.ShortComment();
        return covered;
    }
    covered += kTableFormat2Size;
    if (!WriteTableFormat2(w, t))
        return covered;

    w.BeginField("column-formats2");
    for (unsigned i = 0; i < columns.value; ++i) {
        FieldReader format2 = tail.Sub(kColumn2Size);
        if (format2.Short()) {
            w.ShortComment();
            break;
        }
        WriteColumn2(w, i + 1, format2);
        covered += kColumn2Size;
    }
    w.EndField();
    return covered;
}
