// Picture records of rich text: the graphic header, bitmap headers, segments and tables,
// metafile headers and segments, CGM metafiles, and the picture signatures left generic.
#include <gtest/gtest.h>

#include <string>

#include "EveryCut.h"
#include "ExpectInOrder.h"
#include "RecordTestSupport.h"
#include "ShownRecord.h"

namespace {

// Every picture record uses the long header: its fields start at 6.
struct Shown {
    std::string label;
    std::string dump;
    std::uint16_t image = 0;
};

Shown ShowStream(const RecordEncoder& e, std::size_t index = 0) {
    const RecordBytes stream = e.Stream();
    WalkedStream w = Walk(stream, kStreamKindComposite);
    const auto records = w.Records();
    if (records.size() <= index)
        return {"?", "(" + std::to_string(records.size()) + " records)"};
    TNCdRecord& r = *records[index];
    return {std::string(r.GetLabel()), Dump(r), r.GetImage()->strip};
}

Shown Show(std::uint16_t signature, const RecordBody& body, long declared = -1) {
    return ShowStream(RecordEncoder(kStreamKindComposite).Long(signature, body, declared));
}

// A graphic: dest 100 x 200, crop 1440 x 720, crop offset 1, 2, 3, 4, resize 7.
RecordBody GraphicBody(std::uint8_t version, std::uint8_t flags) {
    RecordBody b;
    b.u16(100).u16(200).u16(1440).u16(720).u16(1).u16(2).u16(3).u16(4).u16(7);
    b.u8(version).u8(flags).u16(0xBEEF);
    return b;
}

// A bitmap header announcing `segments` segments and `colors` colours.
RecordBody BitmapHeaderBody(std::uint16_t segments, std::uint16_t colors) {
    RecordBody b;
    b.u16(2880).u16(1440).u16(720).u16(360).u16(0x3).u16(0).u32(0);
    b.u16(64).u16(32).u16(8).u16(1).u16(8).u16(segments).u16(colors).u16(0);
    return b;
}

RecordBody Segment(std::uint16_t scanlines, std::uint16_t dataSize, const RecordBytes& data) {
    RecordBody b;
    b.zeros(8).u16(scanlines).u16(dataSize).bytes(data);
    return b;
}

RecordBody Triples(std::size_t count) {
    RecordBody b;
    for (std::size_t i = 0; i < count; ++i)
        b.u8(std::uint8_t(0x10 + i)).u8(std::uint8_t(0x20 + i)).u8(std::uint8_t(0x30 + i));
    return b;
}

RecordBody MetaSegment(std::uint16_t dataSize, std::uint16_t segSize, const RecordBytes& data) {
    RecordBody b;
    b.u16(dataSize).u16(segSize).bytes(data);
    return b;
}

RecordBody PmOrWinHeader(std::uint16_t mapMode, std::uint16_t segments) {
    RecordBody b;
    b.u16(mapMode).i16(-5).i16(7).u16(1440).u16(2880).u32(123456).u16(segments);
    return b;
}

RecordBody MacHeader(std::uint16_t segments) {
    RecordBody b;
    b.u16(720).u16(360).u32(70000).u16(segments);
    return b;
}

RecordBody CgmBody(std::uint16_t mapMode) {
    RecordBody b;
    b.u16(mapMode).i16(-100).i16(250).u16(1440).u16(720).u8(0xC1).u8(0xC2);
    return b;
}

} // namespace

TEST(GraphicRecords, GraphicShowsItsDestSizeInPixelsFromVersionTwo) {
    const Shown g = Show(0x99, GraphicBody(2, 0x1));
    EXPECT_EQ(g.label, "Graphic");
    EXPECT_EQ(g.image, 19);
    ExpectInOrder(g.dump, {"(record-type Graphic)", "(length 28)\n", "(dest-size",
                           "(width 100)    ; pixels", "(height 200))    ; pixels", "(crop-size",
                           "(width 1440)    ; twips (1.0000 inches)",
                           "(height 720))    ; twips (0.5000 inches)", "(crop-offset",
                           "(left 1)    ; twips", "(top 2)    ; twips", "(right 3)    ; twips",
                           "(bottom 4))    ; twips", "(f-resize 7)", "(version 2)",
                           "(flags DestsizeIsPixels))\n"});
    EXPECT_FALSE(Has(g.dump, "ignored"));
    EXPECT_FALSE(Has(g.dump, "remaining-data"));

    // Without the flag a version 2 graphic is in twips.
    EXPECT_TRUE(Has(Show(0x99, GraphicBody(3, 0)).dump, "(width 100)    ; twips"));
}

TEST(GraphicRecords, GraphicBeforeVersionTwoIgnoresItsFlags) {
    const Shown g = Show(0x99, GraphicBody(1, 0x1));
    ExpectInOrder(g.dump, {"(dest-size", "(width 100)    ; twips", "(height 200))    ; twips",
                           "(version 1)", "(flags DestsizeIsPixels))    ; ignored\n"});
    EXPECT_FALSE(Has(g.dump, "pixels"));
}

TEST(GraphicRecords, BitmapHeaderFieldsInOrder) {
    const Shown h = Show(0x95, BitmapHeaderBody(0, 0));
    EXPECT_EQ(h.label, "Bitmap Header");
    EXPECT_EQ(h.image, 17);
    ExpectInOrder(h.dump, {"(record-type BitmapHeader)", "(length 38)", "(dest",
                           "(width 2880)    ; twips (2.0000 inches)", "(height 1440)", "(crop",
                           "(width 720)", "(height 360)", "(flags RequiresPalette ComputePalette)",
                           "(width 64)\n", "(height 32)\n", "(bits-per-pixel 8)",
                           "(samples-per-pixel 1)", "(bits-per-sample 8)", "(segment-count 0)\n",
                           "(color-count 0)\n", "(pattern-count 0)"});
    EXPECT_FALSE(Has(h.dump, "remaining-data"));
}

TEST(GraphicRecords, BitmapHeaderSaysWhenFewerSegmentsAndColoursFollow) {
    RecordEncoder e(kStreamKindComposite);
    e.Long(0x95, BitmapHeaderBody(3, 4));
    e.Long(0x97, Triples(2));
    e.Long(0x96, Segment(1, 1, {0xAA}));
    e.Long(0x96, Segment(1, 1, {0xBB}));
    e.Long(0x99, GraphicBody(2, 0)); // another picture: not counted
    e.Long(0x96, Segment(1, 1, {0xCC}));
    const Shown h = ShowStream(e);
    ExpectInOrder(h.dump, {"(segment-count 3)    ; *** only 2 segments follow",
                           "(color-count 4)    ; *** only 2 colours follow", "(pattern-count 0)"});

    // Counts that the records bear out are not commented; pattern and transparent tables
    // belong to the bitmap too.
    RecordEncoder whole(kStreamKindComposite);
    whole.Long(0x95, BitmapHeaderBody(2, 2));
    whole.Long(0x97, Triples(2));
    whole.Long(0x98, RecordBody().u8(1).u8(2));
    whole.Long(0xC5, RecordBody().u16(0).u16(0));
    whole.Long(0x96, Segment(1, 1, {0xAA}));
    whole.Long(0x96, Segment(1, 1, {0xBB}));
    const Shown ok = ShowStream(whole);
    EXPECT_TRUE(Has(ok.dump, "(segment-count 2)\n")) << ok.dump;
    EXPECT_TRUE(Has(ok.dump, "(color-count 2)\n")) << ok.dump;
    EXPECT_FALSE(Has(ok.dump, "***")) << ok.dump;
}

TEST(GraphicRecords, BitmapSegmentDumpsItsDataSize) {
    const Shown s = Show(0x96, Segment(12, 3, {0xA1, 0xA2, 0xA3}));
    EXPECT_EQ(s.label, "Bitmap Segment");
    EXPECT_EQ(s.image, 17);
    ExpectInOrder(s.dump, {"(record-type BitmapSegment)", "(length 21)", "(scanline-count 12)",
                           "(data-size 3)", "(compressed-bitmap-data", "A1 A2 A3"});
    EXPECT_FALSE(Has(s.dump, "remaining-data"));

    // A smaller data size leaves the rest as remaining data.
    const ShownRecord less(Show(0x96, Segment(12, 1, {0xA1, 0xA2, 0xA3})).dump);
    EXPECT_FALSE(less.saysShort) << less.text;
    EXPECT_EQ(less.remaining, (RecordBytes{0xA2, 0xA3})) << less.text;

    // A larger one is dumped as far as the record goes, and said to be short.
    const ShownRecord more(Show(0x96, Segment(12, 9, {0xA1, 0xA2, 0xA3})).dump);
    EXPECT_TRUE(more.saysShort) << more.text;
    EXPECT_TRUE(Has(more.text, "A1 A2 A3")) << more.text;
    EXPECT_TRUE(more.remaining.empty()) << more.text;
}

TEST(GraphicRecords, ColorTableTriplesAreCountedFromTheLength) {
    const Shown empty = Show(0x97, RecordBody());
    EXPECT_EQ(empty.label, "Color Table");
    EXPECT_EQ(empty.image, 20);
    EXPECT_TRUE(Has(empty.dump, "(rgb-triples \n        ))")) << empty.dump;

    const Shown two = Show(0x97, Triples(2));
    ExpectInOrder(two.dump, {"(length 12)", "(rgb-triples \n", "        10 20 30    ; 0\n",
                             "        11 21 31\n"});
    EXPECT_FALSE(Has(two.dump, "remaining-data"));

    // Bytes short of a whole triple are remaining data.
    const ShownRecord odd(Show(0x97, Triples(1).u8(0xEE).u8(0xEF)).dump);
    EXPECT_FALSE(odd.saysShort) << odd.text;
    EXPECT_EQ(odd.remaining, (RecordBytes{0xEE, 0xEF})) << odd.text;
}

TEST(GraphicRecords, TransparentTableCommentsEveryFourthTriple) {
    const Shown t = Show(0xC5, RecordBody().u16(0).u16(5).bytes(Triples(5).Bytes()));
    EXPECT_EQ(t.label, "Transparent Table");
    EXPECT_EQ(t.image, 43);
    ExpectInOrder(t.dump,
                  {"(record-type TransparentTable)", "(transparent-count 5)", "(rgb-triples \n",
                   "        10 20 30    ; 0\n", "        11 21 31\n", "        12 22 32\n",
                   "        13 23 33\n", "        14 24 34    ; 4\n"});
    EXPECT_FALSE(Has(t.dump, "remaining-data"));
    EXPECT_FALSE(Has(t.dump, "***"));

    // Triples after the count are remaining data.
    const ShownRecord extra(Show(0xC5, RecordBody().u16(0).u16(1).bytes(Triples(2).Bytes())).dump);
    EXPECT_EQ(extra.remaining, (RecordBytes{0x11, 0x21, 0x31})) << extra.text;
}

TEST(GraphicRecords, TransparentCountBeyondTheRecordIsSaid) {
    const Shown t = Show(0xC5, RecordBody().u16(0).u16(4).bytes(Triples(2).Bytes()).u8(0x99));
    ExpectInOrder(t.dump, {"(transparent-count 4)", "10 20 30    ; 0", "11 21 31",
                           "*** 2 of 4 triples are there", "*** Length is too short"});
    EXPECT_EQ(ShownRecord(t.dump).remaining, (RecordBytes{0x99}));
}

TEST(GraphicRecords, PatternTableIsOneHexDump) {
    const Shown p = Show(0x98, RecordBody().u8(0x55).u8(0xAA).u8(0x0F));
    EXPECT_EQ(p.label, "Pattern Table");
    EXPECT_EQ(p.image, 18);
    ExpectInOrder(p.dump,
                  {"(record-type PatternTable)", "(length 9)", "(pattern-data", "55 AA 0F"});
    EXPECT_FALSE(Has(p.dump, "remaining-data"));
}

TEST(GraphicRecords, MetafileHeaders) {
    const Shown pm = Show(0x9E, PmOrWinHeader(8, 0));
    EXPECT_EQ(pm.label, "PM Metafile Header");
    EXPECT_EQ(pm.image, 15);
    ExpectInOrder(pm.dump, {"(record-type PMMetaHeader)", "(length 22)", "(map-mode 0x0008)",
                            "(x-extent -5)", "(y-extent 7)", "(original-display-size",
                            "(width 1440)    ; twips", "(height 2880))    ; twips",
                            "(metafile-size 123456)", "(seg-count 0)"});

    const Shown win = Show(0x9F, PmOrWinHeader(8, 0));
    EXPECT_EQ(win.label, "Windows Metafile Header");
    EXPECT_EQ(win.image, 14);
    ExpectInOrder(win.dump, {"(record-type WinMetaHeader)", "(map-mode Anisotropic)",
                             "(x-extent -5)", "(y-extent 7)", "(original-display-size",
                             "(metafile-size 123456)", "(seg-count 0)"});
    EXPECT_TRUE(Has(Show(0x9F, PmOrWinHeader(1, 0)).dump, "(map-mode Text)"));
    EXPECT_TRUE(Has(Show(0x9F, PmOrWinHeader(6, 0)).dump, "(map-mode Twips)"));

    const Shown mac = Show(0xA0, MacHeader(0));
    EXPECT_EQ(mac.label, "Macintosh Metafile Header");
    EXPECT_EQ(mac.image, 16);
    ExpectInOrder(mac.dump, {"(record-type MacMetaHeader)", "(length 16)", "(original-display-size",
                             "(width 720)    ; twips", "(height 360))    ; twips",
                             "(metafile-size 70000)", "(seg-count 0)"});
    for (const Shown& s : {pm, win, mac})
        EXPECT_FALSE(Has(s.dump, "remaining-data")) << s.dump;
}

TEST(GraphicRecords, MetafileHeaderCountsOnlyItsOwnSegments) {
    RecordEncoder e(kStreamKindComposite);
    e.Long(0x9F, PmOrWinHeader(8, 3));
    e.Long(0x9B, MetaSegment(2, 2, {0x01, 0x02}));
    e.Long(0x9B, MetaSegment(2, 2, {0x03, 0x04}));
    e.Long(0x9A, MetaSegment(2, 2, {0x05, 0x06})); // a PM segment ends the Windows metafile
    e.Long(0x9B, MetaSegment(2, 2, {0x07, 0x08}));
    EXPECT_TRUE(Has(ShowStream(e).dump, "(seg-count 3))    ; *** only 2 segments follow"));

    RecordEncoder mac(kStreamKindComposite);
    mac.Long(0xA0, MacHeader(2));
    mac.Long(0x9C, MetaSegment(1, 1, {0x01}));
    mac.Long(0x9C, MetaSegment(1, 1, {0x02}));
    const Shown whole = ShowStream(mac);
    EXPECT_TRUE(Has(whole.dump, "(seg-count 2))\n")) << whole.dump;
    EXPECT_FALSE(Has(whole.dump, "***")) << whole.dump;

    // A header at the stream's end has no segments after it.
    EXPECT_TRUE(Has(Show(0x9E, PmOrWinHeader(0, 1)).dump,
                    "(seg-count 1))    ; *** only 0 segments follow"));
}

TEST(GraphicRecords, MetafileSegmentsShareOneLayout) {
    const struct {
        std::uint16_t signature;
        const char* name;
        const char* label;
        std::uint16_t image;
    } kinds[] = {{0x9A, "PMMetaSeg", "PM Metafile Segment", 15},
                 {0x9B, "WinMetaSeg", "Windows Metafile Segment", 14},
                 {0x9C, "MacMetaSeg", "Macintosh Metafile Segment", 16}};
    for (const auto& k : kinds) {
        const Shown s = Show(k.signature, MetaSegment(4, 6, {0xD1, 0xD2, 0xD3}));
        EXPECT_EQ(s.label, k.label);
        EXPECT_EQ(s.image, k.image);
        // The data is what the length holds, whatever the sizes say.
        ExpectInOrder(s.dump, {std::string("(record-type ") + k.name + ")", "(length 13)",
                               "(data-size 4)", "(seg-size 6)", "(segment-data", "D1 D2 D3"});
        EXPECT_FALSE(Has(s.dump, "remaining-data")) << s.dump;
        EXPECT_FALSE(Has(s.dump, "***")) << s.dump;
    }
}

TEST(GraphicRecords, CgmMetafile) {
    const Shown c = Show(0x9D, CgmBody(1));
    EXPECT_EQ(c.label, "CGM Metafile");
    EXPECT_EQ(c.image, 0);
    ExpectInOrder(c.dump,
                  {"(record-type CGMMeta)", "(length 18)", "(map-mode Metric)", "(x-extent -100)",
                   "(y-extent 250)", "(original-size", "(width 1440)    ; twips",
                   "(height 720))    ; twips", "(metafile", "C1 C2"});
    EXPECT_FALSE(Has(c.dump, "remaining-data"));
    EXPECT_TRUE(Has(Show(0x9D, CgmBody(0)).dump, "(map-mode Abstract)"));
}

TEST(GraphicRecords, SignaturesWithoutAKindAreGeneric) {
    const struct {
        std::uint16_t signature;
        const char* name;
    } kinds[] = {{0x94, "TIFF"}, {0xFF87, "Metafile"}, {0xFF88, "Bitmap"}, {0xFF93, "CGM"}};
    for (const auto& k : kinds) {
        RecordEncoder e(kStreamKindComposite);
        if (k.signature >> 8)
            e.Word(k.signature, RecordBody().u8(0x71).u8(0x72));
        else
            e.Long(k.signature, RecordBody().u8(0x71).u8(0x72));
        const Shown s = ShowStream(e);
        EXPECT_EQ(s.label, k.name);
        EXPECT_EQ(s.image, 0);
        const ShownRecord shown(s.dump);
        EXPECT_EQ(shown.fields.size(), 3u) << s.dump; // cd-record, record-type and length
        EXPECT_EQ(shown.remaining, (RecordBytes{0x71, 0x72})) << s.dump;
    }
}

TEST(GraphicRecords, RecordsShorterThanTheirFixedPartSaySo) {
    // Cut before the flags: the version is not read past the record, and the size is twips.
    const Shown g = Show(0x99, RecordBody().u16(100).u16(200), 10);
    EXPECT_TRUE(Has(g.dump, "(length 10)    ; *** Length is too short (should be at least 28)"));
    EXPECT_TRUE(Has(g.dump, "(width 100)    ; twips")) << g.dump;
    EXPECT_FALSE(Has(g.dump, "(width 1440")) << g.dump;
    EXPECT_FALSE(Has(g.dump, "f-resize")) << g.dump;

    // A colour table whose stored length is below its header reads no triples.
    const Shown c = Show(0x97, RecordBody(), 4);
    EXPECT_TRUE(Has(c.dump, "(should be at least 6)")) << c.dump;
    EXPECT_TRUE(Has(c.dump, "(rgb-triples \n        ))")) << c.dump;
}

TEST(GraphicRecords, EveryCutSaysShort) {
    RecordEncoder e(kStreamKindComposite);
    e.Long(0x99, GraphicBody(2, 1));
    e.Long(0x99, GraphicBody(1, 1));
    e.Long(0x95, BitmapHeaderBody(1, 2));
    e.Long(0x97, Triples(2));
    e.Long(0x96, Segment(4, 3, {0xA1, 0xA2, 0xA3}));
    e.Long(0xC5, RecordBody().u16(0).u16(5).bytes(Triples(5).Bytes()));
    e.Long(0x98, RecordBody().u8(0x55).u8(0xAA));
    e.Long(0x9E, PmOrWinHeader(8, 1));
    e.Long(0x9A, MetaSegment(2, 2, {0x01, 0x02}));
    e.Long(0x9F, PmOrWinHeader(8, 1));
    e.Long(0x9B, MetaSegment(2, 2, {0x01, 0x02}));
    e.Long(0xA0, MacHeader(1));
    e.Long(0x9C, MetaSegment(2, 2, {0x01, 0x02}));
    e.Long(0x9D, CgmBody(1));
    ExpectEveryCutSaysShort("pictures", e.Stream(), kStreamKindComposite,
                            {kStreamKindComposite, kStreamKindLayout});
}
