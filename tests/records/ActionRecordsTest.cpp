// Action records: each kind's fields with the labels, order and values the stored bytes call
// for, the texts that are formulas by their flags, and every cut of every record saying that
// it is short.
#include <gtest/gtest.h>

#include <algorithm>

#include "EveryCut.h"
#include "RecordCases.h"
#include "records/RecordStream.h"
#include "tree/NodeDocument.h"

namespace {

constexpr std::uint16_t kAction = kStreamKindAction;

using Shown = OneShown;

// The label and dump of the one record of an action stream.
Shown ShowAction(std::uint16_t signature, const RecordBody& body,
                 CInfoPaneOptions* options = nullptr) {
    return ShowOne(kAction, signature, body, options);
}

// A body of flags, the u16 lengths of `texts`, the `between` bytes, then the texts.
RecordBody Texts(std::uint32_t flags, std::initializer_list<RecordBytes> texts,
                 const RecordBody& between = RecordBody()) {
    RecordBody b;
    b.u32(flags);
    for (const RecordBytes& t : texts)
        b.u16(std::uint16_t(t.size()));
    b.bytes(between.Bytes());
    for (const RecordBytes& t : texts)
        b.bytes(t);
    return b;
}

RecordBytes T(std::string_view s) {
    return RecordBytes(s.begin(), s.end());
}

RecordBytes F(std::string_view source) {
    return RecordBody::Formula(source);
}

RecordBody Newsletter(std::uint32_t flags) {
    RecordBody b;
    b.u32(flags).u32(25).u16(5).u8(0xB1).u8(0xB2);
    b.u16(2).u16(std::uint16_t(F("1").size())).u16(0).u16(3).u16(4);
    return b.text("Daily").text("Jo").bytes(F("1")).text("New").text("Body");
}

TEST(ActionRecords, EachKindShowsItsFields) {
    RecordBody form;
    form.u32(0x1).u16(1).u16(4);
    form.u16(16).u16(2).u16(2).u16(2).u16(0x500).u16(0).text("ToDo").text("Task");
    std::vector<RecordCase> cases = {
        {0x81, RecordBody(), "Action Header", {"(record-type Header)", "(length 2)"}, "(flags"},
        {0xFF82,
         Texts(0x2, {T("Status"), T("Done")}),
         "Modify Field",
         {"(record-type ModifyField)", "(flags Append)", "(field-name \"Status\")",
          "(value \"Done\")"}},
        {0xFF83,
         Texts(0x11, {T("Thanks")}).u8(0xEE),
         "Reply",
         {"(record-type Reply)", "(flags ReplyToAll ReplyOnce)", "(body \"Thanks\")",
          "(remaining-data", "EE"}},
        {0xFF84,
         Texts(0x3, {F("1 + 2")}),
         "Formula",
         {"(record-type Formula)", "(flags SelectDocs NewCopy)", "(formula {"}},
        // The script's length is a u32 at 8.
        {0xFF85,
         RecordBody().u32(0x40).u32(9).text("Print \"x\"").u8(0xEE),
         "KelmarScript",
         {"(record-type KelmarScript)", "(flags 0x40)", "(script \"Print \\\"x\\\"\")",
          "(remaining-data", "EE"}},
        // 0x10: cc is a formula; to stays a text.
        {0xFF86,
         Texts(0x10, {T("Ann"), F("1"), T("Bo"), T("Hi"), T("Text")}),
         "Send Mail",
         {"(record-type SendMail)", "(flags CcFormula)", "(to \"Ann\")", "(cc {", "(bcc \"Bo\")",
          "(subject \"Hi\")", "(body \"Text\")"}},
        {0xFF86,
         Texts(0x78, {F("1"), F("2"), F("3"), F("4"), T("Text")}),
         "Send Mail",
         {"(flags ToFormula CcFormula BccFormula SubjectFormula)", "(to {", "(cc {", "(bcc {",
          "(subject {", "(body \"Text\")"}},
        {0xFF87,
         Texts(0x1, {T("hub"), T("mail.vlt")}),
         "Db Copy",
         {"(record-type DbCopy)", "(flags Move)", "(server \"hub\")", "(database \"mail.vlt\")"}},
        // Spare bytes are shown only when asked for.
        {0xFF8C,
         Texts(0, {T("D")}, RecordBody().u16(0)),
         "Move To Folder",
         {"(folder-name \"D\")"},
         "spare"},
        {0xFF89,
         form,
         "By Form",
         {"(record-type ByForm)", "(flags 0x1)", "(assist-field", "(operator Append)",
          "(value-data-type Text)", "(field-name \"To\")", "(value \"Do\")",
          "(form-name \"Task\")"}},
    };
    // The byte-form flags have no table: the value in hex.
    const std::pair<std::uint16_t, const char*> flagged[] = {
        {0x88, "Delete"}, {0x8A, "Mark Read"}, {0x8B, "Mark Unread"}, {0x91, "Send Document"}};
    for (const auto& [signature, label] : flagged) {
        std::string name = label;
        name.erase(std::remove(name.begin(), name.end(), ' '), name.end());
        cases.push_back({signature,
                         RecordBody().u32(0x1005).u8(0xEE),
                         label,
                         {"(record-type " + name + ")", "(length 7)", "(flags 0x1005)",
                          "(remaining-data", "EE"}});
    }
    ExpectRecords(kAction, cases);

    CInfoPaneOptions spare;
    spare.ShowSpareBytes = 1;
    cases = {
        {0xFF8F,
         Newsletter(0x10 | 0x2),
         "Newsletter",
         {"(record-type Newsletter)", "(flags Gather CcFormula)", "(gather 25)", "(spare", "B1 B2",
          "(view-name \"Daily\")", "(to \"Jo\")", "(cc {", "(bcc \"\")", "(subject \"New\")",
          "(body \"Body\")"}},
        {0xFF90,
         Texts(0x7, {T("Archiver")}, RecordBody().u16(0xD1D2)),
         "Run Agent",
         {"(record-type RunAgent)", "(flags 0x7)", "(spare", "D2 D1", "(agent-name \"Archiver\")"}},
    };
    for (const auto& [signature, label] :
         {std::pair<std::uint16_t, std::string>{0xFF8C, "Move To Folder"},
          {0xFF8D, "Copy To Folder"},
          {0xFF8E, "Remove From Folder"}}) {
        std::string name = label;
        name.erase(std::remove(name.begin(), name.end(), ' '), name.end());
        cases.push_back({signature,
                         Texts(0x3, {T("Done")}, RecordBody().u8(0xC1).u8(0xC2)),
                         label,
                         {"(record-type " + name + ")", "(flags NewFolder PrivateFolder)", "(spare",
                          "C1 C2", "(folder-name \"Done\")"}});
    }
    ExpectRecords(kAction, cases, &spare);
}

TEST(ActionRecords, GenericRecordsNameTheirSignatureOrNumber) {
    CNodeDocument doc;
    const RecordBytes stream = RecordEncoder(kAction)
                                   .Word(0xFF88, RecordBody().u16(1))
                                   .Word(0xFF92, RecordBody().u16(2))
                                   .Word(0xFF8A, RecordBody())
                                   .Add(0x81, RecordBody())
                                   .Stream();
    CNoteNode parent(&doc);
    ASSERT_EQ(AddRecordNodes(parent, *MakeRecordFactory(kAction), stream.data(), stream.size()), 0);
    auto* unnamed = static_cast<TNCdRecord*>(parent.GetFirstChild());
    auto* formulaOnly = static_cast<TNCdRecord*>(unnamed->GetNextSibling());
    auto* other = static_cast<TNCdRecord*>(formulaOnly->GetNextSibling());
    auto* header = static_cast<TNCdRecord*>(other->GetNextSibling());
    // 0xFF88 has no row in the action table: even with symbols on it is a number.
    EXPECT_EQ(unnamed->GetLabel(), "Record type 65416");
    EXPECT_TRUE(Has(Dump(*unnamed), "(record-type 65416)")) << Dump(*unnamed);
    EXPECT_TRUE(Has(Dump(*unnamed), "(remaining-data")) << Dump(*unnamed);
    // 0xFF92 is named but has no kind of its own.
    EXPECT_EQ(formulaOnly->GetLabel(), "FormulaOnly");
    EXPECT_EQ(other->GetLabel(), "Record type 65418");
    doc.InfoOptions().ShowSymbols = 0;
    formulaOnly->OnOptionsChanged(0x2);
    EXPECT_EQ(formulaOnly->GetLabel(), "0xff92");
    for (TNCdRecord* r : {unnamed, formulaOnly, other, header}) {
        EXPECT_EQ(r->GetHelpContext(), 0xE0000u + r->Signature());
        ASSERT_TRUE(r->GetImage());
        EXPECT_EQ(r->GetImage()->strip, 0);
    }
}

TEST(ActionRecords, ShorterThanTheFixedPartSaysItsLeastLength) {
    const struct {
        std::uint16_t signature;
        std::uint32_t fixed;
    } kinds[] = {{0xFF82, 12}, {0xFF83, 10}, {0xFF84, 10}, {0xFF85, 12}, {0xFF86, 18}, {0xFF87, 12},
                 {0x88, 6},    {0xFF89, 12}, {0x8A, 6},    {0x8B, 6},    {0xFF8C, 12}, {0xFF8D, 12},
                 {0xFF8E, 12}, {0xFF8F, 26}, {0xFF90, 12}, {0x91, 6}};
    for (const auto& k : kinds) {
        const std::size_t header = k.signature > 0xFF ? 4 : 2;
        const std::string shorter =
            ShowAction(k.signature, RecordBody().zeros(k.fixed - 1 - header)).dump;
        EXPECT_TRUE(Has(shorter, "should be at least " + std::to_string(k.fixed) + ")")) << shorter;
        const std::string whole =
            ShowAction(k.signature, RecordBody().zeros(k.fixed - header)).dump;
        EXPECT_FALSE(Has(whole, "should be at least")) << whole;
    }
}

TEST(ActionRecords, EveryCutSaysShort) {
    RecordEncoder e(kAction);
    e.Add(0x81, RecordBody());
    e.Add(0x88, RecordBody().u32(1));
    e.Add(0x8A, RecordBody().u32(2));
    e.Add(0x8B, RecordBody().u32(3));
    e.Add(0x91, RecordBody().u32(4));
    e.Add(0xFF82, Texts(0x1, {T("Status"), T("Done")}));
    e.Add(0xFF83, Texts(0x2, {T("Thanks")}));
    e.Add(0xFF84, Texts(0x1, {F("1 + 2")}));
    e.Add(0xFF85, RecordBody().u32(0).u32(5).text("Beep;"));
    e.Add(0xFF86, Texts(0x10, {T("Ann"), F("1"), T("Bo"), T("Hi"), T("Text")}));
    e.Add(0xFF87, Texts(0x1, {T("hub"), T("mail.vlt")}));
    RecordBody form;
    form.u32(0).u16(2).u16(4);
    form.u16(18).u16(1).u16(2).u16(2).u16(0).u16(0).text("ToDo").u16(0);
    form.u16(13).u16(3).u16(1).u16(0).u16(0x300).u16(0).text("N");
    e.Add(0xFF89, form.text("Task"));
    e.Add(0xFF8C, Texts(0x1, {T("Done")}, RecordBody().u16(0)));
    e.Add(0xFF8D, Texts(0x2, {T("Done")}, RecordBody().u16(0)));
    e.Add(0xFF8E, Texts(0x3, {T("Done")}, RecordBody().u16(0)));
    e.Add(0xFF8F, Newsletter(0x10));
    e.Add(0xFF90, Texts(0, {T("Archiver")}, RecordBody().u16(0)));
    const RecordBytes stream = e.Stream();
    ExpectEveryCutSaysShort("action", stream, kAction, {kAction});
}

} // namespace
