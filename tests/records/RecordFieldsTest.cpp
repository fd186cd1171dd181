#include <gtest/gtest.h>

#include "RecordCases.h"
#include "output/OutputStrings.h"
#include "records/FieldRecords.h"
#include "records/TextExcerpt.h"
#include "tree/CancelProbe.h"
#include "tree/NodeDocument.h"
#include "tree/NodeTypes.h"

namespace {

std::string Label(const RecordEncoder& e, std::uint16_t kind = 1) {
    WalkedStream w = Walk(e.Stream(), kind);
    auto r = w.Records();
    return r.size() == 1 ? std::string(r[0]->GetLabel()) : "?";
}

RecordBody PabWithTabs(std::uint16_t count, std::uint32_t types) {
    RecordBody b;
    b.u16(9).u16(1).u16(0).u16(0).u16(0).u16(0).u16(0).u16(0).u16(count);
    for (int i = 0; i < 20; ++i)
        b.i16(std::int16_t(100 * (i + 1)));
    return b.u16(0).u32(types).zeros(2);
}

TEST(TextRecord, LabelKeepsOrCutsTheText) {
    const std::string s47(47, 'x'), s48(48, 'y');
    EXPECT_EQ(Label(RecordEncoder(1).Add(0xFF85, RecordBody().u32(0).text(s47))), '"' + s47 + '"');
    EXPECT_EQ(Label(RecordEncoder(1).Add(0xFF85, RecordBody().u32(0).text(s48))),
              '"' + std::string(46, 'y') + "...");
    EXPECT_EQ(Label(RecordEncoder(1).Add(0xFF85, RecordBody().u32(0))), "");
    // Characters, not bytes: 47 two-byte characters keep both quotes.
    std::string wide;
    for (int i = 0; i < 47; ++i)
        wide += "\xC3\xA9";
    EXPECT_EQ(TextExcerpt(wide.data(), wide.size()).back(), '"');
}

RecordBody FieldWith(std::uint16_t valueLength, const RecordBody& values) {
    RecordBody b;
    b.u16(0x0002).u16(0x0300).u16(0x0001).zeros(8).u32(0).u16(0).u16(0).u16(0).u16(0);
    b.u16(4).u16(0).u16(valueLength).text("Size");
    return b.bytes(values.Bytes());
}

RecordBody Style(std::uint32_t flags) {
    return RecordBody().u32(flags).u16(3).text("Quote", 36).u32(0x0A000000);
}

TEST(FieldRecords, TabsStylesAndFieldValues) {
    ExpectRecords(
        1, {
               {0xFF82, PabWithTabs(0, 0x39), "", {}, "(tab"},
               {0xFF82,
                PabWithTabs(3, 0xE4),
                "",
                {"(tabs 100 200 300 )", "(tab-types Left Right Decimal )"}},
               // Only 16 types fit in the stored word; a count past 20 is not believed.
               {0xFF82,
                PabWithTabs(25, 0xFFFFFFFF),
                "",
                {"2000 )", "25 tabs stored, room for 20"},
                "2100"},
               // A style's font is there only with its flag.
               {0xA6, Style(0x4), "", {"(flags Permanent)", "(remaining-data"}, "font-id"},
               {0xA6, Style(0x1), "Style Name: Quote", {"(font-id "}},
               {0xFF8A,
                FieldWith(1, RecordBody().u16(0).bytes(RecordBody::Formula("1 + 2"))),
                "",
                {"(type Number)", "Editable", "(value-formula {"}},
               // The byte after the list is remaining data.
               {0xFF8A,
                FieldWith(1, RecordBody().u16(2).u16(1).u16(3).text("S").text("XXL").u8(0xEE)),
                "",
                {"(value \"S\")", "(value \"XXL\")", "(remaining-data", "EE"}},
               // Without the text value length the list is not read; the bytes remain.
               {0xFF8A,
                FieldWith(0, RecordBody().u16(1).u16(1).text("S")),
                "Size",
                {"(remaining-data"},
                "(value"},
               // A count whose lengths are not all there stops the field; nothing past the record
               // is read.
               {0xFF8A,
                FieldWith(1, RecordBody().u16(500).u16(1)),
                "",
                {"(remaining-data"},
                "value-list"},
           });
}

TEST(FieldRecord, ComputeComment) {
    const struct {
        std::uint16_t flags;
        const char* comment;
    } cases[] = {
        {0x0008, "Computed when Composed"}, {0x0108, "Computed"}, {0x0100, "Computed for Display"},
        {0x0000, "Computed when Composed"}, {0x010A, "Editable"}, {0x0002, "Editable"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(OutputString(FieldComputeComment(c.flags)), c.comment) << c.flags;
}

TEST(RecordFrame, ShortRecordsSayTheirLeastLength) {
    // A Pab Definition whose length stops inside line-spacing: the fields that fit, the
    // comment, and the partial field's byte as remaining data.
    const std::string pab =
        DumpOne(RecordEncoder(1).Word(0xFF82, RecordBody().u16(5).u16(1).u8(0xAB), 9));
    EXPECT_TRUE(Has(pab, "should be at least 70")) << pab;
    EXPECT_TRUE(Has(pab, "(justify-mode Right)")) << pab;
    EXPECT_FALSE(Has(pab, "line-spacing")) << pab;
    EXPECT_TRUE(Has(pab, "AB")) << pab;

    // A font table that claims more fonts than it holds.
    const std::string fonts = DumpOne(
        RecordEncoder(1).Add(0xFF8B, RecordBody().u16(3).u8(1).u8(2).text("Mono", 32).u8(7)));
    EXPECT_EQ(fonts.find("(font "), fonts.rfind("(font ")) << fonts; // exactly one entry
    EXPECT_TRUE(Has(fonts, "; *** Length is too short\n")) << fonts;
    EXPECT_TRUE(Has(fonts, "remaining-data")) << fonts;

    // A record that runs past the stream: comment, and only the bytes that are there, in a
    // text that says it is cut.
    RecordEncoder past(1);
    past.Word(0xFF85, RecordBody().u32(0).text("abcd"), 400);
    const std::string text = DumpOne(past);
    EXPECT_TRUE(Has(text, "(length 400)    ; *** Length is too short: the stream ends after 12 "
                          "of its bytes\n"))
        << text;
    EXPECT_TRUE(Has(text, "(text \"abcd\"))    ; *** Length is too short\n")) << text;
}

TEST(RecordFrame, GenericLabelsFollowTheSymbolsSwitch) {
    CNodeDocument doc;
    const RecordBytes stream =
        RecordEncoder(1).Word(0xFF87, RecordBody().u16(1)).Word(0xFF83, RecordBody()).Stream();
    auto factory = MakeRecordFactory(1);
    CNoteNode parent(&doc);
    doc.InfoOptions().ShowSymbols = 0;
    ASSERT_EQ(AddRecordNodes(parent, *factory, stream.data(), stream.size()), 0);
    auto* metafile = static_cast<TNCdRecord*>(parent.GetFirstChild());
    auto* unknown = static_cast<TNCdRecord*>(metafile->GetNextSibling());
    EXPECT_EQ(metafile->GetLabel(), "0xff87");
    doc.InfoOptions().ShowSymbols = 1;
    metafile->OnOptionsChanged(0x1);
    EXPECT_EQ(metafile->GetLabel(), "0xff87");
    metafile->OnOptionsChanged(0x2);
    EXPECT_EQ(metafile->GetLabel(), "Metafile");
    unknown->OnOptionsChanged(0x2);
    EXPECT_EQ(unknown->GetLabel(), "Record type 65411");
    // The whole body of a generic record is remaining data.
    EXPECT_TRUE(Has(Dump(*metafile), "01 00")) << Dump(*metafile);
    EXPECT_EQ(metafile->GetHelpContext(), 0xB0000u + 0xFF87);
}

TEST(RecordFactory, KindsChooseClassesFamiliesAndHelp) {
    const RecordBytes hide = RecordEncoder(1).Add(0xFFBB, RecordBody().u16(4).zeros(8)).Stream();
    {
        WalkedStream w = Walk(hide, 1);
        EXPECT_EQ(w.Records().at(0)->GetLabel(), "Pab Hide 4");
    }
    {
        // In a navigator drawing stream 0xFFBB is a text box (its name length, the u16 at 22,
        // lies past these bytes).
        WalkedStream w = Walk(hide, 19);
        EXPECT_EQ(w.Records().at(0)->GetLabel(), "Text Box");
        EXPECT_EQ(w.Records().at(0)->GetHelpContext(), 0xC0000u + 0xFFBB);
    }
    {
        // Rich-text classes of every kind keep their class in navigator streams.
        WalkedStream w = Walk(RecordEncoder(19).Add(0x81, RecordBody()).Stream(), 19);
        EXPECT_EQ(w.Records().at(0)->GetLabel(), "Paragraph");
        EXPECT_EQ(w.Records().at(0)->GetHelpContext(), 0xB0000u + 0x81);
    }
    {
        // The dataset record has the dataset family's help; other signatures the plain
        // record's, that of the CD Records type.
        WalkedStream w = Walk(
            RecordEncoder(18).Word(0xFF57, RecordBody()).Word(0xFF58, RecordBody()).Stream(), 18);
        EXPECT_EQ(w.Records().at(0)->GetHelpContext(), 0xF0000u + 0xFF57);
        EXPECT_EQ(w.Records().at(1)->GetHelpContext(), TypeHelpContext(40));
    }
    EXPECT_EQ(MakeRecordFactory(2), nullptr);
}

TEST(RecordFactory, HiddenRecordsGiveOnePlaceholder) {
    const RecordBytes stream =
        RecordEncoder(1).Add(0x81, RecordBody()).Add(0x81, RecordBody()).Stream();
    for (bool placeholders : {true, false}) {
        CNodeDocument doc;
        CTypeSet shown = CTypeSet::All();
        shown.Remove(40);
        doc.SetPlaceholdersWanted(placeholders);
        doc.SetShownSet(shown);
        CNoteNode parent(&doc);
        auto factory = MakeRecordFactory(1);
        CPlaceholderPass pass;
        AddRecordNodes(parent, *factory, stream.data(), stream.size());
        EXPECT_EQ(parent.ChildCount(), placeholders ? 1u : 0u);
    }
}

} // namespace

namespace {

// A record that carries an embedded action stream after its header, as hotspots do; a stream
// that is not inside the record is not taken.
class WithActions : public TNCdRecord {
public:
    WithActions(const RecordSpan& span, const std::uint8_t* actions, std::size_t length)
        : TNCdRecord(span, nullptr) {
        SetSubStream(actions, length);
    }
};

TEST(RecordFrame, EmbeddedActionsBecomeChildren) {
    const RecordBytes actions =
        RecordEncoder(16).Word(0xFFB6, RecordBody().u16(1)).Byte(0x12, RecordBody()).Stream();
    const RecordBytes outer = RecordEncoder(1).Word(0xFFA9, RecordBody().bytes(actions)).Stream();
    const auto length = static_cast<std::uint32_t>(outer.size() - 2);
    RecordSpan span{outer.data() + 2, 0xFFA9, length, length, 4, false};
    WithActions node(span, outer.data() + 6, actions.size());
    EXPECT_TRUE(node.IsExpandable());
    EXPECT_FALSE(WithActions(span, actions.data(), actions.size()).IsExpandable());
    EXPECT_FALSE(WithActions(span, outer.data() + 6, actions.size() + 1).IsExpandable());
    // Embedded actions are few and walked whole: a pending cancel does not cut them.
    CScopedCancelProbe cancelled([](void*) { return true; }, nullptr);
    node.AddChildren();
    ASSERT_EQ(node.ChildCount(), 2u);
    auto* first = static_cast<TNCdRecord*>(node.GetFirstChild());
    EXPECT_EQ(first->Signature(), 0xFFB6);
    EXPECT_EQ(first->GetHelpContext(), 0xE0000u + 0xFFB6);
    EXPECT_EQ(static_cast<TNCdRecord*>(first->GetNextSibling())->Signature(), 0x12);

    TNCdRecord plain(span, nullptr);
    EXPECT_FALSE(plain.IsExpandable());
}

} // namespace
