// Text records.
//
// Text (word form):       4 font-id, 8 the text to the record's end
// Text Effect (word):     4 font-effect-id
// Header (word):          4 pitch and family (u8), 5 font name (32), 37 font, 41 text length,
//                         43 text
// Style Name (byte):      2 flags (u32), 6 pab-id, 8 style name (to 43), 44 font id if flagged
// Font Table (word):      4 count, 6 entries of 34: face (u8), family (u8), name (32)
#include <string>
#include <vector>

#include "output/FieldWriter.h"
#include "records/CdRecord.h"
#include "records/RecordComposer.h"
#include "records/RecordKinds.h"
#include "records/RichTextTables.h"
#include "records/TextExcerpt.h"
#include "store/api/Conversions.h"

namespace {
using namespace field;
constexpr RecordScope kBase = RecordScope::RichTextBase;

constexpr FixedField kText[] = {Of("font-id", 4, 4, FieldKind::Font), Text("text")};
constexpr FixedField kTextEffect[] = {Of("font-effect-id", 4, 4, FieldKind::Font)};
constexpr FixedField kHeader[] = {
    Num("font-pitch-and-family", 4, 1),
    Of("font-name", 5, 32, FieldKind::ZText),
    Of("font", 37, 4, FieldKind::Font),
    Text("text", 41, 2),
};
constexpr FixedField kStyleName[] = {
    Sym("flags", 2, 4, kStyleFlags),
    Num("pab-id", 6, 2),
    Of("style-name", 8, 36, FieldKind::ZText),
};
constexpr std::uint32_t kStyleHasFont = 0x1;
constexpr FixedField kStyleFont[] = {Of("font-id", 44, 4, FieldKind::Font)};
constexpr FixedField kFontTableCount[] = {Num("fonts", 4, 2)};
constexpr std::size_t kFontEntrySize = 34;
// One font entry, offsets from the entry's start.
constexpr FixedField kFontEntry[] = {
    Num("face", 0, 1),
    Num("family", 1, 1),
    Of("name", 2, 32, FieldKind::ZText),
};
constexpr FixedField kFont[] = {Group("font", 0, kFontEntry)};

void TextLabel(TNCdRecord& r) {
    const std::size_t n = r.Size() > 8 ? r.Size() - 8 : 0;
    r.SetLabel(TextExcerpt(r.At(8).text(n).data(), n));
}

void StyleNameLabel(TNCdRecord& r) {
    const std::size_t n = r.ZLength(8, 36);
    const std::string name = TranslatedText(r.At(8).text(n).data(), n);
    r.SetLabelFormat("Style Name: %s", name.c_str());
}

std::uint32_t StyleNameBody(TNCdRecord& r, CFieldWriter& writer) {
    if (!(r.At(2).u32le() & kStyleHasFont))
        return 44;
    if (!r.WriteFixed(writer, kStyleFont))
        return 0;
    return 48;
}

std::uint32_t FontTableBody(TNCdRecord& r, CFieldWriter& writer) {
    const std::size_t count = r.At(4).u16le();
    std::size_t at = 6;
    for (std::size_t i = 0; i < count; ++i, at += kFontEntrySize) {
        if (!r.Has(at, kFontEntrySize))
            return r.StopAt(at); // the count claims more entries than the record holds
        r.WriteFixedAt(writer, kFont, at);
    }
    return std::uint32_t(at);
}

bool ComposeStyleName(RecordComposer& c, const std::string& path) {
    if (!c.Values().Find("font-id"))
        return true;
    c.Put(2, 4, c.Stored(2, 4) | kStyleHasFont);
    return c.Rows(kStyleFont, 0, nullptr, path);
}

bool ComposeFontTable(RecordComposer& c, const std::string& path) {
    const ValueTree* fonts = nullptr;
    if (!c.TakeList("font", path, &fonts))
        return false;
    const std::size_t count = fonts ? fonts->list.size() : 0;
    if (count > 0xFFFF)
        return c.Fail(path + ".font", "more fonts than the count can say");
    if (!c.Values().Find("fonts")) // a count given stands, to describe a damaged table
        c.Put(4, 2, std::uint32_t(count));
    for (std::size_t i = 0; i < count; ++i) {
        const ValueTree& font = fonts->list[i];
        const std::string where = path + ".font[" + std::to_string(i) + "]";
        if (!font.Is(ValueTree::Type::Members))
            return c.Fail(where, "the fields of a font are expected");
        const std::size_t at = 6 + kFontEntrySize * i;
        c.Put(at + kFontEntrySize - 1, 1, 0);
        if (!c.Rows(kFontEntry, at, &font, where) || !c.AllTaken(font, where))
            return false;
    }
    return true;
}

constexpr RecordKind kKinds[] = {
    kind::Custom(kBase, 0xFF85, TextLabel, 4, 8, kText),
    kind::Fixed(kBase, 0xFFC3, "Text Effect", 48, 8, kTextEffect),
    kind::Fixed(kBase, 0xFF8E, "Header", 12, 43, kHeader),
    kind::ComposedBy(kind::Custom(kBase, 0xA6, StyleNameLabel, 26, 44, kStyleName, StyleNameBody),
                     ComposeStyleName),
    kind::ComposedBy(
        kind::Fixed(kBase, 0xFF8B, "Font Table", 23, 6, kFontTableCount, FontTableBody),
        ComposeFontTable),
};
} // namespace

std::span<const RecordKind> TextRecordKinds() {
    return kKinds;
}
