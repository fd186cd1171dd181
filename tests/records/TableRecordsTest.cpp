// Rich-text structure records: tables, hotspots with their embedded actions, section bars,
// buttons, DDE and OLE objects, layouts, storage links, form actions, automatic launch.
#include <gtest/gtest.h>

#include <string>

#include "EveryCut.h"
#include "ExpectInOrder.h"
#include "RecordTestSupport.h"
#include "ShownRecord.h"

namespace {

OneShown Show(std::uint16_t signature, const RecordBody& body) {
    return ShowOne(1, signature, body);
}

TEST(TableRecords, TableBeginCellAndEnd) {
    const OneShown begin =
        Show(0xA3, RecordBody().u16(1440).u16(10).u16(20).u16(30).u16(40).u16(0x5));
    EXPECT_EQ(begin.label, "Table Begin");
    ExpectInOrder(begin.dump, {"(record-type TableBegin)", "(length 14)", "(left-margin 1440",
                               "twips", "(horiz-inter-cell-space 10", "(vert-inter-cell-space 20",
                               "(v4-horiz-inter-cell-space 30", "(v4-vert-inter-cell-space 40",
                               "(flags AutoCellWidth 3dBordersEmboss)"});
    EXPECT_FALSE(Has(begin.dump, "remaining-data")) << begin.dump;

    // Border 0x96: left double, right single, top single, bottom double.
    RecordBody cell;
    cell.u8(2).u8(3).u16(100).u16(200).u16(5000).u8(0x96).u8(0x3).u16(0x4321).u8(1).u8(4).u16(2);
    const OneShown shown = Show(0xA4, cell);
    EXPECT_EQ(shown.label, "Table Cell (2, 3)");
    ExpectInOrder(shown.dump, {"(record-type TableCell)", "(row 2)", "(column 3)",
                               "(left-margin 100", "(right-margin 200", "(fractional-width 5000)",
                               "(border LeftDouble RightSingle TopSingle BottomDouble)",
                               "(flags UseBkgColor UseV42Borders)", "(v42-border 1 2 3 4)",
                               "Left Right Top Bottom", "(row-span 1)", "(column-span 4)",
                               "(background-color Red)"});
    EXPECT_FALSE(Has(shown.dump, "remaining-data")) << shown.dump;

    const OneShown end = Show(0xA5, RecordBody().u16(0).u16(0));
    EXPECT_EQ(end.label, "Table End");
    ExpectInOrder(end.dump, {"(record-type TableEnd)", "(length 6)"});
    EXPECT_FALSE(Has(end.dump, "spare-word")) << end.dump; // spare bytes are hidden by default
}

RecordBody Hotspot(std::uint16_t type, std::uint32_t flags, const RecordBytes& data) {
    return RecordBody().u16(type).u32(flags).u16(std::uint16_t(data.size())).bytes(data);
}

RecordBytes Bytes(std::string_view s) {
    return RecordBytes(s.begin(), s.end());
}

TEST(TableRecords, HotspotDataIsATextOrAFormulaByTypeAndFlags) {
    const RecordBytes formula = RecordBody::Formula("1");
    ASSERT_FALSE(formula.empty());
    // A pop-up with no flags: a formula in the older record, a text in the v4 one.
    const OneShown old = Show(0xFFA9, Hotspot(1, 0, formula));
    EXPECT_EQ(old.label, "Hotspot Begin");
    ExpectInOrder(old.dump,
                  {"(record-type HotspotBegin)", "(type PopUp)", "(flags 0", "(formula {"});
    const OneShown v4 = Show(0xFFAD, Hotspot(1, 0, Bytes("tip")));
    EXPECT_EQ(v4.label, "V4 Hotspot Begin");
    ExpectInOrder(v4.dump, {"(record-type V4HotspotBegin)", "(type PopUp)", "(text \"tip\")"});

    // File is a text whatever the flags; Script a text; Formula a formula in both records.
    ExpectInOrder(Show(0xFFA9, Hotspot(4, 0x10, Bytes("a.txt"))).dump,
                  {"(type File)", "(flags Formula)", "(text \"a.txt\")"});
    ExpectInOrder(Show(0xFFA9, Hotspot(3, 0x100, Bytes("run"))).dump,
                  {"(type Button)", "(flags Script)", "(text \"run\")"});
    ExpectInOrder(Show(0xFFAD, Hotspot(11, 0x10, formula)).dump,
                  {"(type Hotlink)", "(flags Formula)", "(formula {"});
    // An active object shows no data: its bytes are remaining data.
    const OneShown active = Show(0xFFA9, Hotspot(15, 0, Bytes("zz")));
    EXPECT_FALSE(Has(active.dump, "(text")) << active.dump;
    ExpectInOrder(active.dump, {"(type ActiveObject)", "(remaining-data"});

    // Formula and Signed: the formula, then the signature of the length after it.
    RecordBody signedBody = Hotspot(2, 0x10010, formula);
    signedBody.u16(3).u8(0xA1).u8(0xB2).u8(0xC3);
    const OneShown withSig = Show(0xFFA9, signedBody);
    ExpectInOrder(withSig.dump, {"(type HotRegion)", "(flags Formula Signed)", "(formula {",
                                 "(sig-data", "A1 B2 C3"});
    EXPECT_FALSE(Has(withSig.dump, "remaining-data")) << withSig.dump;
}

TEST(TableRecords, HotspotActionsAreChildrenMadeByTheActionFactory) {
    const RecordBytes actions =
        RecordEncoder(16).Byte(0x88, RecordBody().u32(0)).Byte(0x8A, RecordBody().u32(0)).Stream();
    // The data length says 0: with actions the whole rest of the record is theirs.
    const RecordBytes stream =
        RecordEncoder(1).Add(0xFFA9, RecordBody().u16(3).u32(0x80).u16(0).bytes(actions)).Stream();
    WalkedStream w = Walk(stream);
    ASSERT_EQ(w.Records().size(), 1u);
    TNCdRecord& hotspot = *w.Records()[0];
    EXPECT_TRUE(hotspot.IsExpandable());
    const std::string dump = Dump(hotspot);
    ExpectInOrder(dump, {"(type Button)", "(flags Action)", "Actions are displayed in children"});
    EXPECT_FALSE(Has(dump, "remaining-data")) << dump;
    EXPECT_FALSE(Has(dump, "(formula")) << dump;

    hotspot.AddChildren();
    ASSERT_EQ(hotspot.ChildCount(), 2u);
    auto* first = static_cast<TNCdRecord*>(hotspot.GetFirstChild());
    auto* second = static_cast<TNCdRecord*>(first->GetNextSibling());
    EXPECT_EQ(first->GetLabel(), "Delete");
    EXPECT_EQ(first->GetHelpContext(), 0xE0000u + 0x88);
    EXPECT_EQ(second->GetLabel(), "Mark Read");
    EXPECT_EQ(hotspot.GetHelpContext(), 0xB0000u + 0xFFA9);

    // Without the Action flag the same bytes are data, and nothing expands.
    const RecordBytes plain =
        RecordEncoder(1).Add(0xFFAD, RecordBody().u16(3).u32(0).u16(0).bytes(actions)).Stream();
    WalkedStream p = Walk(plain);
    EXPECT_FALSE(p.Records()[0]->IsExpandable());
    ExpectInOrder(Dump(*p.Records()[0]), {"(text \"\")", "(remaining-data"});

    const OneShown end = Show(0xAA, RecordBody());
    EXPECT_EQ(end.label, "Hotspot End");
    EXPECT_EQ(Show(0xAE, RecordBody()).label, "V4 Hotspot End");
}

TEST(TableRecords, BarColorMovesTheCaption) {
    const OneShown plain = Show(0xFFAC, RecordBody().u32(0x1).u32(0x0A000001).text("Part"));
    EXPECT_EQ(plain.label, "Bar");
    ExpectInOrder(plain.dump, {"(record-type Bar)", "(flags IsExpanded BorderShadow)",
                               "(font-id Swiss 10 pt Normal Black)", "(caption \"Part\")"});
    EXPECT_FALSE(Has(plain.dump, "(color")) << plain.dump;

    const OneShown colored =
        Show(0xFFAC, RecordBody().u32(0x24000000).u32(0x0A000001).u16(4).text("Two"));
    ExpectInOrder(colored.dump,
                  {"(flags HasColor BorderSingle)", "(color Blue)", "(caption \"Two\")"});

    const OneShown formula =
        Show(0xFFAC, RecordBody().u32(0x2000).u32(0).bytes(RecordBody::Formula("1")));
    ExpectInOrder(formula.dump, {"(flags IsFormula BorderShadow)", "(caption {"});
}

TEST(TableRecords, ButtonIsLabelledByItsText) {
    const OneShown b =
        Show(0xFFAB, RecordBody().u16(0x6).u16(720).u16(360).u16(1).u32(0x0A000001).text("Go on"));
    EXPECT_EQ(b.label, "Go on");
    ExpectInOrder(b.dump, {"(record-type Button)", "(flags IsDown IsEditable)", "(width 720",
                           "(height 360", "(lines 1)", "(font-id Swiss", "(text \"Go on\")"});
}

TEST(ObjectRecords, DdeAndOle) {
    RecordBody dde;
    dde.text("Server", 32)
        .text("Topic", 100)
        .text("Item", 64)
        .u32(0x5)
        .text("Doc", 80)
        .u16(2)
        .u16(3);
    const OneShown begin = Show(0xFFA1, dde);
    EXPECT_EQ(begin.label, "DDE Begin");
    ExpectInOrder(begin.dump, {"(record-type DDEBegin)", "(length 288)", "(server-name \"Server\")",
                               "(topic-name \"Topic\")", "(item-name \"Item\")",
                               "(flags AutoLink Embedded)", "(paste-embed-doc-name \"Doc\")",
                               "(embedded-doc-count 2)", "(clip-format Text Metafile Bitmap)"});
    EXPECT_FALSE(Has(begin.dump, "remaining-data")) << begin.dump;

    const OneShown ddeEnd = Show(0xFFA2, RecordBody().u32(0x12));
    EXPECT_EQ(ddeEnd.label, "DDE End");
    ExpectInOrder(ddeEnd.dump, {"(record-type DDEEnd)", "(flags 0x12)"});
    const OneShown oleEnd = Show(0xFFA8, RecordBody().u32(0));
    EXPECT_EQ(oleEnd.label, "OLE End");
    ExpectInOrder(oleEnd.dump, {"(record-type OleEnd)", "(flags 0)"});

    const OneShown ole = Show(
        0xFFA7,
        RecordBody().u16(2).u32(0x21).u16(8).u16(3).u16(4).u16(1).text("att").text("Word").text(
            "T"));
    EXPECT_EQ(ole.label, "OLE Begin");
    ExpectInOrder(ole.dump, {"(version 2)", "(flags Object Pasted)", "(clip-format Native)",
                             "(attach \"att\")", "(class \"Word\")", "(template \"T\")"});

    RecordBody info;
    info.u16(1).u16(2).u16(0).u16(1);
    info.u32(0x12345678).u16(0xABCD).u16(0x0102);
    for (int i = 0; i < 8; ++i)
        info.u8(std::uint8_t(0xC0 + i));
    info.u16(2).u16(3).u32(0x9).u16(0x0400).zeros(10).text("f").text("de").text("x");
    const OneShown obj = Show(0xFFC1, info);
    EXPECT_EQ(obj.label, "OLE Obj Info");
    ExpectInOrder(obj.dump,
                  {"(ole-obj-class", "(data1 0x12345678)", "(data2 0xABCD)", "(data3 0x0102)",
                   "(data4 0xC0 0xC1 0xC2 0xC3 0xC4 0xC5 0xC6 0xC7", "(storage-format Bento)",
                   "(display-format Text Metafile Bitmap)", "(flags Scripted FitToWindow)",
                   "(storage-format-appeared-in 0x0400)", "(file-obj \"f\")",
                   "(description \"de\")", "(field \"\")", "(text-index-obj \"x\")"});
    EXPECT_FALSE(Has(obj.dump, "remaining-data")) << obj.dump;
}

RecordBody ElementHeader() {
    return RecordBody().u16(10).u16(20).u16(300).u16(400).u32(0x0A000001).u8(2).zeros(7);
}

TEST(ObjectRecords, LayoutAndItsElements) {
    const OneShown layout =
        Show(0xB7, RecordBody().u16(5).u16(6000).u16(3000).u32(0x6).u16(8).zeros(14));
    EXPECT_EQ(layout.label, "Layout");
    ExpectInOrder(layout.dump, {"(record-type Layout)", "(left 5", "(width 6000", "(height 3000",
                                "(flags ShowGrid SnapToGrid)", "(grid-size 8)"});

    const OneShown text = Show(0xB8, ElementHeader().u32(0x30000000).zeros(16).text("Name:"));
    EXPECT_EQ(text.label, "Layout Text");
    ExpectInOrder(text.dump, {"(element-header", "(left 10", "(top 20", "(width 300", "(height 400",
                              "(font-id Swiss", "(back-color Red)", "(flags Trans Center)",
                              "(text \"Name:\")"});

    const OneShown fieldElement = Show(0xBA, ElementHeader().u32(0x40000021).u8(7).zeros(15));
    EXPECT_EQ(fieldElement.label, "Layout Field");
    ExpectInOrder(fieldElement.dump, {"(flags SingleLine Image Right)", "(field-type 0x7)"});

    const OneShown graphic = Show(0xC0, ElementHeader().u32(0x1).zeros(16));
    EXPECT_EQ(graphic.label, "Layout Graphic");
    ExpectInOrder(graphic.dump, {"(record-type LayoutGraphic)", "(flags Button)"});
    const OneShown button = Show(0xC2, ElementHeader().u32(0x1).zeros(16));
    EXPECT_EQ(button.label, "Layout Button");
    ExpectInOrder(button.dump, {"(record-type LayoutButton)", "(flags 0x1)"});
    const OneShown end = Show(0xB9, RecordBody().zeros(16));
    EXPECT_EQ(end.label, "Layout End");
    EXPECT_FALSE(Has(end.dump, "remaining-data")) << end.dump;
}

TEST(ObjectRecords, StorageLinkActionActionBarAndAutoLaunch) {
    RecordBody link;
    link.u16(1).u16(2).u16(0x3).u16(9).zeros(12).text("obj1");
    const OneShown object = Show(0xFFC4, link);
    EXPECT_EQ(object.label, "Storage Link");
    ExpectInOrder(object.dump, {"(storage-type Object)", "(load-type OnDemand)", "(flags 0x3)",
                                "(data-length 9)", "(object-name \"obj1\")"});
    ExpectInOrder(Show(0xFFC4, RecordBody().u16(4).u16(1).u16(0).u16(0).zeros(12).text("x:y")).dump,
                  {"(storage-type URLMime)", "(load-type Deferred)", "(url \"x:y\")"});
    // A note link's data is not decoded: it is remaining data.
    ExpectInOrder(
        Show(0xFFC4, RecordBody().u16(2).u16(1).u16(0).u16(2).zeros(12).u8(0xAB).u8(0xCD)).dump,
        {"(storage-type Note)", "(remaining-data", "AB CD"});

    // An odd title: one pad byte before the hide-when formula.
    const RecordBytes hide = RecordBody::Formula("1");
    RecordBody action;
    action.u16(0xEEEE).u16(3).u16(12).u32(0x41).u16(3).u16(std::uint16_t(hide.size())).zeros(4);
    action.text("Run").u8(0x77).bytes(hide);
    const OneShown a = Show(0xFFBE, action);
    EXPECT_EQ(a.label, "Run");
    ExpectInOrder(a.dump, {"(record-type Action)", "(type 0x3)", "(icon-index 12)", "(flags 0x41)",
                           "(formula-len", "(title \"Run\")", "(hide-when {"});
    EXPECT_FALSE(Has(a.dump, "remaining-data")) << a.dump;
    EXPECT_FALSE(Has(a.dump, "EEEE")) << a.dump;

    const OneShown bar =
        Show(0xBD, RecordBody().u16(1).u16(4).u16(2).u16(1).u16(3).u32(0x10).zeros(12));
    EXPECT_EQ(bar.label, "Action Bar");
    ExpectInOrder(bar.dump, {"(back-color White)", "(line-color Blue)", "(line-style 0x2)",
                             "(border-style 0x1)", "(border-width 3)", "(flags 0x10)"});

    RecordBody launch;
    launch.u32(0x3).u32(0x6).u32(0x1).u32(0x2).u32(0x4).zeros(8).u16(4);
    for (int i = 0; i < 16; ++i)
        launch.u8(std::uint8_t(i));
    launch.text("Body");
    const OneShown auto_ = Show(0xFFBF, launch);
    EXPECT_EQ(auto_.label, "Doc Auto Launch");
    ExpectInOrder(auto_.dump,
                  {"(object-type OleClass OleObj)", "(hide-when-flags OpenEdit OpenRead)",
                   "(launch-when-flags Create)", "(ole-flags ModalWindow)",
                   "(copy-to-field-flags Named)", "(ole-obj-class", "(data1 0x03020100)",
                   "(data2 0x0504)", "(data3 0x0706)",
                   "(data4 0x08 0x09 0x0A 0x0B 0x0C 0x0D 0x0E 0x0F", "(field-name \"Body\")"});
    ExpectInOrder(Show(0xFFBF, RecordBody().u32(0).zeros(46)).dump, {"(object-type None)"});
}

TEST(TableRecords, EveryCutOfEveryRecordSaysShort) {
    RecordEncoder e(1);
    const RecordBytes actions = RecordEncoder(16).Byte(0x88, RecordBody().u32(0)).Stream();
    e.Add(0xA3, RecordBody().u16(1440).u16(10).u16(20).u16(30).u16(40).u16(0x5));
    e.Add(0xA4, RecordBody()
                    .u8(2)
                    .u8(3)
                    .u16(100)
                    .u16(200)
                    .u16(50)
                    .u8(0x96)
                    .u8(3)
                    .u16(0x4321)
                    .u8(1)
                    .u8(4)
                    .u16(2));
    e.Add(0xA5, RecordBody().u16(0).u16(0));
    e.Add(0xFFA9, Hotspot(1, 0x10010, RecordBody::Formula("1")).u16(2).u8(1).u8(2));
    e.Add(0xFFAD, RecordBody().u16(3).u32(0x80).u16(0).bytes(actions));
    e.Add(0xFFAD, Hotspot(4, 0, Bytes("file")));
    e.Add(0xAA, RecordBody());
    e.Add(0xAE, RecordBody());
    e.Add(0xFFAC, RecordBody().u32(0x04000000).u32(0).u16(4).text("Cap"));
    e.Add(0xFFAB, RecordBody().u16(0x6).u16(720).u16(360).u16(1).u32(0).text("Go"));
    e.Add(
        0xFFA1,
        RecordBody().text("S", 32).text("T", 100).text("I", 64).u32(1).text("D", 80).u16(1).u16(1));
    e.Add(0xFFA2, RecordBody().u32(1));
    e.Add(0xFFA7, RecordBody().u16(2).u32(1).u16(8).u16(1).u16(1).u16(1).text("abc"));
    e.Add(0xFFA8, RecordBody().u32(1));
    e.Add(0xFFC1, RecordBody()
                      .u16(1)
                      .u16(1)
                      .u16(1)
                      .u16(1)
                      .zeros(16)
                      .u16(1)
                      .u16(1)
                      .u32(1)
                      .u16(1)
                      .zeros(10)
                      .text("abcd"));
    e.Add(0xB7, RecordBody().u16(5).u16(6).u16(7).u32(1).u16(8).zeros(14));
    e.Add(0xB8, ElementHeader().u32(0x10000000).zeros(16).text("t"));
    e.Add(0xBA, ElementHeader().u32(1).u8(7).zeros(15));
    e.Add(0xC0, ElementHeader().u32(1).zeros(16));
    e.Add(0xC2, ElementHeader().u32(1).zeros(16));
    e.Add(0xB9, RecordBody().zeros(16));
    e.Add(0xFFC4, RecordBody().u16(3).u16(1).u16(0).u16(0).zeros(12).text("u"));
    e.Add(0xFFBE,
          RecordBody().u16(0).u16(1).u16(2).u32(3).u16(1).u16(2).zeros(4).text("R").u8(0).bytes(
              RecordBody::Formula("1")));
    e.Add(0xBD, RecordBody().u16(1).u16(2).u16(3).u16(4).u16(5).u32(6).zeros(12));
    e.Add(0xFFBF,
          RecordBody().u32(1).u32(1).u32(1).u32(1).u32(1).zeros(8).u16(2).zeros(16).text("fn"));
    ExpectEveryCutSaysShort("structure", e.Stream(), 1, {1, 19});
}

} // namespace
