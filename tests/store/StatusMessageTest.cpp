// Status message texts: parentheses, prefixes, the numeric fallback and truncation.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "output/StatusMessage.h"

namespace {

// The store's text of a status, or the "#pp:ee" form when it has none.
std::string MessageOf(store::Status status) {
    char text[500];
    std::size_t length = 0;
    store::MessageText(store::MessageNumber(status), text, sizeof text, &length);
    if (length > 0)
        return std::string(text, length);
    char code[16];
    std::snprintf(code, sizeof code, "#%02x:%02x", store::PackageOf(status),
                  store::ErrorOf(status));
    return code;
}

std::string Format(store::Status status, const char* format) {
    char text[501];
    const std::size_t n =
        FormatStatusMessage(text, sizeof text, status, format ? "%s" : nullptr, format);
    EXPECT_EQ(n, std::strlen(text));
    return text;
}

TEST(StatusMessage, Composition) {
    const store::Status s = store::MakeStatus(2, 0x10);
    EXPECT_EQ(Format(0, "Couldn't open database"), "Couldn't open database");
    EXPECT_EQ(Format(s, nullptr), MessageOf(s));
    EXPECT_EQ(Format(s | store::kStatusDisplayed, nullptr), "(" + MessageOf(s) + ")");
    EXPECT_EQ(Format(s | store::kStatusDisplayed, "Couldn't"), "(Couldn't: " + MessageOf(s) + ")");
    EXPECT_EQ(Format(s | store::kStatusRemote, "Couldn't"),
              "Couldn't: Server error: " + MessageOf(s));
    EXPECT_EQ(Format(store::kStatusDisplayed, "Only"), "(Only)");
    EXPECT_EQ(Format(0, nullptr), "");
}

TEST(StatusMessage, FallbackNamesPackageAndError) {
    // Package 0x3F is unused, so the store has no text for it.
    const store::Status s = store::MakeStatus(0x3F, 0xAB);
    EXPECT_EQ(Format(s, nullptr), "#3f:ab");
}

TEST(StatusMessage, NeverWritesPastTheBuffer) {
    char text[12];
    std::memset(text, 'Z', sizeof text);
    const std::size_t n =
        FormatStatusMessage(text, 8, store::MakeStatus(0x3F, 1), "%s", "a long prefix");
    EXPECT_EQ(n, 7u);
    EXPECT_EQ(std::string(text), "a long ");
    EXPECT_EQ(text[8], 'Z');

    text[0] = 'Z';
    EXPECT_EQ(FormatStatusMessage(text, 0, 1, "x"), 0u);
    EXPECT_EQ(text[0], 'Z');
    EXPECT_EQ(FormatStatusMessage(text, 1, 1, "x"), 0u);
    EXPECT_EQ(text[0], '\0');
}

// A displayed status keeps its closing parenthesis however short the buffer: the text inside
// is cut instead.
TEST(StatusMessage, CutTextKeepsTheParenthesis) {
    const store::Status s = store::MakeStatus(0x3F, 1) | store::kStatusDisplayed;
    struct Case {
        std::size_t size;
        const char* format;
        const char* expected;
    } cases[] = {
        {10, "ab", "(ab: #3f)"},       // the message cut
        {6, "a long prefix", "(a l)"}, // the formatted text cut, no message
        {3, "ab", "()"},
        {2, "ab", "("},
    };
    for (const Case& c : cases) {
        char text[32];
        std::memset(text, 'Z', sizeof text);
        const std::size_t n = FormatStatusMessage(text, c.size, s, "%s", c.format);
        EXPECT_EQ(std::string(text), c.expected) << c.size;
        EXPECT_EQ(n, std::strlen(c.expected)) << c.size;
        EXPECT_EQ(text[c.size], 'Z') << c.size;
    }
    char text[501];
    FormatStatusMessage(text, 40, s, "%s", std::string(100, 'x').c_str());
    EXPECT_EQ(std::string(text), "(" + std::string(37, 'x') + ")");

    // The store's own message text is cut the same way.
    const store::Status cancelled = store::kCancelled | store::kStatusDisplayed;
    const std::string message = MessageOf(store::kCancelled);
    ASSERT_GT(message.size(), 5u);
    FormatStatusMessage(text, 1 + 10 + 5 + 1 + 1, cancelled, "Couldn't");
    EXPECT_EQ(std::string(text), "(Couldn't: " + message.substr(0, 5) + ")");
}

} // namespace
