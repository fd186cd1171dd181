// Agent action records: what an agent, or a hotspot in rich text, does.
//
// Byte form, from 2:   Delete, Mark Read, Mark Unread, Send Document: flags (u32)
// Word form, from 4, after flags (u32); the texts follow the fixed part in the order listed:
//   Modify Field:  8 field name length   10 value length
//   Reply:         8 body length
//   Formula:       8 formula length
//   KelmarScript:  8 script length (u32)
//   Send Mail:     8 to   10 cc   12 bcc   14 subject   16 body (lengths)
//   Db Copy:       8 server length   10 database length
//   By Form:       8 assist field count   10 form name length   12 assist fields, form name
//   Folders:       8 folder name length   10 spare (2)
//   Newsletter:    8 gather (u32)   12 view name length   14 spare (2)   16 to   18 cc
//                  20 bcc   22 subject   24 body (lengths)
//   Run Agent:     8 agent name length   10 spare (2)
#include "records/CdRecord.h"
#include "records/QueryActionTables.h"
#include "records/RecordKinds.h"

namespace {
using namespace field;
constexpr RecordScope kAction = RecordScope::Action;

// Flags of the mail fields that hold a formula rather than a text.
constexpr std::uint32_t kToFormula = 0x8;
constexpr std::uint32_t kCcFormula = 0x10;
constexpr std::uint32_t kBccFormula = 0x20;
constexpr std::uint32_t kSubjectFormula = 0x40;

constexpr FixedField kByteFlags[] = {Sym("flags", 2, 4, nullptr)};
constexpr FixedField kModifyField[] = {
    Sym("flags", 4, 4, kModifyFlags),
    Text("field-name", 8, 2),
    Text("value", 10, 2),
};
constexpr FixedField kReply[] = {Sym("flags", 4, 4, kReplyFlags), Text("body", 8, 2)};
constexpr FixedField kFormula[] = {Sym("flags", 4, 4, kFormulaActionFlags),
                                   Formula("formula", 8, 2)};
constexpr FixedField kScript[] = {Sym("flags", 4, 4, nullptr), Text("script", 8, 4)};
constexpr FixedField kSendMail[] = {
    Sym("flags", 4, 4, kSendMailFlags),
    TextOrFormula("to", 8, 2, 4, kToFormula),
    TextOrFormula("cc", 10, 2, 4, kCcFormula),
    TextOrFormula("bcc", 12, 2, 4, kBccFormula),
    TextOrFormula("subject", 14, 2, 4, kSubjectFormula),
    Text("body", 16, 2),
};
constexpr FixedField kDbCopy[] = {
    Sym("flags", 4, 4, kDbCopyFlags),
    Text("server", 8, 2),
    Text("database", 10, 2),
};
constexpr FixedField kByForm[] = {Sym("flags", 4, 4, nullptr)};
constexpr FixedField kFolder[] = {
    Sym("flags", 4, 4, kFolderFlags),
    Spare("spare", 10, 2),
    Text("folder-name", 8, 2),
};
constexpr FixedField kNewsletter[] = {
    Sym("flags", 4, 4, kNewsletterFlags),
    Num("gather", 8, 4),
    Spare("spare", 14, 2),
    Text("view-name", 12, 2),
    TextOrFormula("to", 16, 2, 4, kToFormula),
    TextOrFormula("cc", 18, 2, 4, kCcFormula),
    TextOrFormula("bcc", 20, 2, 4, kBccFormula),
    TextOrFormula("subject", 22, 2, 4, kSubjectFormula),
    Text("body", 24, 2),
};
constexpr FixedField kRunAgent[] = {
    Sym("flags", 4, 4, nullptr),
    Spare("spare", 10, 2),
    Text("agent-name", 8, 2),
};

constexpr RecordKind kKinds[] = {
    kind::Fixed(kAction, 0x81, "Action Header", 0, 2),
    kind::Fixed(kAction, 0xFF82, "Modify Field", 0, 12, kModifyField),
    kind::Fixed(kAction, 0xFF83, "Reply", 0, 10, kReply),
    kind::Fixed(kAction, 0xFF84, "Formula", 0, 10, kFormula),
    kind::Fixed(kAction, 0xFF85, "KelmarScript", 0, 12, kScript),
    kind::Fixed(kAction, 0xFF86, "Send Mail", 0, 18, kSendMail),
    kind::Fixed(kAction, 0xFF87, "Db Copy", 0, 12, kDbCopy),
    kind::Fixed(kAction, 0x88, "Delete", 0, 6, kByteFlags),
    kind::ComposedBy(kind::Fixed(kAction, 0xFF89, "By Form", 0, 12, kByForm, ByFormBody),
                     ComposeByForm),
    kind::Fixed(kAction, 0x8A, "Mark Read", 0, 6, kByteFlags),
    kind::Fixed(kAction, 0x8B, "Mark Unread", 0, 6, kByteFlags),
    kind::Fixed(kAction, 0xFF8C, "Move To Folder", 0, 12, kFolder),
    kind::Fixed(kAction, 0xFF8D, "Copy To Folder", 0, 12, kFolder),
    kind::Fixed(kAction, 0xFF8E, "Remove From Folder", 0, 12, kFolder),
    kind::Fixed(kAction, 0xFF8F, "Newsletter", 0, 26, kNewsletter),
    kind::Fixed(kAction, 0xFF90, "Run Agent", 0, 12, kRunAgent),
    kind::Fixed(kAction, 0x91, "Send Document", 0, 6, kByteFlags),
};
} // namespace

std::span<const RecordKind> ActionRecordKinds() {
    return kKinds;
}
