#include "RecordSamples.h"

namespace {

RecordBody PabDefinition() {
    RecordBody b;
    b.u16(7).u16(3).u16(2).u16(1).u16(0).u16(1440).u16(0).u16(720).u16(3);
    b.i16(720).i16(1440).i16(-360).zeros(2 * 17);
    b.u16(0x0402).u32(0x39).zeros(2); // tab types: Right, Decimal, Center
    return b;
}

RecordBody Field(bool older) {
    const RecordBytes dv = RecordBody::Formula("\"Draft\"");
    const RecordBytes it = RecordBody::Formula("trim(#Status)");
    const RecordBytes iv = RecordBody::Formula("if #Status == \"\" then \"Needed\" else \"\"");
    RecordBody b;
    b.u16(0x0208).u16(0x0500).u16(0x2002).u8(2).u8(1).u8(1).u8(0).u8(0).u8(0).u8(1).u8(2);
    b.u32(0x0A000001).u16(std::uint16_t(dv.size())).u16(std::uint16_t(it.size())).u16(0);
    b.u16(std::uint16_t(iv.size())).u16(6).u16(9);
    if (!older)
        b.u16(15); // the bytes of the value list: its count, 2 lengths and 9 bytes of text
    b.bytes(dv).bytes(it).bytes(iv).text("Status").text("The state");
    if (!older)
        b.u16(2).u16(5).u16(4).text("Draft").text("Done");
    return b;
}

} // namespace

std::vector<SampleStream> SampleStreams() {
    std::vector<SampleStream> out;

    RecordEncoder body(1);
    body.Add(0xFF82, PabDefinition());
    body.Add(0xA6, RecordBody().u32(1).u16(7).text("Heading", 36).u32(0x0C000101));
    body.Add(0x81, RecordBody());
    body.Add(0x83, RecordBody().u16(7));
    body.Add(0xFF85, RecordBody().u32(0x0A000000).text("Quarterly figures"));
    body.Add(0xFFC3, RecordBody().u32(0x0C020104));
    body.Add(0xFF85,
             RecordBody()
                 .u32(0x0A000100)
                 .text("A run of text long enough to be cut short in the label of its node."));
    body.Add(0xBC, RecordBody().u16(7).u16(8));
    body.Add(0xFFBB,
             RecordBody().u16(8).zeros(8).bytes(RecordBody::Formula("match #Status == \"Done\"")));
    body.Add(0xFF91, RecordBody().u16(1).text("See the summary"));
    // A link to the document of this database (replica id and identifiers as stored, low word
    // first), through no view.
    RecordBody link;
    link.u32(0x41208040).u32(0x05BA147F).zeros(16);
    link.u32(0x41208040).u32(0x05BA147F).u32(0xFCA08040).u32(0x05BA147F);
    body.Add(0xFF92, link.text("Budget"));
    // Pictures: a bitmap with its colours and two segments, and a metafile in two segments.
    const auto picture = [&body](std::uint8_t signature, const RecordBody& fields) {
        body.Long(signature, fields);
    };
    picture(0x99, RecordBody().u16(64).u16(32).u16(960).u16(480).zeros(10).u8(2).u8(1).zeros(2));
    RecordBody bitmap;
    bitmap.u16(960).u16(480).u16(960).u16(480).u16(0x1).zeros(6);
    bitmap.u16(64).u16(32).u16(8).u16(1).u16(8).u16(2).u16(5).u16(0);
    picture(0x95, bitmap);
    picture(0x97,
            RecordBody().bytes({0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF}));
    picture(0x96, RecordBody().zeros(8).u16(16).u16(8).bytes({0xFE, 0, 0xFE, 1, 0xFE, 2, 0xFE, 3}));
    picture(0x96, RecordBody().zeros(8).u16(16).u16(8).bytes({0xFE, 4, 0xFE, 3, 0xFE, 2, 0xFE, 1}));
    picture(0x99,
            RecordBody().u16(1440).u16(720).u16(1440).u16(720).zeros(10).u8(1).u8(0).zeros(2));
    picture(0x9F, RecordBody().u16(8).i16(2000).i16(1000).u16(1440).u16(720).u32(16).u16(2));
    picture(0x9B, RecordBody().u16(8).u16(8).bytes({1, 0, 9, 0, 0, 3, 0x0C, 0}));
    picture(0x9B, RecordBody().u16(8).u16(8).bytes({3, 0, 0, 0, 0, 0, 0, 0}));
    // A table of two rows of two cells, a pop-up in its last cell; then a button whose hotspot
    // holds one action.
    body.Add(0xA3, RecordBody().u16(720).u16(144).u16(72).u16(0).u16(0).u16(0x3));
    const auto cell = [&](std::uint8_t row, std::uint8_t column, std::uint16_t right,
                          std::uint8_t border, std::uint8_t flags, std::uint16_t sides,
                          std::uint16_t color) {
        RecordBody b;
        b.u8(row).u8(column).u16(0).u16(right).u16(5000).u8(border).u8(flags).u16(sides);
        body.Add(0xA4, b.u8(1).u8(1).u16(color));
    };
    cell(0, 0, 2880, 0x65, 0x3, 0x1211, 6);
    body.Add(0xFF85, RecordBody().u32(0x0A000100).text("Task"));
    cell(0, 1, 5760, 0x65, 0, 0, 0);
    body.Add(0xFF85, RecordBody().u32(0x0A000100).text("State"));
    cell(1, 0, 2880, 0x55, 0, 0, 0);
    body.Add(0xFF85, RecordBody().u32(0x0A000000).text("Budget"));
    cell(1, 1, 5760, 0x55, 0, 0, 0);
    body.Add(0xFFAD, RecordBody().u16(1).u32(0).u16(17).text("Approved in March"));
    body.Add(0xFF85, RecordBody().u32(0x0A000000).text("Done"));
    body.Add(0xAE, RecordBody());
    body.Add(0xA5, RecordBody().u16(0).u16(0));
    const RecordBytes actions = RecordEncoder(16).Byte(0x8A, RecordBody().u32(0)).Stream();
    body.Add(0xFFA9, RecordBody().u16(3).u32(0x80).u16(0).bytes(actions));
    body.Add(0xFFAB,
             RecordBody().u16(0x4).u16(1440).u16(360).u16(1).u32(0x0A000001).text("Mark read"));
    body.Add(0xAA, RecordBody());
    // An embedded object and a linked one, a layout region with a text and a field, an action
    // bar.
    RecordBody ole;
    ole.u16(2).u32(0x1).u16(0x2).u16(8).u16(14).u16(0);
    body.Add(0xFFA7, ole.text("EXT12345").text("Sheet.Document"));
    body.Add(0xFFA8, RecordBody().u32(0));
    RecordBody dde;
    dde.text("Sheets", 32).text("budget.sht", 100).text("R1C1:R4C3", 64);
    body.Add(0xFFA1, dde.u32(0x1).zeros(80).u16(0).u16(0x1));
    body.Add(0xFFA2, RecordBody().u32(0));
    body.Add(0xB7, RecordBody().u16(360).u16(7200).u16(2160).u32(0x7).u16(90).zeros(14));
    RecordBody text;
    text.u16(90).u16(90).u16(1800).u16(360).u32(0x0A000101).u8(0).zeros(7);
    body.Add(0xB8, text.u32(0x20000000).zeros(16).text("Status"));
    RecordBody field;
    field.u16(1980).u16(90).u16(3600).u16(360).u32(0x0A000001).u8(1).zeros(7);
    body.Add(0xBA, field.u32(0x1).u8(0).zeros(15));
    body.Add(0xB9, RecordBody().zeros(16));
    body.Add(0xBD, RecordBody().u16(15).u16(14).u16(0).u16(0).u16(1).u32(0).zeros(12));
    out.push_back({"Body", std::move(body)});

    RecordEncoder form(1);
    form.Add(
        0x86,
        RecordBody().u16(1).u16(0x0021).u16(0x0003).u16(0x0108).u16(6).u8(72).u8(0).zeros(10).text(
            "Parent"));
    form.Add(0xFF8E, RecordBody().u8(0x22).text("Serif", 32).u32(0x0A000001).u16(5).text("Title"));
    RecordBody fonts;
    fonts.u16(2).u8(5).u8(0x12).text("Garamond", 32).u8(6).u8(0x22).text("Courier", 32);
    form.Add(0xFF8B, fonts);
    form.Add(0xFF8A, Field(false));
    form.Add(0xFF84, Field(true));
    RecordBody lookup;
    lookup.u32(0x12010000).u32(1).u16(3).u16(8).u16(6).u16(2);
    form.Add(0xFFB0, lookup.text("names.nf").text("People"));
    form.Add(
        0xFF8F,
        RecordBody().u32(0x0A000000).u16(2).u16(0x0015).u16(3).text("Red").u16(4).text("Blue"));
    out.push_back({"$Body", std::move(form)});
    return out;
}
