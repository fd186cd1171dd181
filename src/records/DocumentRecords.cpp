// Document-wide records.
//
// Document (byte form): 2 paper colour   4 form flags   6 note privileges   8 form flags 2
//   10 inherited field name length   12 paper colour (extended, u8)   14 spare (10)   24 name
// Link Export2 (word form): 4 note link (40)   44 display comment to the end
// Link2 (word form): 4 link id   6 display comment to the end
#include "records/CdRecord.h"
#include "records/RecordKinds.h"
#include "records/RichTextTables.h"

namespace {
using namespace field;
constexpr RecordScope kBase = RecordScope::RichTextBase;

constexpr FixedField kDocument[] = {
    Of("paper-color", 2, 2, FieldKind::Color),
    Sym("form-flags", 4, 2, kFormFlags),
    Of("note-privileges", 6, 2, FieldKind::Hex4),
    Sym("form-flags2", 8, 2, kFormFlags2),
    Of("paper-color-ext", 12, 1, FieldKind::Color),
    Spare("spare", 14, 10),
    Text("inher-field-name", 10, 2),
};
constexpr FixedField kLinkExport2[] = {Of("notelink", 4, 40, FieldKind::NoteLink),
                                       Text("display-comment")};
constexpr FixedField kLink2[] = {Num("link-id", 4, 2), Text("display-comment")};

constexpr RecordKind kKinds[] = {
    kind::Fixed(kBase, 0x86, "Document", 22, 24, kDocument),
    kind::Fixed(kBase, 0xFF92, "Link Export2", 13, 44, kLinkExport2),
    kind::Fixed(kBase, 0xFF91, "Link2", 13, 6, kLink2),
};
} // namespace

std::span<const RecordKind> DocumentRecordKinds() {
    return kKinds;
}
