#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/api/Conversions.h"

using namespace store;

namespace {

std::vector<std::uint8_t> List(const std::vector<std::string>& entries) {
    std::vector<std::uint8_t> out{std::uint8_t(entries.size()), std::uint8_t(entries.size() >> 8)};
    for (const auto& e : entries) {
        out.push_back(std::uint8_t(e.size()));
        out.push_back(std::uint8_t(e.size() >> 8));
    }
    for (const auto& e : entries)
        out.insert(out.end(), e.begin(), e.end());
    return out;
}

std::string Translated(const std::string& in, std::size_t size = 64) {
    std::vector<char> buffer(size + 1, '#');
    const std::size_t n =
        TranslateText(Translate::FromStore, in.data(), in.size(), buffer.data(), size);
    EXPECT_EQ(buffer[size], '#'); // nothing beyond size
    return std::string(buffer.data(), n);
}

} // namespace

TEST(TextList, EntriesOfWholeList) {
    const auto list = List({"alpha", "", "gamma"});
    ASSERT_EQ(TextListCount(list.data(), list.size()), 3);
    const char* expected[] = {"alpha", "", "gamma"};
    for (std::uint16_t i = 0; i < 3; ++i) {
        const char* text = nullptr;
        std::uint16_t length = 99;
        ASSERT_EQ(TextListEntry(list.data(), list.size(), i, &text, &length), kNoError);
        EXPECT_EQ(std::string(text, length), expected[i]);
    }
    EXPECT_EQ(TextListEntry(list.data(), list.size(), 3, nullptr, nullptr), kInvalidArgument);
    const auto empty = List({});
    EXPECT_EQ(TextListCount(empty.data(), empty.size()), 0);
}

// Every prefix of a list: only entries wholly inside it are counted or returned, never a byte
// beyond (the sanitizers watch the reads).
TEST(TextList, TruncatedListsNeverReadPastTheirSize) {
    const auto full = List({"one", "two", "three"});
    for (std::size_t size = 0; size <= full.size(); ++size) {
        const std::vector<std::uint8_t> cut(full.begin(), full.begin() + std::ptrdiff_t(size));
        const std::uint16_t count = TextListCount(cut.data(), cut.size());
        std::uint16_t whole = 0;
        if (size >= 8)
            whole = size >= 8 + 11 ? 3 : size >= 8 + 6 ? 2 : size >= 8 + 3 ? 1 : 0;
        EXPECT_EQ(count, whole) << size;
        for (std::uint16_t i = 0; i < 3; ++i) {
            const char* text = nullptr;
            std::uint16_t length = 0;
            const Status s = TextListEntry(cut.data(), cut.size(), i, &text, &length);
            if (i < whole) {
                EXPECT_EQ(s, kNoError);
                EXPECT_LE(text + length, reinterpret_cast<const char*>(cut.data()) + cut.size());
            } else {
                EXPECT_NE(s, kNoError) << size << " " << i;
                EXPECT_EQ(text, nullptr);
            }
        }
    }
    // A count far beyond the bytes, and lengths that overflow the sum.
    const std::uint8_t liar[] = {0xFF, 0xFF, 0x01, 0x00};
    EXPECT_EQ(TextListCount(liar, sizeof liar), 0);
    EXPECT_EQ(TextListEntry(liar, sizeof liar, 0, nullptr, nullptr), kBadValue);
    const std::uint8_t huge[] = {0x02, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 'a'};
    EXPECT_EQ(TextListCount(huge, sizeof huge), 0);
    EXPECT_EQ(TextListEntry(huge, sizeof huge, 1, nullptr, nullptr), kBadValue);
    EXPECT_EQ(TextListCount(nullptr, 10), 0);
}

TEST(Translate, ValidTextPassesAndInvalidBecomesReplacement) {
    const std::string fffd = "\xEF\xBF\xBD";
    struct Case {
        std::string in, out;
    } cases[] = {
        {"plain", "plain"},
        {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80", "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"},
        {std::string("a\0b", 3), std::string("a\0b", 3)},
        {"\xE9t\xE9", fffd + "t" + fffd},                // a single-byte character set
        {"\xC0\xAF", fffd + fffd},                       // overlong
        {"\xED\xA0\x80", fffd + fffd + fffd},            // an encoded surrogate
        {"\xF4\x90\x80\x80", fffd + fffd + fffd + fffd}, // above U+10FFFF
        {"\xE2\x82", fffd},                              // cut at the end: one maximal subpart
        {"\xE2\x82x", fffd + "x"},
        {"\x80\xBF", fffd + fffd},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Translated(c.in), c.out);
        std::vector<char> buffer(64);
        const std::size_t n = TranslateText(Translate::ToStore, c.in.data(), c.in.size(),
                                            buffer.data(), buffer.size());
        EXPECT_EQ(std::string(buffer.data(), n), c.out);
    }
}

TEST(Translate, BoundedByTheBufferAndNeverSplitsACharacter) {
    EXPECT_EQ(Translated("abcdef", 4), "abcd");
    EXPECT_EQ(Translated("ab\xE2\x82\xAC", 4), "ab"); // the euro sign does not fit
    EXPECT_EQ(Translated("ab\xE2\x82\xAC", 5), "ab\xE2\x82\xAC");
    EXPECT_EQ(Translated("\xFF\xFF", 5), "\xEF\xBF\xBD");
    char b[4] = "zz";
    EXPECT_EQ(TranslateText(Translate::FromStore, "abc", 3, b, 0), 0u);
    EXPECT_EQ(TranslateText(Translate::FromStore, "abc", 3, b, 4), 3u);
    EXPECT_STREQ(b, "abc"); // terminated when there is room
}

TEST(ColorMap, IndexesStayAndDirectColoursFindTheNearestName) {
    for (std::uint16_t i = 0; i < 240; ++i)
        EXPECT_EQ(MapColorIndex(i), i);
    const auto rgb = [](int r, int g, int b) {
        return std::uint16_t(0x8000 | (r << 10) | (g << 5) | b);
    };
    EXPECT_EQ(MapColorIndex(rgb(0, 0, 0)), 0);    // Black
    EXPECT_EQ(MapColorIndex(rgb(31, 31, 31)), 1); // White, the first of its three rows
    EXPECT_EQ(MapColorIndex(rgb(31, 0, 0)), 2);   // Red
    EXPECT_EQ(MapColorIndex(rgb(0, 31, 0)), 3);
    EXPECT_EQ(MapColorIndex(rgb(0, 0, 31)), 4);
    EXPECT_EQ(MapColorIndex(rgb(16, 16, 16)), 14); // Gray
    EXPECT_EQ(MapColorIndex(rgb(1, 0, 0)), 0);     // nearly black
    for (std::uint32_t v = 0x8000; v <= 0xFFFF; v += 97)
        EXPECT_LT(MapColorIndex(std::uint16_t(v)), 240);
    // Neither an index nor a direct colour: kept, so it shows as a number.
    EXPECT_EQ(MapColorIndex(240), 240);
    EXPECT_EQ(MapColorIndex(0x7FFF), 0x7FFF);
}
