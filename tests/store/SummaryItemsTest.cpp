// Summary buffers: renames, omissions, exact-case matching, every value type and damaged
// buffers that claim more than they hold.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "output/FieldWriter.h"
#include "output/StringWriter.h"
#include "store/SummaryItems.h"
#include "support/ExpectParts.h"
#include "support/ItemValueEncoder.h"

namespace {

struct Item {
    std::string name;
    std::uint16_t type;
    std::vector<std::uint8_t> data;
};

// A summary buffer: its total length, the count, each item's name and value lengths, then
// the names and values.
std::vector<std::uint8_t> Summary(const std::vector<Item>& items) {
    itemenc::Sink lengths, values;
    for (const Item& i : items) {
        lengths.u16(unsigned(i.name.size())).u16(unsigned(i.data.size() + 2));
        values.text(i.name).u16(i.type).bytes(i.data);
    }
    const std::size_t total = 4 + lengths.get().size() + values.get().size();
    return itemenc::Sink()
        .u16(unsigned(total))
        .u16(unsigned(items.size()))
        .bytes(lengths.get())
        .bytes(values.get())
        .get();
}

std::vector<std::uint8_t> Bytes(const char* text) {
    return {text, text + std::strlen(text)};
}

std::vector<std::uint8_t> Double(double d) {
    return itemenc::Sink().f64(d).get();
}

const SummaryRename kRenames[] = {{"$TITLE", "filename"}, {"$Info", nullptr}, {nullptr, nullptr}};

std::string Write(const std::vector<std::uint8_t>& buffer, std::size_t size) {
    CStringWriter w;
    w.Begin();
    WriteSummaryItems(w, buffer.data(), size, kRenames);
    w.End();
    return w.Result();
}

// The field of each item and the range it carries.
class RangeCollector : public CFieldWriter {
public:
    std::vector<std::pair<std::size_t, std::size_t>> ranges;

protected:
    void WriteText(std::string_view) override {}
    void NewLine() override {}
    void OnFieldRange(std::size_t offset, std::size_t length) override {
        ranges.emplace_back(offset, length);
    }
};

// Each item's field spans its name and value (type word included) where the lengths place
// them, after the header and the four bytes of lengths per item; a left-out item has none.
TEST(SummaryItems, EachFieldCarriesItsItemsBytes) {
    const auto buffer = Summary({{"$TITLE", 0x500, Bytes("a.vlt")},
                                 {"$Info", 0x500, Bytes("x")},
                                 {"Size", 0x300, Double(3)}});
    RangeCollector w;
    w.Begin();
    WriteSummaryItems(w, buffer.data(), buffer.size(), kRenames);
    w.End();
    const std::size_t first = 4 + 3 * 4;
    const std::size_t second = first + 6 + 2 + 5;
    const std::size_t third = second + 5 + 2 + 1;
    ASSERT_EQ(w.ranges.size(), 2u);
    EXPECT_EQ(w.ranges[0], std::make_pair(first, std::size_t(6 + 2 + 5)));
    EXPECT_EQ(w.ranges[1], std::make_pair(third, std::size_t(4 + 2 + 8)));
    EXPECT_EQ(third + 14, buffer.size());
}

TEST(SummaryItems, RenamesOmitsAndMatchesCaseExactly) {
    const auto buffer = Summary({{"$TITLE", 0x0500, Bytes("a.vlt")},
                                 {"$Info", 0x0500, Bytes("Title\n")},
                                 {"$title", 0x0500, Bytes("b")},
                                 {"Size", 0x0300, Double(42)},
                                 {"Odd", 0x0777, {1, 2}}});
    ExpectParts(Write(buffer, buffer.size()),
                {"filename", "\"a.vlt\"", "summary-item", "\"$title\"", "42", "?type 0x777?"},
                {"Title", "Length is too short"});
}

TEST(SummaryItems, TextListsAndTimesAreDecoded) {
    const auto buffer = Summary({{"L", 0x0501, itemenc::TextList({"one", "tw"})},
                                 {"T", 0x0400, std::vector<std::uint8_t>(8)}});
    const SummaryItems parsed = ParseSummary(buffer.data(), buffer.size());
    ASSERT_EQ(parsed.items.size(), 2u);
    EXPECT_EQ(parsed.items[0].type, 0x0501);
    EXPECT_EQ(parsed.items[1].valueLength, 8u);
    ExpectParts(Write(buffer, buffer.size()), {"\"one\"", "\"tw\""});
}

TEST(SummaryItems, EveryPrefixOfABufferStaysInside) {
    const auto buffer = Summary({{"$TITLE", 0x0500, Bytes("a.vlt")},
                                 {"Size", 0x0300, Double(1.5)},
                                 {"When", 0x0400, std::vector<std::uint8_t>(8, 0x11)}});
    for (std::size_t n = 0; n < buffer.size(); ++n) {
        // Copied so that the sanitizers see a read past the prefix.
        std::vector<std::uint8_t> prefix(buffer.begin(), buffer.begin() + long(n));
        const SummaryItems parsed = ParseSummary(prefix.data(), prefix.size());
        EXPECT_LT(parsed.items.size(), 3u);
        EXPECT_EQ(parsed.truncated, n > 0) << n;
        const std::string out = Write(prefix, prefix.size());
        if (n > 0) {
            EXPECT_NE(out.find("Length is too short"), std::string::npos) << n << out;
        }
    }
}

TEST(SummaryItems, StoredTotalBoundsTheWalk) {
    auto buffer = Summary({{"A", 0x0500, Bytes("x")}, {"B", 0x0500, Bytes("y")}});
    buffer[0] = 10; // claims fewer bytes than the first item's data needs
    buffer[1] = 0;
    const SummaryItems parsed = ParseSummary(buffer.data(), buffer.size());
    EXPECT_TRUE(parsed.items.empty());
    EXPECT_TRUE(parsed.truncated);

    // A value too short for its type word, and numbers too short for their eight bytes.
    const auto odd = Summary({{"N", 0x0300, {1, 2, 3}}});
    EXPECT_NE(Write(odd, odd.size()).find("Length is too short"), std::string::npos);
}

} // namespace

#include "store/TNDatabase.h"

namespace {

TEST(SummaryItems, DatabaseNodeWritesInfoFieldsThenItems) {
    const auto buffer = Summary({{"$Info", 0x0500, Bytes("My Title\n\nBase Tpl")},
                                 {"$Path", 0x0500, Bytes("dir/my.vlt")},
                                 {"$Length", 0x0300, Double(8192)}});
    TNDatabase db(nullptr, "My Title", "dir/my.vlt", 9, buffer.data(), buffer.size());
    CStringWriter w;
    w.Begin();
    db.WriteFields(w);
    w.End();
    const std::string out = w.Result();
    // Empty categories are left out.
    ExpectParts(out, {"title", "template-name", "\"Base Tpl\"", "path", "8192"}, {"categories"});
    EXPECT_LT(out.find("template-name"), out.find("path")) << out;

    // Without "$Info" the other items are still written; a summary longer than its own first
    // word says is cut to that word.
    auto noInfo = Summary({{"$Type", 0x0500, Bytes("Database")}});
    noInfo.push_back(0xEE);
    TNDatabase other(nullptr, "x", "x", 9, noInfo.data(), noInfo.size());
    CStringWriter w2;
    w2.Begin();
    other.WriteFields(w2);
    w2.End();
    ExpectParts(w2.Result(), {"\"Database\""}, {"title"});
}

} // namespace
