// Names through symbol tables: enumerations, flags, bit fields, continuation and unknown bits.
#include <gtest/gtest.h>

#include "WriterTestSupport.h"
#include "output/SymbolTables.h"

namespace {

constexpr std::uint32_t E = kSymbolEnumerated;
constexpr std::uint32_t F = kSymbolFlag;

const SymbolEntry kFlags[] = {{F, 0x1, "One"}, {F, 0x4, "Four"}, kSymbolEnd};
const SymbolEntry kEnum[] = {{E, 1, "A"}, {E, 2, "B"}, kSymbolEnd};
const SymbolEntry kBitFields[] = {
    {0x3, 0x1, "Low1"}, {0x3, 0x2, "Low2"}, {0x30, 0x10, "HighA"}, {F, 0x100, "Flag"}, kSymbolEnd};
const SymbolEntry kCommon[] = {{E, 20, "Common20"}, kSymbolEnd};
const SymbolEntry kSpecific[] = {{E, 10, "Own10"},
                                 {kSymbolDirective, 0x55, nullptr}, // unknown directive: skipped
                                 {E, 11, "Own11"},
                                 SymbolContinueIn(kCommon)};
extern const SymbolEntry kLoop[];
const SymbolEntry kLoop[] = {{F, 0x1, "Bit"}, SymbolContinueIn(kLoop)};

std::string SymbolOf(std::uint32_t value, const SymbolEntry* table, const char* fallback,
                     CInfoPaneOptions* options = nullptr) {
    return StringOf([&](CFieldWriter& w) { w.Symbol(value, table, fallback); }, options);
}

struct SymbolCase {
    std::uint32_t value;
    const SymbolEntry* table;
    const char* fallback;
    const char* expected;
};

TEST(Symbol, NamesThroughTables) {
    const SymbolCase cases[] = {
        {0, kFlags, nullptr, "0"},
        {0x1, kFlags, nullptr, "One"},
        {0x5, kFlags, nullptr, "One Four"},
        {0x11, kFlags, nullptr, "One 0x10"},
        {0x80000000u, kFlags, nullptr, "0x80000000"},
        {0, kFlags, "Face%d", "Face0"},
        {2, kEnum, nullptr, "B"},
        {7, kEnum, "Record type %d", "Record type 7"},
        {7, kEnum, nullptr, "7"},
        {0, kEnum, nullptr, "0"},
        {0, kEnum, "None%d", "None0"},
        {0x12, kBitFields, nullptr, "Low2 HighA"},
        {0x141, kBitFields, nullptr, "Low1 Flag 0x40"},
        {0x3, kBitFields, nullptr, "0x3"},
        {10, kSpecific, nullptr, "Own10"},
        {11, kSpecific, nullptr, "Own11"},
        {20, kSpecific, nullptr, "Common20"},
        {21, kSpecific, "Sig %u", "Sig 21"},
        {0x90, symtab::kFontAttributes, nullptr, "Super Shadow Emboss"},
        {0, symtab::kFontAttributes, "Normal", "Normal"},
        {0x501, symtab::kItemTypes, nullptr, "TextList"},
        {23, symtab::kItemTypes, nullptr, "23"},
        {'x', kEnum, "%c", "x"},
        {0xABCDu, kEnum, "0x%04lX", "0xABCD"},
        // A fallback that does not take one integer still prints the number and nothing else.
        {9, kEnum, "%s%s", "9"},
    };
    for (const SymbolCase& c : cases)
        EXPECT_EQ(SymbolOf(c.value, c.table, c.fallback), c.expected)
            << "value " << c.value << " expected " << c.expected;
}

TEST(Symbol, TableContinuingInItselfEnds) {
    EXPECT_EQ(SymbolOf(0x3, kLoop, nullptr).substr(0, 7), "Bit Bit");
}

TEST(Symbol, SymbolsOffPrintNumbers) {
    CInfoPaneOptions options;
    options.ShowSymbols = 0;
    EXPECT_EQ(SymbolOf(2, kEnum, nullptr, &options), "0x2");
    EXPECT_EQ(SymbolOf(0x5, kFlags, nullptr, &options), "0x5");
    EXPECT_EQ(SymbolOf(0, kFlags, nullptr, &options), "0");
    EXPECT_EQ(SymbolOf(0, kFlags, "Face%d", &options), "Face0");
}

TEST(Symbol, SymbolCharsNamesEachByte) {
    const SymbolEntry table[] = {{E, 'a', "Alpha"}, kSymbolEnd};
    EXPECT_EQ(StringOf([&](CFieldWriter& w) { w.SymbolChars("ab", -1, table); }), "Alpha b ");
    EXPECT_EQ(StringOf([&](CFieldWriter& w) { w.SymbolChars("abc", 1, table); }), "Alpha ");
}

TEST(Symbol, ColorNamesAreInIndexOrder) {
    int rows = 0;
    for (const SymbolEntry* row = symtab::kColorNames; row->name; ++row, ++rows)
        EXPECT_EQ(row->value, std::uint32_t(rows));
    EXPECT_EQ(rows, 240);
    const auto color = [](std::uint16_t i) {
        return StringOf([&](CFieldWriter& w) { w.Color(i); });
    };
    EXPECT_EQ(color(0), "Black");
    EXPECT_EQ(color(17), "Vanilla");
    EXPECT_EQ(color(239), "Black");
    EXPECT_EQ(color(240), "Color240");
    CInfoPaneOptions options;
    options.ShowSymbols = 0;
    EXPECT_EQ(StringOf([](CFieldWriter& w) { w.Color(2); }, &options), "Color2");
    EXPECT_EQ(StringOf([](CFieldWriter& w) { w.StoreColor(2); }, &options), "Color2");
    EXPECT_EQ(StringOf([](CFieldWriter& w) { w.StoreColor(5); }),
              StringOf([](CFieldWriter& w) { w.Color(store::MapColorIndex(5)); }));
}

TEST(Symbol, FontIdentifier) {
    const auto font = [](std::uint32_t id, CInfoPaneOptions* options = nullptr) {
        return StringOf([&](CFieldWriter& w) { w.Font(id); }, options);
    };
    EXPECT_EQ(font(0x0A020301u), "Swiss 10 pt Bold Italic Red");
    EXPECT_EQ(font(0x0C000004u), "Typewriter 12 pt Normal Black");
    EXPECT_EQ(font(0x08012107u), "Face7 8 pt Bold Sub White");
    CInfoPaneOptions options;
    options.ShowSymbols = 0;
    EXPECT_EQ(font(0x0A020301u, &options), "0x0A020301");
}

TEST(Symbol, FormatFields) {
    const std::uint8_t number[4] = {2, 3, 5, 0xEE};
    EXPECT_EQ(DumpOf([&](CFieldWriter& w) { w.NumberFormatField("nf", number, 4); }),
              "\n(nf \n    (number-digits " + StoreNumberText(2) +
                  ")\n    (number-format Currency)\n    (number-attributes Punctuated Percent))\n");
    const std::uint8_t time[4] = {3, 1, 2, 9};
    EXPECT_EQ(DumpOf([&](CFieldWriter& w) { w.TimeFormatField("tf", time, 4); }),
              "\n(tf \n    (time-date DPartial)\n    (time-time Partial)\n    (time-zone Always)"
              "\n    (time-structure 9))\n");
}

} // namespace
