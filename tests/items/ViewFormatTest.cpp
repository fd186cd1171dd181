// View formats, collations and object descriptors on crafted values.
#include "ItemTestSupport.h"
#include "items/ValueDecoders.h"

namespace {

using namespace itemenc;

using FieldsDecoder = std::size_t (*)(CFieldWriter&, const std::uint8_t*, std::size_t);

std::string Decode(FieldsDecoder decode, const Bytes& value, std::size_t* used = nullptr,
                   CInfoPaneOptions* options = nullptr) {
    const ExactBytes bytes(value.data(), value.size());
    return DumpOf(
        [&](CFieldWriter& w) {
            const std::size_t u = decode(w, bytes.data(), bytes.size());
            if (used)
                *used = u;
        },
        options);
}

ViewFormat TwoColumns() {
    ViewFormat v;
    ViewColumn a;
    a.itemName = "Subject";
    a.title = "Topic";
    a.flags2 = 0x2 | (0x3 << 2) | (0x1 << 6) | 0x100;
    a.listSep = 0x4 | 0x3000;
    ViewColumn b;
    b.signature = 0x4357;
    b.constant = "n/a";
    b.width = 120;
    b.dataType = 1;
    v.columns = {a, b};
    ViewColumn2 c1, c2;
    c1.resortView = UnidFrom(0x20);
    c2.secondColumn = 1;
    v.columns2 = {c1, c2};
    return v;
}

TEST(ViewFormat, ColumnsAndSecondTable) {
    const ViewFormat v = TwoColumns();
    const Bytes value = Sink().bytes(Encode(v)).u8(0x99).get();
    std::size_t used = 0;
    const std::string out = Decode(WriteViewFormatFields, value, &used);
    EXPECT_EQ(used, value.size() - 1);
    EXPECT_TRUE(InOrder(out, {"(format-version 1)",
                              "(view-style Table)",
                              "(columns 2)",
                              "(item-sequence-number 7)",
                              "(flags GotoTopOnOpen)",
                              "(spare2 0x0000)",
                              "(column-formats",
                              "(column",
                              "column #1",
                              "(signature ViewColumnFormatSignature)",
                              "(flags1 Sort)",
                              "(item-name \"Subject\")",
                              "(title \"Topic\")",
                              "(formula {})",
                              "(constant-value \"\")",
                              "(display-width 80)",
                              "1/8 chars",
                              "(font-id",
                              "(flags2 AlignCenter PctOverall HeaderAlignRight SortPermute)",
                              "(number-format",
                              "(time-format",
                              "(format-data-type Text)",
                              "(list-sep Semicolon DisplaySemicolon)",
                              "column #2",
                              "(signature ViewColumnFormatSignature2)",
                              "(constant-value \"n/a\")",
                              "(display-width 120)",
                              "(format-data-type TimeDate)",
                              "(table-format-2",
                              "(background-color",
                              "(v2-border-color Red)",
                              "(title-font",
                              "(unread-font",
                              "(totals-font",
                              "(auto-update-seconds 30)",
                              "(alternate-background-color Green)",
                              "(wsig ValidViewFormatSig)",
                              "(line-count 2)",
                              "(spacing OnePoint25)",
                              "(background-color-ext Magenta)",
                              "(header-line-count 1)",
                              "(spare-byte 0x00)",
                              "(column-formats2",
                              "column #1",
                              "(header-fontid",
                              "(resort-to-view-unid",
                              "(file 27262524:23222120)",
                              "(second-resort-column-index 0)",
                              "zero-based",
                              "column #2",
                              "(second-resort-column-index 1)"}));
}

TEST(ViewFormat, EmptyTextsFollowTheSwitch) {
    ViewFormat v = TwoColumns();
    v.columns.resize(1);
    v.columns2.resize(1);
    CInfoPaneOptions hide;
    hide.ShowEmptyStrings = 0;
    const std::string shown = Decode(WriteViewFormatFields, Encode(v));
    const std::string hidden = Decode(WriteViewFormatFields, Encode(v), nullptr, &hide);
    EXPECT_NE(shown.find("(formula {})"), std::string::npos);
    EXPECT_EQ(hidden.find("(formula"), std::string::npos) << hidden;
    EXPECT_EQ(hidden.find("(constant-value"), std::string::npos) << hidden;
    EXPECT_NE(hidden.find("(item-name \"Subject\")"), std::string::npos) << hidden;
}

TEST(ViewFormat, WithoutSignatureNoSecondColumns) {
    ViewFormat v = TwoColumns();
    v.extended = false;
    CInfoPaneOptions spare;
    spare.ShowSpareBytes = 1;
    std::size_t used = 0;
    const Bytes value = Encode(v);
    const std::string out = Decode(WriteViewFormatFields, value, &used, &spare);
    EXPECT_EQ(used, value.size());
    EXPECT_TRUE(InOrder(out, {"(auto-update-seconds 30)", "(spare", "; 000", "; 001"})) << out;
    EXPECT_EQ(out.find("alternate-background-color"), std::string::npos);
    EXPECT_EQ(out.find("column-formats2"), std::string::npos);
}

TEST(ViewFormat, VersionAndStyleRefused) {
    struct Case {
        std::uint8_t version, style;
        std::size_t used;
        const char* text;
    } cases[] = {
        {2, 0, 0, "; *** Unrecognized view format version"},
        {1, 0x11, 2, "(view-style Table Day Week)    ; *** Unrecognized view style"},
        {1, 0x12, 0, "(view-style Table Day Month)"},
    };
    for (const Case& c : cases) {
        ViewFormat v = TwoColumns();
        v.version = c.version;
        v.style = c.style;
        std::size_t used = 0;
        const Bytes value = Encode(v);
        const std::string out = Decode(WriteViewFormatFields, value, &used);
        EXPECT_NE(out.find(c.text), std::string::npos) << out;
        EXPECT_EQ(used, c.used ? c.used : (c.version == 1 ? value.size() : 0));
    }
}

TEST(ViewFormat, ColumnCountPastTheEnd) {
    Bytes value = Encode(TwoColumns());
    value[2] = 200; // columns
    std::size_t used = 99;
    const std::string out = Decode(WriteViewFormatFields, value, &used);
    EXPECT_NE(out.find(kShort), std::string::npos);
    EXPECT_EQ(used, 10u);
}

TEST(Collation, KeysAndNames) {
    const Bytes value = Collation(
        0x1, {{0x2 | 0x4, 0x66, 3, "Subject"}, {0x1, 0x66, 0, ""}, {0x8, 0x66, 7, "Cat"}});
    std::size_t used = 0;
    const std::string out = Decode(WriteCollationFields, value, &used);
    EXPECT_EQ(used, value.size());
    EXPECT_TRUE(
        InOrder(out, {"(collation", "(items 3)", "(flags Unique)", "(signature CollationSignature)",
                      "(collation-descriptor", "(flags CaseInsensitive AccentInsensitive)",
                      "(signature CollateDescriptorSignature)", "(key-type Key NoteID)",
                      "(name \"Subject\")", "(collation-descriptor", "(flags Descending)",
                      "(key-type Key))", "(collation-descriptor", "(flags Permuted)",
                      "(key-type Key NoteID Tumbler Category)", "(name \"Cat\")"}))
        << out;
    EXPECT_EQ(Count(out, "(name"), 2);
}

TEST(Collation, NameOutsideTheValue) {
    Bytes value = Collation(0, {{0, 0x66, 0, "Subject"}});
    value[6 + 3] = 0xF0; // name offset far past the end
    std::size_t used = 0;
    const std::string out = Decode(WriteCollationFields, value, &used);
    EXPECT_NE(out.find(kShort), std::string::npos);
    EXPECT_EQ(out.find("(name"), std::string::npos);
    EXPECT_EQ(used, 13u);
}

TEST(ObjectDescriptor, FilesWithHostExtensions) {
    ObjectDescriptor mac;
    mac.typeAndFlags = 0x4000;
    mac.host = 0x200;
    mac.compression = 1;
    mac.attributes = 0x3;
    mac.fileFlags = 0x1;
    store::CurrentTime(&mac.created);
    mac.hostExtension = Sink().text("CRTRTYPE").u32(11).u32(22).u16(1).u32(0x5A).get();
    std::size_t used = 0;
    Bytes value = Encode(mac);
    std::string out = Decode(WriteObjectDescriptorFields, value, &used);
    EXPECT_EQ(used, value.size());
    EXPECT_TRUE(InOrder(out, {"(object-descriptor",
                              "(rrv 0x1001)",
                              "(type File 0x4000)",
                              "(flags Preserve)",
                              "(file",
                              "(file-name \"report.txt\")",
                              "(host-type Mac)",
                              "(compression-type Huffman)",
                              "(attributes ReadOnly Private)",
                              "(flags Sign)",
                              "(size 10000)",
                              "(created",
                              StoreTimeText(mac.created),
                              "(modified",
                              "(mac-ext",
                              "(file-creator \"CRTR\")",
                              "(file-type \"TYPE\")",
                              "(resources-start 11)",
                              "(resources-len 22)",
                              "(compression-type Huffman)",
                              "(spare 0x0000005A)"}))
        << out;

    ObjectDescriptor hpfs;
    hpfs.host = 0x400;
    hpfs.hostExtension = Sink().u32(5).u32(6).u32(7).get();
    value = Encode(hpfs);
    out = Decode(WriteObjectDescriptorFields, value, &used);
    EXPECT_EQ(used, value.size());
    EXPECT_TRUE(InOrder(
        out, {"(host-type HPFS)", "(hpfs-ext", "(ea-start 5)", "(ea-len 6)", "(spare 0x00000007)"}))
        << out;

    ObjectDescriptor other;
    other.typeAndFlags = 0x8000 | 3;
    value = Sink().bytes(Encode(other)).fill(30, 0xFF).get();
    out = Decode(WriteObjectDescriptorFields, value, &used);
    EXPECT_EQ(used, 6u);
    EXPECT_TRUE(InOrder(out, {"(type FilterLeftToDo 0x8000)", "(flags NoCopy 0x3)"})) << out;
    EXPECT_EQ(out.find("(file"), std::string::npos);
}

TEST(ObjectDescriptor, NameOrExtensionPastTheEnd) {
    ObjectDescriptor mac;
    mac.host = 0x200;
    Bytes value = Encode(mac); // no extension at all
    std::size_t used = 0;
    std::string out = Decode(WriteObjectDescriptorFields, value, &used);
    EXPECT_NE(out.find(kShort), std::string::npos);
    EXPECT_EQ(used, value.size());
    value.resize(40); // the name cut short
    out = Decode(WriteObjectDescriptorFields, value, &used);
    EXPECT_NE(out.find(kShort), std::string::npos);
    EXPECT_EQ(out.find("file-name"), std::string::npos);
    EXPECT_EQ(used, 6u);
}

} // namespace
