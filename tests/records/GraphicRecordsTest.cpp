// Picture records of rich text: the graphic header, bitmap headers, segments and tables,
// metafile headers and segments, CGM metafiles, and the picture signatures left generic.
#include <gtest/gtest.h>

#include <string>
#include <vector>

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

// Each picture record whole: its label, image, fields in order, and no byte left over.
TEST(GraphicRecords, EachRecordShowsItsFieldsInOrder) {
    const struct {
        std::uint16_t signature;
        RecordBody body;
        const char* label;
        std::uint16_t image;
        std::vector<std::string> parts;
    } cases[] = {
        {0x99,
         GraphicBody(2, 0x1),
         "Graphic",
         19,
         {"(record-type Graphic)", "(length 28)\n", "(dest-size", "(width 100)    ; pixels",
          "(height 200))    ; pixels", "(crop-size", "(width 1440)    ; twips (1.0000 inches)",
          "(height 720))    ; twips (0.5000 inches)", "(crop-offset", "(left 1)    ; twips",
          "(top 2)    ; twips", "(right 3)    ; twips", "(bottom 4))    ; twips", "(f-resize 7)",
          "(version 2)", "(flags DestsizeIsPixels))\n"}},
        // Without the flag a version 2 graphic is in twips; before version 2 the flags are
        // ignored.
        {0x99, GraphicBody(3, 0), "Graphic", 19, {"(width 100)    ; twips"}},
        {0x99,
         GraphicBody(1, 0x1),
         "Graphic",
         19,
         {"(dest-size", "(width 100)    ; twips", "(height 200))    ; twips", "(version 1)",
          "(flags DestsizeIsPixels))    ; ignored\n"}},
        {0x95,
         BitmapHeaderBody(0, 0),
         "Bitmap Header",
         17,
         {"(record-type BitmapHeader)", "(length 38)", "(dest",
          "(width 2880)    ; twips (2.0000 inches)", "(height 1440)", "(crop", "(width 720)",
          "(height 360)", "(flags RequiresPalette ComputePalette)", "(width 64)\n", "(height 32)\n",
          "(bits-per-pixel 8)", "(samples-per-pixel 1)", "(bits-per-sample 8)",
          "(segment-count 0)\n", "(color-count 0)\n", "(pattern-count 0)"}},
        {0x96,
         Segment(12, 3, {0xA1, 0xA2, 0xA3}),
         "Bitmap Segment",
         17,
         {"(record-type BitmapSegment)", "(length 21)", "(scanline-count 12)", "(data-size 3)",
          "(compressed-bitmap-data", "A1 A2 A3"}},
        {0x97, RecordBody(), "Color Table", 20, {"(rgb-triples \n        ))"}},
        {0x97,
         Triples(2),
         "Color Table",
         20,
         {"(length 12)", "(rgb-triples \n", "        10 20 30    ; 0\n", "        11 21 31\n"}},
        // The transparent table comments every fourth triple.
        {0xC5,
         RecordBody().u16(0).u16(5).bytes(Triples(5).Bytes()),
         "Transparent Table",
         43,
         {"(record-type TransparentTable)", "(transparent-count 5)", "(rgb-triples \n",
          "        10 20 30    ; 0\n", "        11 21 31\n", "        12 22 32\n",
          "        13 23 33\n", "        14 24 34    ; 4\n"}},
        {0x98,
         RecordBody().u8(0x55).u8(0xAA).u8(0x0F),
         "Pattern Table",
         18,
         {"(record-type PatternTable)", "(length 9)", "(pattern-data", "55 AA 0F"}},
        {0x9E,
         PmOrWinHeader(8, 0),
         "PM Metafile Header",
         15,
         {"(record-type PMMetaHeader)", "(length 22)", "(map-mode 0x0008)", "(x-extent -5)",
          "(y-extent 7)", "(original-display-size", "(width 1440)    ; twips",
          "(height 2880))    ; twips", "(metafile-size 123456)", "(seg-count 0)"}},
        {0x9F,
         PmOrWinHeader(8, 0),
         "Windows Metafile Header",
         14,
         {"(record-type WinMetaHeader)", "(map-mode Anisotropic)", "(x-extent -5)", "(y-extent 7)",
          "(original-display-size", "(metafile-size 123456)", "(seg-count 0)"}},
        {0x9F, PmOrWinHeader(1, 0), "Windows Metafile Header", 14, {"(map-mode Text)"}},
        {0x9F, PmOrWinHeader(6, 0), "Windows Metafile Header", 14, {"(map-mode Twips)"}},
        {0xA0,
         MacHeader(0),
         "Macintosh Metafile Header",
         16,
         {"(record-type MacMetaHeader)", "(length 16)", "(original-display-size",
          "(width 720)    ; twips", "(height 360))    ; twips", "(metafile-size 70000)",
          "(seg-count 0)"}},
        // The segments share one layout: the data is what the length holds, whatever the
        // sizes say.
        {0x9A,
         MetaSegment(4, 6, {0xD1, 0xD2, 0xD3}),
         "PM Metafile Segment",
         15,
         {"(record-type PMMetaSeg)", "(length 13)", "(data-size 4)", "(seg-size 6)",
          "(segment-data", "D1 D2 D3"}},
        {0x9B,
         MetaSegment(4, 6, {0xD1, 0xD2, 0xD3}),
         "Windows Metafile Segment",
         14,
         {"(record-type WinMetaSeg)", "(length 13)", "(data-size 4)", "(seg-size 6)",
          "(segment-data", "D1 D2 D3"}},
        {0x9C,
         MetaSegment(4, 6, {0xD1, 0xD2, 0xD3}),
         "Macintosh Metafile Segment",
         16,
         {"(record-type MacMetaSeg)", "(length 13)", "(data-size 4)", "(seg-size 6)",
          "(segment-data", "D1 D2 D3"}},
        {0x9D,
         CgmBody(1),
         "CGM Metafile",
         0,
         {"(record-type CGMMeta)", "(length 18)", "(map-mode Metric)", "(x-extent -100)",
          "(y-extent 250)", "(original-size", "(width 1440)    ; twips", "(height 720))    ; twips",
          "(metafile", "C1 C2"}},
        {0x9D, CgmBody(0), "CGM Metafile", 0, {"(map-mode Abstract)"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.label) + " " + c.parts.front());
        const Shown s = Show(c.signature, c.body);
        EXPECT_EQ(s.label, c.label);
        EXPECT_EQ(s.image, c.image);
        ExpectInOrder(s.dump, c.parts);
        EXPECT_FALSE(Has(s.dump, "remaining-data")) << s.dump;
        EXPECT_FALSE(Has(s.dump, "***")) << s.dump;
        EXPECT_EQ(Has(s.dump, "pixels"), c.image == 19 && Has(s.dump, "(version 2)")) << s.dump;
    }
}

// Counts that the records do not bear out are said; what the length holds past a count is
// remaining data, and what a count claims past the length is said to be short.
TEST(GraphicRecords, CountsAndSizesAgainstWhatFollows) {
    RecordEncoder e(kStreamKindComposite);
    e.Long(0x95, BitmapHeaderBody(3, 4));
    e.Long(0x97, Triples(2));
    e.Long(0x96, Segment(1, 1, {0xAA}));
    e.Long(0x96, Segment(1, 1, {0xBB}));
    e.Long(0x99, GraphicBody(2, 0)); // another picture: not counted
    e.Long(0x96, Segment(1, 1, {0xCC}));
    ExpectInOrder(ShowStream(e).dump,
                  {"(segment-count 3)    ; *** only 2 segments follow",
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
    ExpectInOrder(ok.dump, {"(segment-count 2)\n", "(color-count 2)\n"});
    EXPECT_FALSE(Has(ok.dump, "***")) << ok.dump;

    const struct {
        std::uint16_t signature;
        RecordBody body;
        bool saysShort;
        RecordBytes remaining;
    } cut[] = {
        // A smaller data size leaves the rest; a larger one is dumped as far as the record goes.
        {0x96, Segment(12, 1, {0xA1, 0xA2, 0xA3}), false, {0xA2, 0xA3}},
        {0x96, Segment(12, 9, {0xA1, 0xA2, 0xA3}), true, {}},
        // Bytes short of a whole triple, and triples after the transparent count.
        {0x97, Triples(1).u8(0xEE).u8(0xEF), false, {0xEE, 0xEF}},
        {0xC5, RecordBody().u16(0).u16(1).bytes(Triples(2).Bytes()), false, {0x11, 0x21, 0x31}},
        {0xC5, RecordBody().u16(0).u16(4).bytes(Triples(2).Bytes()).u8(0x99), true, {0x99}},
    };
    for (const auto& c : cut) {
        const ShownRecord shown(Show(c.signature, c.body).dump);
        EXPECT_EQ(shown.saysShort, c.saysShort) << shown.text;
        EXPECT_EQ(shown.remaining, c.remaining) << shown.text;
    }
    EXPECT_TRUE(Has(Show(0x96, Segment(12, 9, {0xA1, 0xA2, 0xA3})).dump, "A1 A2 A3"));
    ExpectInOrder(Show(0xC5, RecordBody().u16(0).u16(4).bytes(Triples(2).Bytes()).u8(0x99)).dump,
                  {"(transparent-count 4)", "10 20 30    ; 0", "11 21 31",
                   "*** 2 of 4 triples are there", "*** Length is too short"});
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
