// Document-wide records.
//
// Document (byte form): 2 paper colour   4 form flags   6 note privileges   8 form flags 2
//   10 inherited field name length   12 paper colour (extended, u8)   14 spare (10)   24 name
// Link Export2 (word form): 4 note link (40)   44 display comment to the end
// Link2 (word form): 4 link id   6 display comment to the end
#include "records/DocumentRecords.h"

#include "output/FieldWriter.h"
#include "records/RichTextTables.h"

namespace {
constexpr FixedField kDocument[] = {
    {"paper-color", 2, 2, FieldKind::Color},
    {"form-flags", 4, 2, FieldKind::Symbol, kFormFlags},
    {"note-privileges", 6, 2, FieldKind::Hex4},
    {"form-flags2", 8, 2, FieldKind::Symbol, kFormFlags2},
    {"paper-color-ext", 12, 1, FieldKind::Color},
    {"spare", 14, 10, FieldKind::Spare},
};
constexpr FixedField kLinkExport2[] = {{"notelink", 4, 40, FieldKind::NoteLink}};
constexpr FixedField kLink2[] = {{"link-id", 4, 2, FieldKind::Number}};
} // namespace

void TNCdDocument::MakeLabel() {
    SetLabel("Document");
}

std::uint32_t TNCdDocument::WriteBody(CFieldWriter& writer) {
    if (!WriteFixed(writer, kDocument))
        return 0;
    CursorText(writer, "inher-field-name", At(10).u16le());
    return std::uint32_t(Cursor());
}

void TNCdLinkExport2::MakeLabel() {
    SetLabel("Link Export2");
}

std::uint32_t TNCdLinkExport2::WriteBody(CFieldWriter& writer) {
    if (!WriteFixed(writer, kLinkExport2))
        return 0;
    CursorText(writer, "display-comment", kRest);
    return std::uint32_t(Cursor());
}

void TNCdLink2::MakeLabel() {
    SetLabel("Link2");
}

std::uint32_t TNCdLink2::WriteBody(CFieldWriter& writer) {
    if (!WriteFixed(writer, kLink2))
        return 0;
    CursorText(writer, "display-comment", kRest);
    return std::uint32_t(Cursor());
}
