// Rich-text structure records: tables and their cells, hotspots, section bars and buttons.
//
// Table Begin (byte):   2 left margin   4/6 inter-cell spaces   8/10 the same for v4   12 flags
// Table Cell (byte):    2 row (u8)   3 column (u8)   4 left margin   6 right margin
//                       8 fractional width   10 border (u8)   11 flags (u8)
//                       12 v4.2 borders (four nibbles)   14 row span (u8)   15 column span (u8)
//                       16 background colour
// Table End (byte):     2 spare word   4 spare flags
// Hotspot Begin (word): 4 type   6 flags (u32)   10 data length   12 data; with the Action flag
//                       the rest of the record is an action stream (its own kind word first);
//                       with Signed a u16 length and the signature follow the data
// Bar (word):           4 flags (u32)   8 font id   12 colour if HasColor, then the caption
// Button (word):        4 flags   6 width   8 height   10 lines   12 font id   16 text
#include <string>

#include "output/FieldWriter.h"
#include "output/OutputStrings.h"
#include "records/CdRecord.h"
#include "records/ObjectTables.h"
#include "records/RecordComposer.h"
#include "records/RecordKinds.h"
#include "records/RecordStreamComposer.h"
#include "records/TextExcerpt.h"

namespace {
using namespace field;
constexpr RecordScope kBase = RecordScope::RichTextBase;
constexpr RecordScope kRich = RecordScope::RichText;
constexpr unsigned kTwips = outstr::kUnitTwips;

constexpr FixedField kTableBegin[] = {
    Measure("left-margin", 2, 2, kTwips),
    Measure("horiz-inter-cell-space", 4, 2, kTwips),
    Measure("vert-inter-cell-space", 6, 2, kTwips),
    Measure("v4-horiz-inter-cell-space", 8, 2, kTwips),
    Measure("v4-vert-inter-cell-space", 10, 2, kTwips),
    Sym("flags", 12, 2, kTableBeginFlags),
};
constexpr FixedField kCellHead[] = {
    Num("row", 2, 1),
    Num("column", 3, 1),
    Measure("left-margin", 4, 2, kTwips),
    Measure("right-margin", 6, 2, kTwips),
    Num("fractional-width", 8, 2),
    Sym("border", 10, 1, kCellBorder),
    Sym("flags", 11, 1, kCellFlags),
};
constexpr std::size_t kV42BorderAt = 12;
constexpr FixedField kCellTail[] = {
    Num("row-span", 14, 1),
    Num("column-span", 15, 1),
    Of("background-color", 16, 2, FieldKind::Color),
};
constexpr FixedField kTableEnd[] = {Spare("spare-word", 2, 2), Spare("spare-flags", 4, 2)};

// Hotspots.
constexpr std::size_t kHotspotData = 12;
constexpr std::uint16_t kHotspotFile = 4;
constexpr std::uint16_t kHotspotActiveObject = 15;
constexpr std::uint32_t kHotspotFormula = 0x10;
constexpr std::uint32_t kHotspotAction = 0x80;
constexpr std::uint32_t kHotspotScript = 0x100;
constexpr std::uint32_t kHotspotSigned = 0x10000;
constexpr FixedField kHotspot[] = {
    Sym("type", 4, 2, kHotspotTypes),
    Sym("flags", 6, 4, kHotspotFlags),
};
constexpr FixedField kHotspotText[] = {Text("text", 10, 2)};
constexpr FixedField kHotspotFormulaData[] = {Formula("formula", 10, 2)};

// Bars.
constexpr std::uint32_t kBarHasColor = 0x04000000;
constexpr std::uint32_t kBarIsFormula = 0x2000;
constexpr FixedField kBar[] = {
    Sym("flags", 4, 4, kSectionBarFlags),
    Of("font-id", 8, 4, FieldKind::Font),
};
constexpr FixedField kBarColor[] = {Of("color", 12, 2, FieldKind::Color)};
constexpr FixedField kBarCaption[] = {TextOrFormula("caption", 0, 0, 4, kBarIsFormula)};

constexpr std::size_t kButtonText = 16;
constexpr FixedField kButton[] = {
    Sym("flags", 4, 2, kButtonFlags),      Measure("width", 6, 2, kTwips),
    Measure("height", 8, 2, kTwips),       Num("lines", 10, 2),
    Of("font-id", 12, 4, FieldKind::Font), Text("text"),
};

void CellLabel(TNCdRecord& r) {
    r.SetLabelFormat("Table Cell (%d, %d)", int(r.At(2).u8()), int(r.At(3).u8()));
}

// The four borders of v4.2, a nibble each from the low bits up.
std::uint32_t CellBody(TNCdRecord& r, CFieldWriter& writer) {
    if (!r.Has(kV42BorderAt, 2))
        return r.StopAt(kV42BorderAt);
    const std::uint16_t borders = r.At(kV42BorderAt).u16le();
    writer.NextRange(kV42BorderAt, 2);
    writer.BeginField("v42-border");
    for (int i = 0; i < 4; ++i) {
        if (i)
            writer.Space();
        writer.Number((borders >> (4 * i)) & 0xF);
    }
    writer.CommentId(outstr::kCellBorderSides);
    writer.EndField();
    if (!r.WriteFixed(writer, kCellTail))
        return 0;
    return 18;
}

// "v42-border": the four numbers, left to bottom.
bool ComposeCell(RecordComposer& c, const std::string& path) {
    if (const ValueTree* v = c.Take("v42-border")) {
        const std::string where = path + ".v42-border";
        if (!v->Is(ValueTree::Type::List) || v->list.size() != 4)
            return c.Fail(where, "four numbers (left, right, top, bottom) are expected");
        std::uint32_t stored = 0;
        for (std::size_t i = 0; i < 4; ++i) {
            std::uint32_t n = 0;
            if (!c.Unsigned(v->list[i], where + "[" + std::to_string(i) + "]", 15, &n))
                return false;
            stored |= n << (4 * i);
        }
        c.Put(kV42BorderAt, 2, stored);
    }
    return c.Rows(kCellTail, 0, nullptr, path);
}

// The actions are the rest of the record: as far as the record is there, never past it (the
// stored length may claim more than the stream holds).
void HotspotSubStream(TNCdRecord& r) {
    if ((r.At(6).u32le() & kHotspotAction) && r.Size() > kHotspotData)
        r.SetSubStream(r.At(kHotspotData).Rest(), r.Size() - kHotspotData);
    else
        r.SetSubStream(nullptr, 0);
}

void HotspotLabel(TNCdRecord& r) {
    r.SetLabel("Hotspot Begin");
    HotspotSubStream(r);
}

void V4HotspotLabel(TNCdRecord& r) {
    r.SetLabel("V4 Hotspot Begin");
    HotspotSubStream(r);
}

std::uint32_t HotspotBody(TNCdRecord& r, CFieldWriter& writer) {
    if (!r.Has(10, 2))
        return r.StopAt(10);
    const std::uint16_t type = r.At(4).u16le();
    const std::uint32_t flags = r.At(6).u32le();
    if (type == kHotspotFile) {
        r.WriteFixed(writer, kHotspotText);
    } else if (type == kHotspotActiveObject) {
        // No data is shown.
    } else if (flags & kHotspotAction) {
        writer.CommentId(outstr::kActionsInChildren);
        // The actions run to the record's end; those past the stream's end are not there.
        if (r.Size() < r.Length())
            writer.ShortComment();
        r.SetCursor(r.Size());
    } else if (flags & kHotspotScript) {
        r.WriteFixed(writer, kHotspotText);
    } else if (flags & kHotspotFormula) {
        r.WriteFixed(writer, kHotspotFormulaData);
    } else {
        r.WriteFixed(writer, r.Signature() == 0xFFA9 ? kHotspotFormulaData : kHotspotText);
    }
    if (flags & kHotspotSigned) {
        // The signature's length follows the data. After actions, which take the rest of the
        // record, it would be read past the record: then there is no signature to show.
        if ((flags & kHotspotAction) && type != kHotspotFile && type != kHotspotActiveObject)
            return std::uint32_t(r.Cursor());
        const std::size_t at = r.Cursor();
        if (!r.Has(at, 2))
            return r.StopAt(at);
        const std::uint16_t n = r.At(at).u16le();
        r.SetCursor(at + 2);
        r.CursorHexDump(writer, "sig-data", n);
    }
    return std::uint32_t(r.Cursor());
}

// "text" or "formula" at the data (the one the flags and signature call for), "sig-data" hex,
// or "actions": the action records that make the rest of the record.
bool ComposeHotspot(RecordComposer& c, const std::string& path) {
    const ValueTree* actions = nullptr;
    if (!c.TakeList("actions", path, &actions))
        return false;
    if (actions) {
        std::vector<std::uint8_t> records;
        std::string where, what;
        if (!ComposeRecordStream(kStreamKindAction, *actions, &records, &where, &what))
            return c.Fail(path + ".actions" + where, what);
        c.Put(6, 4, c.Stored(6, 4) | kHotspotAction);
        c.Append(std::vector<std::uint8_t>{std::uint8_t(kStreamKindAction),
                                           std::uint8_t(kStreamKindAction >> 8)});
        c.Append(records);
        return true;
    }
    const ValueTree* text = c.Take("text");
    const ValueTree* formula = c.Take("formula");
    if (text && formula)
        return c.Fail(path, "a hotspot holds a \"text\" or a \"formula\", not both");
    if (text && !c.Rows(kHotspotText, 0, nullptr, path))
        return false;
    if (formula && !c.Rows(kHotspotFormulaData, 0, nullptr, path))
        return false;
    if (const ValueTree* sig = c.Take("sig-data")) {
        std::vector<std::uint8_t> bytes;
        if (!c.Hex(*sig, path + ".sig-data", &bytes))
            return false;
        if (bytes.size() > 0xFFFF)
            return c.Fail(path + ".sig-data", "the signature is longer than its length can say");
        c.Put(6, 4, c.Stored(6, 4) | kHotspotSigned);
        c.Append(
            std::vector<std::uint8_t>{std::uint8_t(bytes.size()), std::uint8_t(bytes.size() >> 8)});
        c.Append(bytes);
    }
    return true;
}

std::uint32_t BarBody(TNCdRecord& r, CFieldWriter& writer) {
    if (r.At(4).u32le() & kBarHasColor) {
        if (!r.WriteFixed(writer, kBarColor))
            return 0;
        r.SetCursor(14);
    }
    r.WriteFixed(writer, kBarCaption);
    return std::uint32_t(r.Cursor());
}

bool ComposeBar(RecordComposer& c, const std::string& path) {
    if (c.Values().Find("color")) {
        c.Put(4, 4, c.Stored(4, 4) | kBarHasColor);
        if (!c.Rows(kBarColor, 0, nullptr, path))
            return false;
        c.SetCursor(14);
    }
    return c.Rows(kBarCaption, 0, nullptr, path); // {"formula": ...} sets IsFormula
}

// The whole text, in the program's character set.
void ButtonLabel(TNCdRecord& r) {
    const std::size_t n = r.Size() > kButtonText ? r.Size() - kButtonText : 0;
    r.SetLabel(TranslatedText(r.At(kButtonText).text(n).data(), n));
}

constexpr RecordKind kKinds[] = {
    kind::Fixed(kBase, 0xA3, "Table Begin", 7, 14, kTableBegin),
    kind::ComposedBy(kind::Custom(kBase, 0xA4, CellLabel, 8, 18, kCellHead, CellBody), ComposeCell),
    kind::Fixed(kBase, 0xA5, "Table End", 9, 6, kTableEnd),
    kind::ComposedBy(kind::Custom(kBase, 0xFFA9, HotspotLabel, 10, 12, kHotspot, HotspotBody),
                     ComposeHotspot),
    kind::ComposedBy(kind::Custom(kRich, 0xFFAD, V4HotspotLabel, 10, 12, kHotspot, HotspotBody),
                     ComposeHotspot),
    kind::Fixed(kBase, 0xAA, "Hotspot End", 11, 2),
    kind::Fixed(kRich, 0xAE, "V4 Hotspot End", 11, 2),
    kind::ComposedBy(kind::Fixed(kRich, 0xFFAC, "Bar", 41, 12, kBar, BarBody), ComposeBar),
    kind::Custom(kBase, 0xFFAB, ButtonLabel, 6, 16, kButton),
};
} // namespace

std::span<const RecordKind> TableRecordKinds() {
    return kKinds;
}
