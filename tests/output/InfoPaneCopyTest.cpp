// What the info pane's popup copies: the field under the pointer, its value, or the whole
// description.
#include <gtest/gtest.h>

#include "WriterTestSupport.h"
#include "output/InfoPaneWriter.h"

namespace {

class InfoPaneCopy : public ::testing::Test {
protected:
    CCellMeasure measure{10, 20};
    InfoPaneMetrics metrics = InfoPaneMetrics::Measure(measure);
    CInfoPaneOptions options;

    std::vector<InfoPaneLine> Draw(const Describe& describe) {
        CInfoPaneWriter w(measure, metrics, &options);
        w.Begin();
        describe(w);
        w.End();
        return w.Lines();
    }
};

TEST_F(InfoPaneCopy, FieldValueAndDescription) {
    std::uint8_t bytes[20];
    for (int i = 0; i < 20; ++i)
        bytes[i] = std::uint8_t(0x41 + i);
    const auto lines = Draw([&](CFieldWriter& w) {
        w.BeginField("note");
        w.HexLField("note-id", 0x2106);
        w.HexDumpField("data", bytes, sizeof bytes);
        w.EndField();
        w.TextField("name", "Phone", 5, '"', '"');
    });
    ASSERT_GE(lines.size(), 5u);
    // The hex dump's label has a line of its own, its bytes the lines after it, without label.
    const int dump = 2;
    const int name = int(lines.size()) - 1;

    EXPECT_EQ(InfoPaneLineAt(lines, lines[1].y, metrics.lineHeight), 1);
    EXPECT_EQ(InfoPaneLineAt(lines, lines[1].y + metrics.lineHeight - 1, metrics.lineHeight), 1);
    EXPECT_EQ(InfoPaneLineAt(lines, -5, metrics.lineHeight), -1);
    EXPECT_EQ(InfoPaneLineAt(lines, lines.back().y + metrics.lineHeight, metrics.lineHeight), -1);

    EXPECT_EQ(InfoPaneFieldText(lines, 1), "note-id 0x2106");
    EXPECT_EQ(InfoPaneValueText(lines, 1), "0x2106");
    EXPECT_EQ(InfoPaneFieldText(lines, name), "name \"Phone\"");
    EXPECT_EQ(InfoPaneValueText(lines, name), "\"Phone\"");

    // Every line of the dump, from its first or any later line, and without the label.
    const std::string field = InfoPaneFieldText(lines, dump);
    EXPECT_EQ(field.rfind("data\n41 42 43", 0), 0u) << field;
    EXPECT_EQ(InfoPaneFieldText(lines, dump + 1), field);
    const std::string value = InfoPaneValueText(lines, dump + 1);
    EXPECT_EQ(value.find("data"), std::string::npos) << value;
    EXPECT_NE(value.find('\n'), std::string::npos) << value;
    EXPECT_NE(value.find("41"), std::string::npos) << value;
    EXPECT_NE(value.find("54"), std::string::npos) << value; // the 20th byte, on a later line

    EXPECT_EQ(InfoPaneFieldText(lines, 99), "");
    EXPECT_EQ(InfoPaneValueText(lines, -1), "");

    // The description: one line each, nested fields indented a level deeper.
    const std::string all = InfoPaneDescriptionText(lines, metrics);
    EXPECT_EQ(all.rfind("note\n  note-id 0x2106\n  data\n41 42 43", 0), 0u) << all;
    EXPECT_EQ(all.substr(all.size() - 13), "name \"Phone\"\n") << all;
}

} // namespace
