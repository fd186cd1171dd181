#include "store/PeriodText.h"

#include <array>
#include <cstddef>
#include <limits>

namespace {

constexpr std::size_t kMaxWordLength = 9;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

struct Unit {
    std::string_view prefix;
    int Period::*field;
};
// No prefix is the start of another, so a word names at most one unit; "m" alone names none.
constexpr std::array<Unit, 6> kUnits{{
    {"s", &Period::seconds},
    {"mi", &Period::minutes},
    {"h", &Period::hours},
    {"d", &Period::days},
    {"mo", &Period::months},
    {"y", &Period::years},
}};

bool StartsWith(std::string_view word, std::string_view prefix) {
    if (word.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (Lower(word[i]) != prefix[i])
            return false;
    return true;
}

} // namespace

store::Status ParsePeriod(std::string_view text, Period* period) {
    Period result;
    std::array<bool, kUnits.size()> given{};
    bool anyPair = false;
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < text.size() && IsBlank(text[i]))
            ++i;
    };
    skipBlanks();
    while (i < text.size()) {
        // The amount.
        if (!IsDigit(text[i]))
            return store::kInvalidTime;
        long long amount = 0;
        for (; i < text.size() && IsDigit(text[i]); ++i) {
            amount = amount * 10 + (text[i] - '0');
            if (amount > std::numeric_limits<int>::max())
                return store::kInvalidTime;
        }
        skipBlanks();
        // The word: letters only, up to a blank or the end.
        const std::size_t start = i;
        while (i < text.size() && IsLetter(text[i]))
            ++i;
        const std::string_view word = text.substr(start, i - start);
        if (word.empty() || word.size() > kMaxWordLength || (i < text.size() && !IsBlank(text[i])))
            return store::kInvalidTime;
        std::size_t u = 0;
        while (u < kUnits.size() && !StartsWith(word, kUnits[u].prefix))
            ++u;
        if (u == kUnits.size() || given[u])
            return store::kInvalidTime;
        given[u] = true;
        result.*kUnits[u].field = static_cast<int>(amount);
        anyPair = true;
        skipBlanks();
    }
    if (!anyPair)
        return store::kInvalidTime;
    *period = result;
    return store::kNoError;
}
