// Rich-text structure records: tables, hotspots with their embedded actions, section bars,
// buttons, DDE and OLE objects, layouts, storage links, form actions, automatic launch.
#include <gtest/gtest.h>

#include <string>

#include "EveryCut.h"
#include "RecordCases.h"
#include "ShownRecord.h"

namespace {

OneShown Show(std::uint16_t signature, const RecordBody& body) {
    return ShowOne(1, signature, body);
}

RecordBody Hotspot(std::uint16_t type, std::uint32_t flags, const RecordBytes& data) {
    return RecordBody().u16(type).u32(flags).u16(std::uint16_t(data.size())).bytes(data);
}

RecordBytes Bytes(std::string_view s) {
    return RecordBytes(s.begin(), s.end());
}

// Border 0x96: left double, right single, top single, bottom double.
RecordBody Cell(std::uint16_t width) {
    RecordBody b;
    return b.u8(2).u8(3).u16(100).u16(200).u16(width).u8(0x96).u8(0x3).u16(0x4321).u8(1).u8(4).u16(
        2);
}

RecordBody ElementHeader() {
    return RecordBody().u16(10).u16(20).u16(300).u16(400).u32(0x0A000001).u8(2).zeros(7);
}

RecordBody OleObjInfo(const std::string& texts) {
    RecordBody info;
    info.u16(1).u16(2).u16(0).u16(1).u32(0x12345678).u16(0xABCD).u16(0x0102);
    for (int i = 0; i < 8; ++i)
        info.u8(std::uint8_t(0xC0 + i));
    return info.u16(2).u16(3).u32(0x9).u16(0x0400).zeros(10).text(texts);
}

RecordBody AutoLaunch() {
    RecordBody launch;
    launch.u32(0x3).u32(0x6).u32(0x1).u32(0x2).u32(0x4).zeros(8).u16(4);
    for (int i = 0; i < 16; ++i)
        launch.u8(std::uint8_t(i));
    return launch.text("Body");
}

TEST(TableRecords, TablesBarsButtonsAndObjects) {
    const RecordBytes formula = RecordBody::Formula("1");
    ASSERT_FALSE(formula.empty());
    // An odd title: one pad byte before the hide-when formula.
    RecordBody action;
    action.u16(0xEEEE).u16(3).u16(12).u32(0x41).u16(3).u16(std::uint16_t(formula.size())).zeros(4);
    action.text("Run").u8(0x77).bytes(formula);
    RecordBody ole;
    ole.u16(2).u32(0x21).u16(8).u16(3).u16(4).u16(1);
    RecordBody dde;
    dde.text("Server", 32).text("Topic", 100).text("Item", 64).u32(0x5).text("Doc", 80);
    ExpectRecords(
        1,
        {
            {0xA3,
             RecordBody().u16(1440).u16(10).u16(20).u16(30).u16(40).u16(0x5),
             "Table Begin",
             {"(record-type TableBegin)", "(length 14)", "(left-margin 1440", "twips",
              "(horiz-inter-cell-space 10", "(vert-inter-cell-space 20",
              "(v4-horiz-inter-cell-space 30", "(v4-vert-inter-cell-space 40",
              "(flags AutoCellWidth 3dBordersEmboss)"}},
            {0xA4,
             Cell(5000),
             "Table Cell (2, 3)",
             {"(record-type TableCell)", "(row 2)", "(column 3)", "(left-margin 100",
              "(right-margin 200", "(fractional-width 5000)",
              "(border LeftDouble RightSingle TopSingle BottomDouble)",
              "(flags UseBkgColor UseV42Borders)", "(v42-border 1 2 3 4)", "Left Right Top Bottom",
              "(row-span 1)", "(column-span 4)", "(background-color Red)"}},
            // Spare bytes are hidden by default.
            {0xA5,
             RecordBody().u16(0).u16(0),
             "Table End",
             {"(record-type TableEnd)", "(length 6)"},
             "spare-word"},
            // A pop-up with no flags: a formula in the older hotspot, a text in the v4 one.
            {0xFFA9,
             Hotspot(1, 0, formula),
             "Hotspot Begin",
             {"(record-type HotspotBegin)", "(type PopUp)", "(flags 0", "(formula {"}},
            {0xFFAD,
             Hotspot(1, 0, Bytes("tip")),
             "V4 Hotspot Begin",
             {"(record-type V4HotspotBegin)", "(type PopUp)", "(text \"tip\")"}},
            // File is a text whatever the flags; Script a text; Formula a formula in both records.
            {0xFFA9,
             Hotspot(4, 0x10, Bytes("a.txt")),
             "",
             {"(type File)", "(flags Formula)", "(text \"a.txt\")"}},
            {0xFFA9,
             Hotspot(3, 0x100, Bytes("run")),
             "",
             {"(type Button)", "(flags Script)", "(text \"run\")"}},
            {0xFFAD,
             Hotspot(11, 0x10, formula),
             "",
             {"(type Hotlink)", "(flags Formula)", "(formula {"}},
            // An active object shows no data: its bytes are remaining data.
            {0xFFA9,
             Hotspot(15, 0, Bytes("zz")),
             "",
             {"(type ActiveObject)", "(remaining-data"},
             "(text"},
            // Formula and Signed: the formula, then the signature of the length after it.
            {0xFFA9,
             Hotspot(2, 0x10010, formula).u16(3).u8(0xA1).u8(0xB2).u8(0xC3),
             "",
             {"(type HotRegion)", "(flags Formula Signed)", "(formula {", "(sig-data", "A1 B2 C3"}},
            {0xAA, RecordBody(), "Hotspot End", {"(record-type"}},
            {0xAE, RecordBody(), "V4 Hotspot End", {"(record-type"}},
            // The bar's colour comes before its caption, when the flags say there is one.
            {0xFFAC,
             RecordBody().u32(0x1).u32(0x0A000001).text("Part"),
             "Bar",
             {"(record-type Bar)", "(flags IsExpanded BorderShadow)",
              "(font-id Swiss 10 pt Normal Black)", "(caption \"Part\")"},
             "(color"},
            {0xFFAC,
             RecordBody().u32(0x24000000).u32(0x0A000001).u16(4).text("Two"),
             "Bar",
             {"(flags HasColor BorderSingle)", "(color Blue)", "(caption \"Two\")"}},
            {0xFFAC,
             RecordBody().u32(0x2000).u32(0).bytes(formula),
             "Bar",
             {"(flags IsFormula BorderShadow)", "(caption {"}},
            {0xFFAB,
             RecordBody().u16(0x6).u16(720).u16(360).u16(1).u32(0x0A000001).text("Go on"),
             "Go on",
             {"(record-type Button)", "(flags IsDown IsEditable)", "(width 720", "(height 360",
              "(lines 1)", "(font-id Swiss", "(text \"Go on\")"}},
            {0xFFA1,
             RecordBody(dde).u16(2).u16(3),
             "DDE Begin",
             {"(record-type DDEBegin)", "(length 288)", "(server-name \"Server\")",
              "(topic-name \"Topic\")", "(item-name \"Item\")", "(flags AutoLink Embedded)",
              "(paste-embed-doc-name \"Doc\")", "(embedded-doc-count 2)",
              "(clip-format Text Metafile Bitmap)"}},
            {0xFFA2, RecordBody().u32(0x12), "DDE End", {"(record-type DDEEnd)", "(flags 0x12)"}},
            {0xFFA8, RecordBody().u32(0), "OLE End", {"(record-type OleEnd)", "(flags 0)"}},
            {0xFFA7,
             RecordBody(ole).text("att").text("Word").text("T"),
             "OLE Begin",
             {"(version 2)", "(flags Object Pasted)", "(clip-format Native)", "(attach \"att\")",
              "(class \"Word\")", "(template \"T\")"}},
            {0xFFC1,
             OleObjInfo("f"
                        "de"
                        "x"),
             "OLE Obj Info",
             {"(ole-obj-class", "(data1 0x12345678)", "(data2 0xABCD)", "(data3 0x0102)",
              "(data4 0xC0 0xC1 0xC2 0xC3 0xC4 0xC5 0xC6 0xC7", "(storage-format Bento)",
              "(display-format Text Metafile Bitmap)", "(flags Scripted FitToWindow)",
              "(storage-format-appeared-in 0x0400)", "(file-obj \"f\")", "(description \"de\")",
              "(field \"\")", "(text-index-obj \"x\")"}},
            {0xB7,
             RecordBody().u16(5).u16(6000).u16(3000).u32(0x6).u16(8).zeros(14),
             "Layout",
             {"(record-type Layout)", "(left 5", "(width 6000", "(height 3000",
              "(flags ShowGrid SnapToGrid)", "(grid-size 8)"}},
            {0xB8,
             ElementHeader().u32(0x30000000).zeros(16).text("Name:"),
             "Layout Text",
             {"(element-header", "(left 10", "(top 20", "(width 300", "(height 400",
              "(font-id Swiss", "(back-color Red)", "(flags Trans Center)", "(text \"Name:\")"}},
            {0xBA,
             ElementHeader().u32(0x40000021).u8(7).zeros(15),
             "Layout Field",
             {"(flags SingleLine Image Right)", "(field-type 0x7)"}},
            {0xC0,
             ElementHeader().u32(0x1).zeros(16),
             "Layout Graphic",
             {"(record-type LayoutGraphic)", "(flags Button)"}},
            {0xC2,
             ElementHeader().u32(0x1).zeros(16),
             "Layout Button",
             {"(record-type LayoutButton)", "(flags 0x1)"}},
            {0xB9, RecordBody().zeros(16), "Layout End", {"(record-type LayoutEnd)"}},
            {0xFFC4,
             RecordBody().u16(1).u16(2).u16(0x3).u16(9).zeros(12).text("obj1"),
             "Storage Link",
             {"(storage-type Object)", "(load-type OnDemand)", "(flags 0x3)", "(data-length 9)",
              "(object-name \"obj1\")"}},
            {0xFFC4,
             RecordBody().u16(4).u16(1).u16(0).u16(0).zeros(12).text("x:y"),
             "",
             {"(storage-type URLMime)", "(load-type Deferred)", "(url \"x:y\")"}},
            // A note link's data is not decoded: it is remaining data.
            {0xFFC4,
             RecordBody().u16(2).u16(1).u16(0).u16(2).zeros(12).u8(0xAB).u8(0xCD),
             "",
             {"(storage-type Note)", "(remaining-data", "AB CD"}},
            {0xFFBE,
             action,
             "Run",
             {"(record-type Action)", "(type 0x3)", "(icon-index 12)", "(flags 0x41)",
              "(formula-len", "(title \"Run\")", "(hide-when {"},
             "EEEE"},
            {0xBD,
             RecordBody().u16(1).u16(4).u16(2).u16(1).u16(3).u32(0x10).zeros(12),
             "Action Bar",
             {"(back-color White)", "(line-color Blue)", "(line-style 0x2)", "(border-style 0x1)",
              "(border-width 3)", "(flags 0x10)"}},
            {0xFFBF,
             AutoLaunch(),
             "Doc Auto Launch",
             {"(object-type OleClass OleObj)", "(hide-when-flags OpenEdit OpenRead)",
              "(launch-when-flags Create)", "(ole-flags ModalWindow)",
              "(copy-to-field-flags Named)", "(ole-obj-class", "(data1 0x03020100)",
              "(data2 0x0504)", "(data3 0x0706)", "(data4 0x08 0x09 0x0A 0x0B 0x0C 0x0D 0x0E 0x0F",
              "(field-name \"Body\")"}},
            {0xFFBF, RecordBody().u32(0).zeros(42), "", {"(object-type None)"}},
        });
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

TEST(TableRecords, EveryCutOfEveryRecordSaysShort) {
    RecordEncoder e(1);
    const RecordBytes actions = RecordEncoder(16).Byte(0x88, RecordBody().u32(0)).Stream();
    e.Add(0xA3, RecordBody().u16(1440).u16(10).u16(20).u16(30).u16(40).u16(0x5));
    e.Add(0xA4, Cell(50));
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
    e.Add(0xFFC1, OleObjInfo("abcd"));
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
    e.Add(0xFFBF, AutoLaunch());
    ExpectEveryCutSaysShort("structure", e.Stream(), 1, {1, 19});
}

} // namespace
