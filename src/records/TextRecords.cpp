// Text records.
//
// Text (word form):       4 font-id, 8 the text to the record's end
// Text Effect (word):     4 font-effect-id
// Header (word):          4 pitch and family (u8), 5 font name (32), 37 font, 41 text length,
//                         43 text
// Style Name (byte):      2 flags (u32), 6 pab-id, 8 style name (to 43), 44 font id if flagged
// Font Table (word):      4 count, 6 entries of 34: face (u8), family (u8), name (32)
#include "records/TextRecords.h"

#include <string>
#include <vector>

#include "output/FieldWriter.h"
#include "records/RichTextTables.h"
#include "store/api/Conversions.h"

namespace {
constexpr FixedField kText[] = {{"font-id", 4, 4, FieldKind::Font}};
constexpr FixedField kTextEffect[] = {{"font-effect-id", 4, 4, FieldKind::Font}};
constexpr FixedField kHeader[] = {
    {"font-pitch-and-family", 4, 1, FieldKind::Number},
    {"font-name", 5, 32, FieldKind::ZText},
    {"font", 37, 4, FieldKind::Font},
};
constexpr FixedField kStyleName[] = {
    {"flags", 2, 4, FieldKind::Symbol, kStyleFlags},
    {"pab-id", 6, 2, FieldKind::Number},
    {"style-name", 8, 36, FieldKind::ZText},
};
constexpr std::uint32_t kStyleHasFont = 0x1;
constexpr FixedField kFontTableCount[] = {{"fonts", 4, 2, FieldKind::Number}};
constexpr std::size_t kFontEntrySize = 34;
// One font entry, offsets from the entry's start.
constexpr FixedField kFontEntry[] = {
    {"face", 0, 1, FieldKind::Number},
    {"family", 1, 1, FieldKind::Number},
    {"name", 2, 32, FieldKind::ZText},
};

std::string Translated(const char* text, std::size_t length) {
    if (length == 0)
        return {};
    std::vector<char> buffer(length * 2 + 1);
    const std::size_t n = store::TranslateText(store::Translate::FromStore, text, length,
                                               buffer.data(), buffer.size());
    return std::string(buffer.data(), std::min(n, buffer.size() - 1));
}

bool IsLeadByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
}
} // namespace

std::string TextExcerpt(const char* stored, std::size_t length) {
    const std::string text = Translated(stored, length);
    if (text.empty())
        return {};
    std::size_t chars = 0, cut = text.size();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!IsLeadByte(text[i]))
            continue;
        if (chars == 46)
            cut = i;
        ++chars;
    }
    if (chars < 48)
        return '"' + text + '"';
    return '"' + text.substr(0, cut) + "...";
}

void TNCdText::MakeLabel() {
    const std::size_t n = Size() > 8 ? Size() - 8 : 0;
    SetLabel(TextExcerpt(At(8).text(n).data(), n));
}

std::uint32_t TNCdText::WriteBody(CFieldWriter& writer) {
    if (!WriteFixed(writer, kText))
        return 0;
    CursorText(writer, "text", kRest);
    return std::uint32_t(Cursor());
}

void TNCdTextEffect::MakeLabel() {
    SetLabel("Text Effect");
}

std::uint32_t TNCdTextEffect::WriteBody(CFieldWriter& writer) {
    WriteFixed(writer, kTextEffect);
    return 8;
}

void TNCdHeader::MakeLabel() {
    SetLabel("Header");
}

std::uint32_t TNCdHeader::WriteBody(CFieldWriter& writer) {
    if (!WriteFixed(writer, kHeader) || !Has(41, 2))
        return StopAt(41);
    CursorText(writer, "text", At(41).u16le());
    return std::uint32_t(Cursor());
}

void TNCdStyleName::MakeLabel() {
    const std::size_t n = ZLength(8, 36);
    const std::string name = Translated(At(8).text(n).data(), n);
    SetLabelFormat("Style Name: %s", name.c_str());
}

std::uint32_t TNCdStyleName::WriteBody(CFieldWriter& writer) {
    if (!WriteFixed(writer, kStyleName))
        return 0;
    if (!(At(2).u32le() & kStyleHasFont))
        return 44;
    if (!Has(44, 4))
        return StopAt(44);
    writer.FontField("font-id", At(44).u32le());
    return 48;
}

void TNCdFontTable::MakeLabel() {
    SetLabel("Font Table");
}

std::uint32_t TNCdFontTable::WriteBody(CFieldWriter& writer) {
    if (!WriteFixed(writer, kFontTableCount))
        return 0;
    const std::size_t count = At(4).u16le();
    std::size_t at = 6;
    for (std::size_t i = 0; i < count; ++i, at += kFontEntrySize) {
        if (!Has(at, kFontEntrySize))
            return StopAt(at); // the count claims more entries than the record holds
        writer.BeginField("font");
        for (FixedField row : kFontEntry) {
            row.offset = std::uint32_t(row.offset + at);
            WriteFixedField(writer, row);
        }
        writer.EndField();
    }
    return std::uint32_t(at);
}
