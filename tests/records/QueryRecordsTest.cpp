// Query records: each kind's fields with the labels, order and values the stored bytes call
// for, and every cut of every record saying that it is short.
#include <gtest/gtest.h>

#include <cstring>

#include "EveryCut.h"
#include "RecordCases.h"
#include "output/InfoPaneOptions.h"
#include "records/RecordStream.h"
#include "tree/NodeDocument.h"

namespace {

constexpr std::uint16_t kQuery = kStreamKindQuery;

// The dump and the label of the one record of a query stream.
std::string DumpQuery(std::uint16_t signature, const RecordBody& body,
                      CInfoPaneOptions* options = nullptr) {
    return ShowOne(kQuery, signature, body, options).dump;
}

std::string LabelOf(std::uint16_t signature, const RecordBody& body) {
    return ShowOne(kQuery, signature, body).label;
}

RecordBody Double(RecordBody b, double v) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    return b.u32(std::uint32_t(bits)).u32(std::uint32_t(bits >> 32));
}

RecordBody TextTerm(std::initializer_list<std::string> texts, std::uint32_t flags = 0x24) {
    RecordBody b;
    b.u32(flags);
    std::size_t i = 0;
    for (const std::string& t : texts) {
        b.u32(std::uint32_t(t.size()));
        ++i;
    }
    for (; i < 10; ++i)
        b.u32(0);
    for (const std::string& t : texts)
        b.text(t);
    return b;
}

RecordBody ByField(std::uint32_t flags, std::uint16_t op, const std::string& name,
                   const std::string& value) {
    RecordBody b;
    b.u32(flags).u16(0x300).u16(op).zeros(16);
    b = Double(Double(b, 2.5), -4);
    return b.u16(std::uint16_t(name.size()))
        .u16(std::uint16_t(value.size()))
        .text(name)
        .text(value);
}

// An assist field of a stored size, which may differ from what its parts add up to.
RecordBody Assist(std::uint16_t op, const std::string& name, const std::string& value,
                  int size = -1) {
    RecordBody b;
    const std::size_t parts = 12 + name.size() + value.size();
    b.u16(std::uint16_t(size < 0 ? parts : std::size_t(size))).u16(op);
    b.u16(std::uint16_t(name.size())).u16(std::uint16_t(value.size())).u16(0x500).u8(0xA1).u8(0xA2);
    b.text(name).text(value);
    if (size > int(parts))
        b.zeros(std::size_t(size) - parts);
    return b;
}

RecordBody ByForm(std::uint32_t flags, std::initializer_list<RecordBody> assists,
                  const std::string& form) {
    RecordBody b;
    b.u32(flags).u16(std::uint16_t(assists.size())).u16(std::uint16_t(form.size()));
    for (const RecordBody& a : assists)
        b.bytes(a.Bytes());
    return b.text(form);
}

RecordBody UsesForm() {
    return RecordBody().u32(0x10).u16(2).u16(4).u16(6).text("Memo").text("Report");
}

RecordBody Topic() {
    return RecordBody().u32(3).u16(5).u16(2).text("plans").u8(0xDE).u8(0xAD);
}

RecordBody Formula(std::uint32_t flags, const std::string& source) {
    const RecordBytes formula = RecordBody::Formula(source);
    return RecordBody().u32(flags).u16(std::uint16_t(formula.size())).bytes(formula);
}

TEST(QueryRecords, EachKindShowsItsFields) {
    const RecordBody formula = Formula(1, "1 + 2");
    ExpectRecords(
        kQuery,
        {
            {0x81,
             RecordBody().u32(1),
             "Query Header",
             {"(record-type Header)", "(length 6)", "(flags IncludeDescendants)"}},
            {0xFF82,
             TextTerm({"budget", "", "plan"}).u8(0xEE),
             "Text Term",
             {"(record-type TextTerm)", "(flags And PlainText)", "(text", "\"budget\"", "\"plan\"",
              "(remaining-data", "EE"}},
            // Ten lengths of 0: an empty text field, and the record ends at 48.
            {0xFF82,
             TextTerm({}, 0x1).u8(0x77),
             "",
             {"(flags Raw)", "(text", "(remaining-data", "77"},
             "\""},
            {0xFF83,
             ByField(0, 7, "Subject", "plan"),
             "By Field",
             {"(record-type ByField)", "(flags 0)", "(data-type Number)", "(operator Contains)",
              "(date1 ", "(date2 ", "(number1 2.5)", "(number2 -4)", "(field-name \"Subject\")",
              "(value \"plan\")"}},
            {0xFF84,
             ByField(1, 8, "", ""),
             "By Field",
             {"(record-type ByDate)", "(flags ByDate)", "(operator InTheLast)"},
             "field-name"},
            {0xFF84, ByField(1, 8, "", ""), "By Field", {"(operator InTheLast)"}, "(value"},
            // A value without a field name starts at 48.
            {0xFF85,
             ByField(2, 12, "", "Ann"),
             "By Field",
             {"(record-type ByAuthor)", "(flags ByAuthor)", "(operator DoesNotContain)",
              "(value \"Ann\")"},
             "field-name"},
            // An operator past the table is its number.
            {0xFF83, ByField(0, 13, "", ""), "", {"(operator 13)"}},
            {0xFF86,
             formula,
             "Formula",
             {"(record-type ByFormula)", "(flags PlainText)",
              "(formula-len " + std::to_string(formula.Size() - 6) + ")", "(formula {", "1", "2",
              "})"}},
            {0xFF88,
             RecordBody().u32(1).u16(7).text("Archive").u8(0xEE),
             "By Folder",
             {"(record-type ByFolder)", "(flags Private)", "(folder-name \"Archive\")",
              "(remaining-data", "EE"}},
            {0xFF89,
             UsesForm().u8(0xEE),
             "Uses Form",
             {"(record-type UsesForm)", "(flags 0x10)", "(forms", "\"Memo\"", "\"Report\"",
              "(remaining-data", "EE"}},
            {0xFF8A,
             Topic(),
             "Topic",
             {"(record-type Topic)", "(flags 0x3)", "(topic-query \"plans\")", "(data", "DE AD"}},
        });

    // A length that runs past the record shows what is there and says so.
    RecordBody longer;
    longer.u32(0x24).u32(40).zeros(36).text("abc");
    const std::string past = DumpQuery(0xFF82, longer);
    EXPECT_TRUE(Has(past, "\"abc\"") && Has(past, "*** Length is too short")) << past;
}

TEST(QueryRecords, ByFormReadsEachAssistFieldAtTheStoredSize) {
    // The first assist field says it is 30 bytes, more than its parts: the second starts there.
    const RecordBody form =
        ByForm(0x2, {Assist(1, "Status", "Done", 30), Assist(3, "Owner", "")}, "Task");
    CInfoPaneOptions spare;
    spare.ShowSpareBytes = 1;
    const std::string dump = DumpQuery(0xFF87, form, &spare);
    ExpectInOrder(dump,
                  {"(record-type ByForm)", "(flags 0x2)", "(assist-field", "(operator Replace)",
                   "(value-data-type Text)", "(spare", "A1 A2", "(field-name \"Status\")",
                   "(value \"Done\")", "(assist-field", "(operator Remove)",
                   "(field-name \"Owner\")", "(value \"\")", "(form-name \"Task\")"});
    EXPECT_FALSE(Has(dump, "remaining-data")) << dump;
    EXPECT_EQ(LabelOf(0xFF87, form), "By Form");

    // A stored size of 0 does not move on: the count shows the same field again.
    const std::string again =
        DumpQuery(0xFF87, ByForm(0, {Assist(2, "A", "B", 0), RecordBody()}, ""));
    const std::size_t first = again.find("(operator Append)");
    ASSERT_NE(first, std::string::npos) << again;
    EXPECT_NE(again.find("(operator Append)", first + 1), std::string::npos) << again;

    // A count beyond the record, or a size past its end, stops the body and says so.
    RecordBody more;
    more.u32(0).u16(5).u16(0).bytes(Assist(1, "X", "Y").Bytes());
    const std::string counted = DumpQuery(0xFF87, more);
    EXPECT_TRUE(Has(counted, "(field-name \"X\")")) << counted;
    EXPECT_TRUE(Has(counted, "*** Length is too short")) << counted;
    EXPECT_FALSE(Has(counted, "form-name")) << counted;
    RecordBody oversized = Assist(1, "X", "Y");
    RecordBody big;
    big.u32(0).u16(1).u16(1).u16(900).bytes(
        RecordBytes(oversized.Bytes().begin() + 2, oversized.Bytes().end()));
    const std::string sized = DumpQuery(0xFF87, big.text("F"));
    EXPECT_TRUE(Has(sized, "*** Length is too short")) << sized;
    EXPECT_FALSE(Has(sized, "form-name")) << sized;
}

TEST(QueryRecords, FamilyNamesImagesAndHelp) {
    CNodeDocument doc;
    const RecordBytes stream = RecordEncoder(kQuery)
                                   .Add(0x81, RecordBody().u32(0))
                                   .Add(0xFF82, TextTerm({}))
                                   .Add(0xFF83, ByField(0, 1, "", ""))
                                   .Add(0xFF86, Formula(0, "1"))
                                   .Add(0xFF87, ByForm(0, {}, ""))
                                   .Add(0xFF88, RecordBody().u32(0).u16(0))
                                   .Add(0xFF89, UsesForm())
                                   .Add(0xFF8A, Topic())
                                   .Add(0xFF8B, RecordBody().u16(1))
                                   .Stream();
    CNoteNode parent(&doc);
    ASSERT_EQ(AddRecordNodes(parent, *MakeRecordFactory(kQuery), stream.data(), stream.size()), 0);
    const std::uint16_t images[] = {8, 1, 2, 5, 6, 7, 6, 0, 0};
    std::size_t i = 0;
    TNCdRecord* last = nullptr;
    for (CTreeListNode* n = parent.GetFirstChild(); n; n = n->GetNextSibling(), ++i) {
        auto* r = static_cast<TNCdRecord*>(n);
        ASSERT_LT(i, std::size(images));
        ASSERT_TRUE(r->GetImage());
        EXPECT_EQ(r->GetImage()->strip, images[i]) << r->GetLabel();
        EXPECT_EQ(r->GetHelpContext(), 0xD0000u + r->Signature());
        last = r;
    }
    ASSERT_EQ(i, std::size(images));
    // A signature without a kind: the generic record, named from the table if it can be.
    EXPECT_EQ(last->GetLabel(), "Record type 65419");
    EXPECT_TRUE(Has(Dump(*last), "(remaining-data")) << Dump(*last);
}

TEST(QueryRecords, ShorterThanTheFixedPartSaysItsLeastLength) {
    const struct {
        std::uint16_t signature;
        std::uint32_t fixed;
    } kinds[] = {{0x81, 6},    {0xFF82, 48}, {0xFF83, 48}, {0xFF84, 48}, {0xFF85, 48},
                 {0xFF86, 10}, {0xFF87, 12}, {0xFF88, 10}, {0xFF89, 8},  {0xFF8A, 12}};
    for (const auto& k : kinds) {
        const std::size_t header = k.signature > 0xFF ? 4 : 2;
        const std::string shorter =
            DumpQuery(k.signature, RecordBody().zeros(k.fixed - 1 - header));
        EXPECT_TRUE(Has(shorter, "should be at least " + std::to_string(k.fixed) + ")")) << shorter;
        const std::string whole = DumpQuery(k.signature, RecordBody().zeros(k.fixed - header));
        EXPECT_FALSE(Has(whole, "should be at least")) << whole;
    }
}

TEST(QueryRecords, EveryCutSaysShort) {
    RecordEncoder e(kQuery);
    e.Add(0x81, RecordBody().u32(1));
    e.Add(0xFF82, TextTerm({"budget", "plan"}));
    e.Add(0xFF83, ByField(0, 7, "Subject", "plan"));
    e.Add(0xFF84, ByField(1, 4, "Due", ""));
    e.Add(0xFF85, ByField(2, 6, "", "Ann"));
    e.Add(0xFF86, Formula(0, "1 + 2"));
    e.Add(0xFF87, ByForm(0, {Assist(1, "Status", "Done", 28), Assist(2, "Owner", "Bo")}, "Task"));
    e.Add(0xFF88, RecordBody().u32(1).u16(7).text("Archive"));
    e.Add(0xFF89, UsesForm());
    e.Add(0xFF8A, Topic());
    const RecordBytes stream = e.Stream();
    ExpectEveryCutSaysShort("query", stream, kQuery, {kQuery});
}

} // namespace
