// Item nodes: the common fields, remaining data, labels, images and help contexts.
#include "ItemTestSupport.h"
#include "items/ItemComposite.h"
#include "items/ItemObject.h"
#include "output/InfoPaneWriter.h"
#include "output/UpdateHints.h"
#include "support/FakeTree.h"
#include "support/RecordEncoder.h"
#include "tree/NodeTypes.h"

namespace {

using namespace itemenc;

TEST(ItemNode, NumberRangeShowsListAndLeavesPairsAsRemainingData) {
    ItemTestDocument doc;
    StoredValue v(0x301, NumberRange({1.5, -2}, {{3, 4}}));
    auto node = MakeItem(v, "Budget", 0x301, &doc, 0x4);
    const std::string out = FieldsOf(*node);
    EXPECT_TRUE(
        InOrder(out, {"(name \"Budget\")", "(type NumberRange)", "(class Number)",
                      "(flags Summary)", "(length 36)", "(value", "1.5", "-2", "(remaining-data"}));
    // The pair's 16 bytes: 3.0 and 4.0 as doubles.
    EXPECT_TRUE(
        InOrder(out, {"(remaining-data", "00 00 00 00 00 00 08 40", "00 00 00 00 00 00 10 40"}));
    EXPECT_EQ(Count(out, "; 000"), 1) << out;
}

TEST(ItemNode, UndecodedTypeShowsOnlyHeaderAndBytes) {
    ItemTestDocument doc;
    StoredValue v(12, Bytes{0x0a, 0, 0x0b, 0});
    auto node = MakeItem(v, "Highlights", 12, &doc);
    const std::string out = FieldsOf(*node);
    EXPECT_TRUE(InOrder(out, {"(name", "(type Highlights)", "(class NoCompute)", "(flags",
                              "(length 4)", "(remaining-data", "0A 00 0B 00"}));
    EXPECT_EQ(out.find("(value"), std::string::npos);
}

// The class is the type's high byte through a masked table: a class without a row shows its
// bits in hex, as every flag and bit-field table does, and the low byte never shows.
TEST(ItemNode, ClassNamesTheHighByteOrShowsItInHex) {
    ItemTestDocument doc;
    struct Case {
        std::uint16_t type;
        const char* expected;
    } cases[] = {
        {0x0800, "(class 0x800)"},     {0x0A05, "(class 0xa00)"},  {0x0501, "(class Text)"},
        {0x0013, "(class NoCompute)"}, {0xFF00, "(class 0xff00)"},
    };
    for (const Case& c : cases) {
        StoredValue v(c.type, Bytes{1, 2});
        auto node = MakeItem(v, "Odd", c.type, &doc);
        const std::string out = FieldsOf(*node);
        EXPECT_NE(out.find(c.expected), std::string::npos) << c.type << out;
    }
}

// Control bytes of a stored text never reach a dump or the info pane as they are: the value
// and the flag comment that names its characters show them escaped, even with "Display
// non-ASCII" on.
TEST(ItemNode, ControlBytesOfAFlagItemAreEscaped) {
    ItemTestDocument doc;
    const Bytes text{'n', 0, 0x01, 0x1b, 0x7f};
    const auto hasControl = [](const std::string& out) {
        for (const char c : out)
            if ((static_cast<unsigned char>(c) < 32 && c != '\n') || c == 0x7f)
                return true;
        return false;
    };
    for (const int highBit : {0, 1}) {
        CInfoPaneOptions options;
        options.ShowDisplayHighBit = highBit;
        StoredValue v(0x500, text);
        auto node = MakeItem(v, "$ReplFlags", 0x500, &doc);

        const std::string dump = FieldsOf(*node, &options);
        EXPECT_FALSE(hasControl(dump)) << highBit << dump;
        EXPECT_TRUE(
            InOrder(dump, {"(value \"n\\0\\x01\\x1b\\x7f\")", "; NoRepl \\0 \\x01 \\x1b \\x7f "}))
            << highBit << dump;

        CCellMeasure measure(10, 20);
        CInfoPaneWriter pane(measure, InfoPaneMetrics::Measure(measure), &options);
        pane.Begin();
        node->WriteFields(pane);
        pane.End();
        std::string shown;
        for (const InfoPaneLine& line : pane.Lines())
            for (const InfoPaneRun& run : line.runs) {
                EXPECT_FALSE(hasControl(run.text)) << highBit << run.text;
                shown += run.text;
            }
        EXPECT_NE(shown.find("NoRepl \\0 \\x01 \\x1b \\x7f "), std::string::npos)
            << highBit << shown;
    }
}

TEST(ItemNode, LabelIncludesValueOnlyWhenAsked) {
    ItemTestDocument doc;
    StoredValue v(0x300, Sink().f64(12).get());
    auto node = MakeItem(v, "Attendees", 0x300, &doc);
    EXPECT_EQ(node->GetLabel(), "Attendees");
    doc.SetIncludeValue(true);
    node->OnOptionsChanged(0x04);
    EXPECT_EQ(node->GetLabel(), "Attendees  -  12");
    doc.SetIncludeValue(false);
    node->OnOptionsChanged(0x100); // not a label option: nothing changes
    EXPECT_EQ(node->GetLabel(), "Attendees  -  12");
    node->OnOptionsChanged(0x80);
    EXPECT_EQ(node->GetLabel(), "Attendees");
}

TEST(ItemNode, LabelsByForm) {
    ItemTestDocument doc;
    doc.SetIncludeValue(true);
    ObjectDescriptor file;
    file.fileName = "agenda.txt";
    ObjectDescriptor other;
    other.typeAndFlags = 8;
    other.rrv = 0xABC;
    ObjectDescriptor cut = file; // the name reaches past the value: shown as far as it goes
    Bytes cutBytes = Encode(cut);
    cutBytes.erase(cutBytes.end() - 4, cutBytes.end());
    struct Case {
        std::uint16_t type;
        Bytes value;
        std::string label;
    } cases[] = {
        {0x500, Sink().text("Hello").get(), "F  -  Hello"},
        {0x501, TextList({"a", "b"}), "F  -  a;b"},
        {0x600, Bytes{}, "F"},
        {5, Bytes{1, 0}, "F"},
        {3, Encode(file), "F  -  agenda.txt"},
        {3, Encode(other), "F  -  0xabc"},
        {3, cutBytes, "F  -  agenda"},
        {3, Bytes{0, 0}, "F"},
        {23, Bytes{}, "F"},
    };
    for (Case& c : cases) {
        StoredValue v(c.type, c.value);
        auto node = MakeItem(v, "F", c.type, &doc);
        EXPECT_EQ(node->GetLabel(), c.label) << c.type;
    }
}

TEST(ItemNode, ImagesAndHelpContexts) {
    ItemTestDocument doc;
    const std::uint16_t itemStrip = imagecache::Derive(0, 116, 135);
    const std::uint16_t noteStrip = imagecache::Derive(0, 113, 130);
    const std::uint32_t base = TypeHelpContext(39) + 1;
    struct Case {
        std::uint16_t type, flags;
        NodeImage image;
        std::uint32_t help;
    } cases[] = {
        {0x500, 0, {itemStrip, 0}, 0x500 + base},
        {0x500, 0x20 | 0x400, {itemStrip, 9}, 1291 + base},
        {0x501, 0x400 | 0x40, {itemStrip, 8}, 1290 + base},
        {0x501, 0x40, {itemStrip, 10}, 1292 + base},
        {0x300, 0x40, {itemStrip, 2}, 0x300 + base},
        {0x700, 0, {noteStrip, 1}, 0x700 + base},
        {0, 0x100, {itemStrip, 22}, base},
        {0, 0, {noteStrip, 1}, base},
        {12, 0, {noteStrip, 1}, 12 + base},
        {3, 0, {itemStrip, 12}, 3 + base},
        {16, 0, {itemStrip, 28}, 16 + base},
        {24, 0, {itemStrip, 25}, 24 + base},
    };
    for (const Case& c : cases) {
        StoredValue v(c.type, Bytes{});
        auto node = MakeItem(v, "X", c.type, &doc, c.flags);
        EXPECT_EQ(node->GetImage(), c.image) << c.type << " " << c.flags;
        EXPECT_EQ(node->GetHelpContext(), c.help) << c.type << " " << c.flags;
        EXPECT_EQ(node->AsTyped()->GetTypeId(), 39);
    }
}

TEST(ItemNode, FactoryChoosesClassByType) {
    ItemTestDocument doc;
    for (std::uint16_t type : {1, 15, 16, 18, 19, 3, 0x500, 5, 2}) {
        StoredValue v(type, Bytes{});
        auto node = MakeItem(v, "X", type, &doc);
        EXPECT_EQ(dynamic_cast<TNItemComposite*>(node.get()) != nullptr, IsRecordStreamType(type));
        EXPECT_EQ(dynamic_cast<TNItemObject*>(node.get()) != nullptr, type == 3);
        EXPECT_NE(dynamic_cast<TNItem*>(node.get()), nullptr);
    }
}

// The records of a rich-text item show their texts as labels, however those are held: after
// the item is collapsed and expanded again, after the labels are made again, and when a record
// goes on its own.
TEST(ItemNode, RecordLabelsKeepTheirTextsThroughCollapseAndRelabelling) {
    ItemTestDocument doc;
    const std::string mid = "a text of some thirty bytes", wide(60, 'z');
    StoredValue v(RecordEncoder(1)
                      .Add(0xFF85, RecordBody().u32(0).text("hi"))
                      .Add(0xFF85, RecordBody().u32(0).text(mid))
                      .Add(0xFF85, RecordBody().u32(0).text(wide))
                      .Add(0xFF85, RecordBody().u32(0).text(mid + "!"))
                      .Stream());
    fake::Platform platform;
    CTreeListCore control(platform);
    CNoteNode* node = MakeItem(v, "Body", 1, &doc).release();
    control.AddRoot(node); // a collapse deletes nodes of a control only
    auto labels = [node] {
        std::vector<std::string> out;
        for (CTreeListNode* c = node->GetFirstChild(); c; c = c->GetNextSibling())
            out.emplace_back(c->GetLabel());
        return out;
    };
    const std::vector<std::string> expected = {
        "\"hi\"", '"' + mid + '"', '"' + std::string(46, 'z') + "...", '"' + mid + "!\""};
    ASSERT_TRUE(node->CreateChildren());
    EXPECT_EQ(labels(), expected);
    ASSERT_TRUE(node->CollapseChildren());
    EXPECT_EQ(node->GetFirstChild(), nullptr);
    ASSERT_TRUE(node->CreateChildren());
    EXPECT_EQ(labels(), expected);
    for (CTreeListNode* c = node->GetFirstChild(); c; c = c->GetNextSibling())
        static_cast<CDocNode*>(c)->OnOptionsChanged(hint::kSymbolNames);
    EXPECT_EQ(labels(), expected);
    delete node->GetFirstChild()->GetNextSibling();
    EXPECT_EQ(labels(), (std::vector<std::string>{expected[0], expected[2], expected[3]}));
}

} // namespace
