// Completing computed texts: markers replaced, everything else unchanged, buffers respected.
#include <gtest/gtest.h>

#include "store/api/Formula.h"

namespace {

struct Converted {
    store::Status status;
    std::string text;
};

Converted Convert(const std::string& in, store::NoteId note, std::size_t size = 64) {
    std::vector<char> buffer(size + 1, '#'); // one guard byte past the given size
    std::size_t n = 99;
    const store::Status s =
        store::ConvertComputedText(in.data(), in.size(), note, buffer.data(), size, &n);
    EXPECT_EQ(buffer[size], '#') << "wrote past the buffer";
    if (size > 0) {
        EXPECT_EQ(buffer[n], '\0');
    }
    return {s, std::string(buffer.data(), n)};
}

} // namespace

TEST(ComputedText, MarkersAndPlainText) {
    const struct {
        std::string in;
        std::string out;
    } kCases[] = {
        {"plain text", "plain text"},
        {"", ""},
        {"Note \x7FI", "Note 1A2B"},
        {"\x7FI-\x7FI", "1A2B-1A2B"},
        {"a\x7F\x7F"
         "b",
         "a\x7F"
         "b"},
        {"keep \x7Fz", "keep \x7Fz"},
        {"end \x7F", "end \x7F"},
        {std::string("nul\0inside", 10), std::string("nul\0inside", 10)},
    };
    for (const auto& c : kCases) {
        const Converted r = Convert(c.in, 0x1A2B);
        EXPECT_EQ(r.status, store::kNoError) << c.in;
        EXPECT_EQ(r.text, c.out) << c.in;
    }
}

TEST(ComputedText, SmallBuffersTruncateAndSaySo) {
    Converted r = Convert("abcdef", 1, 4);
    EXPECT_EQ(r.status, store::kBufferTooSmall);
    EXPECT_EQ(r.text, "abc");
    r = Convert("ab\x7FI", 0x12345678, 6);
    EXPECT_EQ(r.status, store::kBufferTooSmall);
    EXPECT_EQ(r.text, "ab123");
    r = Convert("abc", 1, 4);
    EXPECT_EQ(r.status, store::kNoError);
    EXPECT_EQ(r.text, "abc");
    std::size_t n = 7;
    EXPECT_EQ(store::ConvertComputedText("x", 1, 1, nullptr, 0, &n), store::kBufferTooSmall);
    EXPECT_EQ(n, 0u);
}
