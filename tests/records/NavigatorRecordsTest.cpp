// Navigator records: the drawing records of layout streams (kind 19), the dataset record
// (kind 18), and the walk over the point records whose stored length is not their length.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "EveryCut.h"
#include "ExpectInOrder.h"
#include "RecordTestSupport.h"
#include "ShownRecord.h"
#include "output/StringWriter.h"
#include "tree/NodeDocument.h"
#include "treelist/ImageCache.h"

namespace {

// A stream and its record nodes, kept together (the nodes point into the stream).
struct Walked {
    RecordBytes stream;
    WalkedStream walk;
    Walked(const RecordEncoder& e, std::uint16_t kind) : stream(e.Stream()) {
        walk = Walk(stream, kind);
    }
    TNCdRecord& At(std::size_t i) const { return *walk.Records().at(i); }
};

// A dump with its remaining data on one line: "(remaining-data 01 02))".
std::string Normal(const std::string& dump) {
    const std::string s = dump.substr(std::min(dump.find_first_not_of('\n'), dump.size()));
    const std::size_t at = s.find("\n    \n    (remaining-data");
    if (at == std::string::npos)
        return s;
    static const char digits[] = "0123456789ABCDEF";
    std::string out = s.substr(0, at) + "\n    (remaining-data";
    for (std::uint8_t b : ShownRecord(dump).remaining)
        out += std::string(" ") + digits[b >> 4] + digits[b & 15];
    return out + "))\n";
}

std::string DumpOf(const RecordEncoder& e, std::uint16_t kind,
                   CInfoPaneOptions* options = nullptr) {
    Walked w(e, kind);
    return w.walk.Records().size() == 1 ? Normal(Dump(w.At(0), options)) : "(not one record)";
}

std::string LabelOf(const RecordEncoder& e, std::uint16_t kind) {
    Walked w(e, kind);
    return std::string(w.At(0).GetLabel());
}

// The object header after the record's own header: rectangle (-1, 20, 300, 400), flags
// Visible and Selectable, font 0x0A000001, text colour 3, alignment 0x12, then the u16 that is
// the big header's wrap (unused in the small one) and 16 spare bytes A0..AF.
RecordBody ObjectHeader(std::uint16_t nameLength, std::uint16_t labelLength, std::uint16_t wrap) {
    RecordBody b;
    b.u32(0xFFFFFFFF).u32(20).u32(300).u32(400);
    b.u16(0x6).u16(nameLength).u16(labelLength).u32(0x0A000001).u16(3).u16(0x12).u16(wrap);
    for (int i = 0; i < 16; ++i)
        b.u8(std::uint8_t(0xA0 + i));
    return b;
}

// The object header as the dump shows it, indented for the record's own fields.
std::string ShownHeader(const char* field, const char* wrap = nullptr) {
    std::string s = std::string("    (") + field +
                    " \n"
                    "        (obj-rect \n"
                    "            (left -1)\n"
                    "            (top 20)\n"
                    "            (right 300)\n"
                    "            (bottom 400))\n"
                    "        (flags Visible Selectable)\n"
                    "        (font-id Swiss 10 pt Normal Black)\n"
                    "        (text-color Green)\n"
                    "        (alignment 0x0012)";
    if (wrap)
        s += std::string("\n        (wrap ") + wrap + ")";
    return s + ")\n";
}

// Line, fill fg and fill bg colours 1, 2, 4; line style 0; width 5; fill style 1; as shown.
RecordBody Shape(RecordBody b) {
    return b.u16(1).u16(2).u16(4).u16(0).u16(5).u16(1);
}
const std::string kShownShape = "    (line-color White)\n    (fill-fg-color Red)\n"
                                "    (fill-bg-color Blue)\n    (line-style Solid)\n"
                                "    (line-width 5)\n    (fill-style Solid)\n";

RecordBytes Spare16(std::uint8_t first) {
    RecordBytes b;
    for (int i = 0; i < 16; ++i)
        b.push_back(std::uint8_t(first + i));
    return b;
}

TEST(NavigatorDrawing, RectEllipseRoundRectAndButtonShareOneLayout) {
    const struct {
        std::uint8_t signature;
        const char* label;
        const char* name;
        std::uint16_t image;
    } kinds[] = {
        {0xB1, "Rect", "VmRect", 30},
        {0xB6, "Ellipse", "VmEllipse", 36},
        {0xB8, "Round Rect", "VmRoundRect", 37},
        {0xB9, "Button", "VmButton", 6},
    };
    for (const auto& k : kinds) {
        SCOPED_TRACE(k.label);
        RecordBody b = Shape(ObjectHeader(4, 2, 0xEEEE)).bytes(Spare16(0xC0));
        b.text("Home").text("Go").u8(0xDD);
        RecordEncoder e(19);
        e.Add(k.signature, b);
        const std::string expected = std::string("(cd-record \n    (record-type ") + k.name +
                                     ")\n    (length 85)\n" + ShownHeader("draw-object") +
                                     kShownShape +
                                     "    (drobj-name \"Home\")\n"
                                     "    (drobj-label \"Go\")\n"
                                     "    (remaining-data DD))\n";
        EXPECT_EQ(DumpOf(e, 19), expected);
        Walked w(e, 19);
        EXPECT_EQ(w.At(0).GetLabel(), std::string(k.label) + "  -  Home");
        EXPECT_EQ(w.At(0).GetImage()->strip, k.image);
        EXPECT_EQ(imagecache::Entry(w.At(0).GetImage()->entry).bitmap, 117);
        EXPECT_EQ(w.At(0).GetHelpContext(), 0xC0000u + k.signature);

        // Without a name the label is the class label alone.
        RecordBody unnamed = ObjectHeader(0, 0, 0).zeros(28);
        EXPECT_EQ(LabelOf(RecordEncoder(19).Add(k.signature, unnamed), 19), k.label);
    }
}

TEST(NavigatorDrawing, SpareBytesOfTheHeaderAndTheObjectAreTheirOwn) {
    CInfoPaneOptions options;
    options.ShowSpareBytes = 1;
    const RecordBody b = Shape(ObjectHeader(0, 0, 0xEEEE)).bytes(Spare16(0xC0));
    const std::string shown = DumpOf(RecordEncoder(19).Add(0xB1, b), 19, &options);
    EXPECT_TRUE(Has(shown, "(alignment 0x0012)\n        (spare \n            A0 A1 A2 A3 A4 A5 A6 "
                           "A7.A8 A9 AA AB AC AD AE AF"))
        << shown;
    EXPECT_TRUE(Has(shown, "(fill-style Solid)\n    (spare \n        C0 C1 C2 C3 C4 C5 C6 C7.C8 "
                           "C9 CA CB CC CD CE CF"))
        << shown;
    // The u16 before the header's spare bytes is not shown in the small header.
    EXPECT_FALSE(Has(shown, "EE")) << shown;
    EXPECT_FALSE(Has(shown, "wrap")) << shown;
}

TEST(NavigatorDrawing, BitmapAndRegion) {
    RecordBody bitmap = ObjectHeader(3, 0, 0);
    bitmap.u16(6).u16(2).u16(3).u16(1).bytes(Spare16(0)).text("Map").u8(0x11).u8(0x22);
    const std::string shownBitmap = DumpOf(RecordEncoder(19).Add(0xB0, bitmap), 19);
    EXPECT_EQ(shownBitmap, "(cd-record \n"
                           "    (record-type VmBitmap)\n"
                           "    (length 79)\n" +
                               ShownHeader("draw-object") +
                               "    (data-len 6)\n"
                               "    (x-bytes 2)\n"
                               "    (y-bits 3)\n"
                               "    (z-bits 1)\n"
                               "    (drobj-name \"Map\")\n"
                               "    (drobj-label \"\")\n"
                               "    (remaining-data 11 22))\n");
    EXPECT_EQ(LabelOf(RecordEncoder(19).Add(0xB0, bitmap), 19), "Bitmap  -  Map");

    RecordBody region = ObjectHeader(0, 5, 0);
    region.u16(2).u16(0).u16(7).u16(1).bytes(Spare16(0)).text("North");
    Walked w(RecordEncoder(19).Add(0xB4, region), 19);
    EXPECT_EQ(Normal(Dump(w.At(0))), "(cd-record \n"
                                     "    (record-type VmRegion)\n"
                                     "    (length 79)\n" +
                                         ShownHeader("draw-object") +
                                         "    (line-color Red)\n"
                                         "    (line-style Solid)\n"
                                         "    (line-width 7)\n"
                                         "    (fill-style Solid)\n"
                                         "    (drobj-name \"\")\n"
                                         "    (drobj-label \"North\"))\n");
    EXPECT_EQ(w.At(0).GetLabel(), "Region"); // a label text does not name the object
    EXPECT_EQ(w.At(0).GetImage()->strip, 33);
}

TEST(NavigatorDrawing, TextBoxHasTheBigHeader) {
    CInfoPaneOptions options;
    options.ShowSpareBytes = 1;
    const RecordBody b = Shape(ObjectHeader(2, 0, 1)).bytes(Spare16(0xC0)).text("T1");
    RecordEncoder e(19);
    e.Add(0xFFBB, b);
    const std::string shown = DumpOf(e, 19);
    EXPECT_EQ(shown, "(cd-record \n"
                     "    (record-type VmTextBox)\n"
                     "    (length 82)\n" +
                         ShownHeader("big-draw-object", "True") + kShownShape +
                         "    (drobj-name \"T1\")\n"
                         "    (drobj-label \"\"))\n");
    EXPECT_EQ(LabelOf(e, 19), "Text Box  -  T1");
    const std::string spares = DumpOf(e, 19, &options);
    EXPECT_TRUE(Has(spares, "(wrap True)\n        (spare \n            A0 A1")) << spares;
    EXPECT_TRUE(Has(spares, "(fill-style Solid)\n    (spare \n        C0 C1")) << spares;
    // In rich text the same signature is a Pab Hide.
    EXPECT_EQ(LabelOf(RecordEncoder(1).Add(0xFFBB, RecordBody().u16(4).zeros(8)), 1), "Pab Hide 4");
}

TEST(NavigatorDrawing, PolygonPolyRegionAndPolylineListTheirPoints) {
    for (std::uint16_t signature : {0xFFBC, 0xFFBE}) {
        SCOPED_TRACE(signature);
        RecordBody b = Shape(ObjectHeader(1, 1, 0)).u16(2).bytes(Spare16(0));
        b.text("P").text("Q").u32(0xFFFFFFFF).u32(7).u32(8).u32(9);
        RecordEncoder e(19);
        e.Add(signature, b);
        const bool polygon = signature == 0xFFBC;
        // A point's -1 is shown unsigned, while the rectangle's -1 is signed.
        EXPECT_EQ(DumpOf(e, 19), std::string("(cd-record \n    (record-type ") +
                                     (polygon ? "VmPolygon" : "VmPolyRegion") +
                                     ")\n    (length 100)\n" +
                                     ShownHeader("big-draw-object", "False") + kShownShape +
                                     "    (n-pts 2)\n"
                                     "    (drobj-name \"P\")\n"
                                     "    (drobj-label \"Q\")\n"
                                     "    (points \n"
                                     "        4294967295 7    ; in pixels\n"
                                     "        8 9\n"
                                     "        ))\n");
        Walked w(e, 19);
        EXPECT_EQ(w.At(0).GetLabel(), polygon ? "Polygon  -  P" : "PolyRegion  -  P");
        EXPECT_EQ(w.At(0).GetImage()->strip, polygon ? 31 : 34);

        // No points: an empty points field, and the body ends after the texts.
        const RecordBody none =
            Shape(ObjectHeader(1, 0, 0)).u16(0).bytes(Spare16(0)).text("P").u8(0x5A);
        const std::string empty = DumpOf(RecordEncoder(19).Add(signature, none), 19);
        EXPECT_TRUE(Has(empty, "    (drobj-label \"\")\n    (points \n        )    ; in pixels\n"))
            << empty;
        EXPECT_TRUE(Has(empty, "(remaining-data 5A")) << empty;
    }

    RecordBody line = ObjectHeader(0, 0, 1);
    line.u16(4).u16(0).u16(3).u16(1).bytes(Spare16(0)).u32(10).u32(20);
    Walked w(RecordEncoder(19).Add(0xFFBD, line), 19);
    EXPECT_EQ(Normal(Dump(w.At(0))), "(cd-record \n"
                                     "    (record-type VmPolyLine)\n"
                                     "    (length 84)\n" +
                                         ShownHeader("big-draw-object", "True") +
                                         "    (line-color Blue)\n"
                                         "    (line-style Solid)\n"
                                         "    (line-width 3)\n"
                                         "    (n-pts 1)\n"
                                         "    (drobj-name \"\")\n"
                                         "    (drobj-label \"\")\n"
                                         "    (points \n"
                                         "        10 20    ; in pixels\n"
                                         "        ))\n");
    EXPECT_EQ(w.At(0).GetLabel(), "Polyline");
    EXPECT_EQ(w.At(0).GetImage()->strip, 32);
}

TEST(NavigatorDrawing, CountsAndLengthsAreBelievedOnlyAsFarAsTheRecordGoes) {
    // A polygon that claims 1000 points and holds one and a half.
    RecordBody b = ObjectHeader(0, 0, 0);
    b.u16(0).u16(0).u16(0).u16(0).u16(0).u16(0).u16(1000).bytes(Spare16(0));
    b.u32(1).u32(2).u32(3).u16(4);
    const std::string points = DumpOf(RecordEncoder(19).Add(0xFFBC, b), 19);
    EXPECT_TRUE(Has(points, "    (points \n        1 2    ; in pixels\n"
                            "        )    ; *** Length is too short\n"))
        << points;
    EXPECT_TRUE(Has(points, "(remaining-data 03 00 00 00 04 00")) << points;

    // A name that claims more than the record holds: cut, and so is the label.
    RecordBody name = ObjectHeader(300, 0, 0);
    name.u16(0).u16(0).u16(0).u16(0).u16(0).u16(0).bytes(Spare16(0)).text("Far");
    const RecordEncoder far = RecordEncoder(19).Add(0xB1, name);
    const std::string text = DumpOf(far, 19);
    EXPECT_TRUE(Has(text, "(drobj-name \"Far\")    ; *** Length is too short\n")) << text;
    EXPECT_EQ(LabelOf(far, 19), "Rect  -  Far");
}

TEST(NavigatorDrawing, Action2AndTheHeader) {
    RecordBody b;
    // highlight touch, current; outline colour 4, fill colour 5; click action 8; string length
    // 3; outline width 2; outline style 0; no link; extra data length 6; design type 7.
    b.u16(1).u16(0).u16(4).u16(5).u16(8).u16(3).u16(2).u16(0).zeros(40).u16(6).u16(7);
    b.zeros(8).text("abc");
    RecordEncoder e(19);
    e.Add(0xFFBA, b);
    // The layout is the golden dump's; here the values it does not hold.
    ExpectInOrder(DumpOf(e, 19),
                  {"(highlight-touch True)", "(highlight-current False)", "(hl-outline-color Blue)",
                   "(hl-fill-color Magenta)", "(click-action GotoURL)", "(hl-outline-width 2)",
                   "(ext-data-len 6)", "(action-data-design-type 0x7)",
                   "(action-string \"abc\"))\n"});
    EXPECT_EQ(LabelOf(e, 19), "Action2");

    // Without a string the body ends at 72; what follows is remaining data.
    RecordBody none;
    none.u16(0).u16(0).u16(0).u16(0).u16(6).u16(0).u16(0).u16(0).zeros(40).u16(0).u16(0);
    none.zeros(8).text("abc");
    const std::string plain = DumpOf(RecordEncoder(19).Add(0xFFBA, none), 19);
    EXPECT_TRUE(Has(plain, "(click-action RunFormula)")) << plain;
    EXPECT_FALSE(Has(plain, "action-string")) << plain;
    EXPECT_TRUE(Has(plain, "(remaining-data 61 62 63")) << plain;

    const RecordEncoder header =
        RecordEncoder(19).Add(0xAF, RecordBody().u16(3).u16(3).text("Nav"));
    ExpectInOrder(DumpOf(header, 19), {"(version 3)", "(name \"Nav\"))\n"});
    EXPECT_EQ(LabelOf(header, 19), "VM Header");
    // The byte-form action stays generic: all of its body is remaining data.
    const RecordEncoder action = RecordEncoder(19).Add(0xB5, RecordBody().u16(0x4321));
    EXPECT_EQ(LabelOf(action, 19), "VmAction");
    EXPECT_TRUE(Has(DumpOf(action, 19), "(remaining-data 21 43")) << DumpOf(action, 19);
}

// A byte-form point record: name and label lengths at 20 and 22, the count at countAt.
RecordBytes PointRecord(std::uint8_t signature, std::uint8_t byteLength, std::size_t countAt,
                        std::size_t size) {
    RecordBytes r(size, 0);
    r[0] = signature;
    r[1] = byteLength;
    r[20] = 3;
    r[22] = 5;
    r[countAt] = 2;
    return r;
}

TEST(NavigatorWalk, PointRecordsStepOverTheirPoints) {
    const struct {
        std::uint8_t signature;
        const char* name;
        std::size_t countAt;
        std::size_t step; // names 3 + labels 5 + 2 points + the fixed part
    } records[] = {
        {0xB2, "VmPolygonByte", 62, 3 + 5 + 16 + 80},
        {0xC0, "VmPolyRegionByte", 62, 3 + 5 + 16 + 80},
        {0xB3, "VmPolyLineByte", 56, 3 + 5 + 16 + 74},
    };
    for (const auto& r : records) {
        SCOPED_TRACE(r.name);
        // The stored byte says 6; the record holds `step` bytes, and a paragraph follows.
        RecordBytes stream = {19, 0};
        const RecordBytes record = PointRecord(r.signature, 6, r.countAt, r.step);
        stream.insert(stream.end(), record.begin(), record.end());
        stream.insert(stream.end(), {0x81, 0x02});
        WalkedStream w = Walk(stream, 19);
        const auto nodes = w.Records();
        ASSERT_EQ(nodes.size(), 2u);
        EXPECT_EQ(nodes[0]->Span().record - stream.data(), 2);
        EXPECT_EQ(nodes[1]->Span().record - stream.data(), long(2 + r.step));
        EXPECT_EQ(nodes[1]->GetLabel(), "Paragraph");
        // The node is generic, of the byte length: its body is the 4 bytes after the header.
        EXPECT_EQ(nodes[0]->GetLabel(), r.name);
        const ShownRecord shown(Dump(*nodes[0]));
        EXPECT_FALSE(shown.saysShort) << shown.text;
        EXPECT_EQ(shown.remaining, (RecordBytes{0, 0, 0, 0})) << shown.text;
        EXPECT_TRUE(Has(shown.text, "(length 6)")) << shown.text;

        // An odd step rounds up to an even start.
        RecordBytes odd = {19, 0};
        RecordBytes longer = PointRecord(r.signature, 6, r.countAt, r.step + 1);
        longer[20] = 4;
        odd.insert(odd.end(), longer.begin(), longer.end());
        odd.insert(odd.end(), {0, 0x81, 0x02});
        EXPECT_EQ(Walk(odd, 19).Records().at(1)->Span().record - odd.data(), long(2 + r.step + 2));

        // In rich text the byte length is the step.
        WalkedStream rich = Walk(RecordBytes{1, 0, r.signature, 6, 0, 0, 0, 0, 0x81, 0x02}, 1);
        EXPECT_EQ(rich.Records().size(), 2u);

        // Every cut of the measured bytes ends the walk at the record, which says so: the
        // step is never shorter than the fixed part, whatever of its counts is missing.
        for (std::size_t n = 1; n < r.step; ++n) {
            RecordBytes cut = {19, 0};
            cut.insert(cut.end(), record.begin(), record.begin() + long(n));
            auto heap = std::make_unique<std::uint8_t[]>(cut.size());
            std::copy(cut.begin(), cut.end(), heap.get());
            WalkedStream c = Walk(heap.get(), cut.size(), 19);
            const auto cutNodes = c.Records();
            ASSERT_EQ(cutNodes.size(), 1u) << n;
            EXPECT_TRUE(cutNodes[0]->Span().cutShort) << n;
            EXPECT_TRUE(ShownRecord(Dump(*cutNodes[0])).saysShort) << n;
        }
    }
    // The long form of a point signature is measured the same way.
    RecordBytes stream = {19, 0, 0xB2, 0, 6, 0, 0, 0};
    RecordBytes rest(104 - 6, 0);
    rest[20 - 6] = 3;
    rest[22 - 6] = 5;
    rest[62 - 6] = 2;
    stream.insert(stream.end(), rest.begin(), rest.end());
    stream.insert(stream.end(), {0x81, 0x02});
    WalkedStream w = Walk(stream, 19);
    ASSERT_EQ(w.Records().size(), 2u);
    EXPECT_EQ(w.Records()[0]->Signature(), 0xB2);
    EXPECT_EQ(w.Records()[1]->Span().record - stream.data(), 2 + 104);
}

// A layout stream of one record of every decoded drawing kind.
RecordEncoder EveryDrawing() {
    RecordEncoder e(19);
    e.Add(0xAF, RecordBody().u16(3).u16(3).text("Nav"));
    const auto shape = [](std::uint16_t nameLength) {
        return Shape(ObjectHeader(nameLength, 2, 0)).bytes(Spare16(0xC0));
    };
    for (std::uint8_t s : {0xB1, 0xB6, 0xB8, 0xB9})
        e.Add(s, RecordBody(shape(4)).text("Home").text("Go"));
    RecordBody bitmap = ObjectHeader(3, 0, 0).u16(2).u16(1).u16(1).u16(1).bytes(Spare16(0));
    e.Add(0xB0, bitmap.text("Map").u8(0x11).u8(0x22));
    e.Add(0xB4, ObjectHeader(0, 1, 0).u16(2).u16(0).u16(7).u16(1).bytes(Spare16(0)).text("N"));
    RecordBody action;
    action.u16(1).u16(0).u16(4).u16(5).u16(8).u16(3).u16(2).u16(0).zeros(40).u16(6).u16(7);
    e.Add(0xFFBA, action.zeros(8).text("abc"));
    e.Add(0xFFBB, RecordBody(shape(2)).text("T1").text("ab"));
    for (std::uint16_t s : {0xFFBC, 0xFFBE}) {
        RecordBody b = Shape(ObjectHeader(1, 1, 0)).u16(2).bytes(Spare16(0));
        e.Add(s, b.text("P").text("Q").u32(1).u32(2).u32(3).u32(4));
    }
    e.Add(0xFFBD,
          ObjectHeader(0, 0, 1).u16(4).u16(0).u16(3).u16(1).bytes(Spare16(0)).u32(10).u32(20));
    return e;
}

RecordBody Dataset() {
    RecordBody b;
    // version 2, 2 unused bytes, grid 10 pixels, both flags, auto adjust, background 4.
    b.u16(2).u16(0xEEEE).u16(10).u16(3).u16(0xABCD).u16(4);
    for (std::uint16_t i = 0; i < 32; ++i)
        b.u16(std::uint16_t(100 + i));
    // Drawing defaults: each u16 of a group is its group's number times 16 plus its place.
    const std::size_t sizes[] = {28, 24, 12, 28, 12, 28};
    for (std::size_t g = 0; g < 6; ++g) {
        for (std::size_t i = 0; i < 12 && 2 * i < sizes[g]; ++i)
            b.u16(std::uint16_t(16 * (g + 1) + i));
        if (sizes[g] == 28)
            b.u32(0x0A000001);
    }
    return b.u16(16).u32(0xEEEEEEEE).bytes(Spare16(0xC0)).zeros(44);
}

std::string ShownDefaults(const char* label, std::size_t group, std::size_t size) {
    const auto n = [&](std::size_t i) { return std::to_string(16 * group + i); };
    // Colours by their names (the colour formatter has tests of its own).
    const auto c = [&](std::size_t i) {
        CStringWriter out;
        out.Begin();
        out.Color(std::uint16_t(16 * group + i));
        out.End();
        return out.Result();
    };
    std::string s = std::string("    (") + label +
                    " \n"
                    "        (highlight-defaults \n"
                    "            (highlight-touch True)\n"
                    "            (highlight-current True)\n"
                    "            (outline-color " +
                    c(2) + ")\n            (outline-width " + n(3) +
                    ")\n            (outline-style " + n(4) + ")\n            (fill-color " + c(5) +
                    "))";
    if (size > 12)
        s += "\n        (line-color " + c(6) + ")\n        (fill-fg-color " + c(7) +
             ")\n        (fill-bg-color " + c(8) + ")\n        (line-style " + n(9) +
             ")\n        (line-width " + n(10) + ")\n        (fill-style " + n(11) + ")";
    if (size > 24)
        s += "\n        (fontid Swiss 10 pt Normal Black)";
    return s + ")\n";
}

TEST(NavigatorDataset, TheDatasetRecord) {
    RecordEncoder e(18);
    e.Add(0xFF57, Dataset());
    std::string expected = "(cd-record \n"
                           "    (record-type ViewMapDataset)\n"
                           "    (length 278)\n"
                           "    (version 2)\n"
                           "    (grid-size 10)    ; pixels\n"
                           "    (flags ShowGrid SnapToGrid)\n"
                           "    (auto-adjust 0xABCD)\n"
                           "    (bg-color Blue)\n"
                           "    (seq-nums";
    for (int i = 0; i < 32; ++i)
        expected += " " + std::to_string(100 + i);
    expected += " )\n" + ShownDefaults("shapes", 1, 28) + ShownDefaults("lines", 2, 24) +
                ShownDefaults("regions", 3, 12) + ShownDefaults("buttons", 4, 28) +
                ShownDefaults("bitmaps", 5, 12) + ShownDefaults("text-boxes", 6, 28) +
                "    (num-palette-entries 16))\n";
    EXPECT_EQ(DumpOf(e, 18), expected);
    CInfoPaneOptions options;
    options.ShowSpareBytes = 1;
    const std::string spare = DumpOf(e, 18, &options);
    EXPECT_TRUE(Has(spare, "(num-palette-entries 16)\n    (spare \n        C0 C1 C2")) << spare;

    Walked w(e, 18);
    EXPECT_EQ(w.At(0).GetLabel(), "View Map Dataset");
    EXPECT_EQ(w.At(0).GetImage()->strip, 20);
    EXPECT_EQ(imagecache::Entry(w.At(0).GetImage()->entry).bitmap, 116);
    EXPECT_EQ(imagecache::Entry(w.At(0).GetImage()->entry).mask, 135);
    EXPECT_EQ(w.At(0).GetHelpContext(), 0xF0000u + 0xFF57);

    // Short of its 278 bytes, the record says so and shows what it holds.
    RecordEncoder cut(18);
    cut.Word(0xFF57, RecordBody().u16(2).u16(0).u16(10).u16(3).u16(0).u16(4).u16(100), 18);
    const std::string shortOne = DumpOf(cut, 18);
    EXPECT_TRUE(Has(shortOne, "(length 18)    ; *** Length is too short (should be at least 278)"))
        << shortOne;
    EXPECT_TRUE(Has(shortOne, "(bg-color Blue)")) << shortOne;
    EXPECT_TRUE(Has(shortOne, "(remaining-data 64 00")) << shortOne;
}

TEST(NavigatorDataset, OtherSignaturesArePlainRecords) {
    for (int symbols : {1, 0}) {
        CNodeDocument doc;
        doc.InfoOptions().ShowSymbols = symbols;
        const RecordBytes stream = RecordEncoder(18).Word(0xFF58, RecordBody().u16(1)).Stream();
        CNoteNode parent(&doc);
        auto factory = MakeRecordFactory(18);
        ASSERT_EQ(AddRecordNodes(parent, *factory, stream.data(), stream.size()), 0);
        auto* node = static_cast<TNCdRecord*>(parent.GetFirstChild());
        EXPECT_EQ(node->GetLabel(), "0xff58") << symbols;
        EXPECT_EQ(node->GetImage()->strip, 0);
        EXPECT_EQ(imagecache::Entry(node->GetImage()->entry).bitmap, 117);
        EXPECT_TRUE(Has(Normal(Dump(*node)), "(remaining-data 01 00))")) << Dump(*node);
    }
    // The drawing records are not dataset records, nor the other way round.
    EXPECT_EQ(LabelOf(RecordEncoder(18).Add(0xB1, RecordBody()), 18), "0xb1");
    EXPECT_EQ(LabelOf(RecordEncoder(19).Add(0xFF57, Dataset()), 19), "Record type 65367");
}

TEST(NavigatorRecords, EveryCutOfEveryRecordSaysShort) {
    const RecordEncoder drawing = EveryDrawing();
    {
        // Every record is whole as it stands.
        Walked w(drawing, 19);
        ASSERT_EQ(w.walk.Records().size(), 12u);
        for (TNCdRecord* r : w.walk.Records()) {
            const ShownRecord shown(Dump(*r));
            EXPECT_FALSE(shown.saysShort) << shown.text;
            EXPECT_NE(r->Kind(), nullptr) << shown.text;
        }
    }
    ExpectEveryCutSaysShort("drawing", drawing.Stream(), 19, {19, 1, 18});
    const RecordEncoder dataset = RecordEncoder(18).Add(0xFF57, Dataset());
    ExpectEveryCutSaysShort("dataset", dataset.Stream(), 18, {18, 19});
}

TEST(NavigatorRecords, DamagedStreamsDecodeWithinTheirBytes) {
    // Counts and lengths changed at random: every record shows only its own bytes, and only
    // the last one may be cut, which it then says.
    std::mt19937 random(20261208);
    const RecordBytes streams[] = {EveryDrawing().Stream(),
                                   RecordEncoder(18).Add(0xFF57, Dataset()).Stream()};
    for (int round = 0; round < 2000; ++round) {
        RecordBytes bytes = streams[round % 2];
        for (int i = 0, n = 1 + int(random() % 6); i < n; ++i)
            bytes[2 + random() % (bytes.size() - 2)] = std::uint8_t(random());
        bytes.resize(2 + random() % (bytes.size() - 1));
        auto heap = std::make_unique<std::uint8_t[]>(bytes.size());
        std::copy(bytes.begin(), bytes.end(), heap.get());
        const WalkedStream w = Walk(heap.get(), bytes.size(), round % 2 ? 18 : 19);
        const auto records = w.Records();
        for (std::size_t i = 0; i < records.size(); ++i) {
            const RecordSpan& span = records[i]->Span();
            const ShownRecord shown(Dump(*records[i]));
            const std::string where = "round " + std::to_string(round) + ":\n" + shown.text;
            ASSERT_LE(span.record + span.Size(), heap.get() + bytes.size()) << where;
            ASSERT_TRUE(!span.cutShort || (i + 1 == records.size() && shown.saysShort)) << where;
            ASSERT_LE(shown.remaining.size(), span.Size()) << where;
            ASSERT_TRUE(std::equal(shown.remaining.begin(), shown.remaining.end(),
                                   span.record + span.Size() - shown.remaining.size()))
                << where;
        }
    }
}

} // namespace
