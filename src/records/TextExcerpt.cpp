#include "records/TextExcerpt.h"

#include <vector>

#include "store/api/Conversions.h"

namespace {
bool IsLeadByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
}
} // namespace

std::string TranslatedText(const char* stored, std::size_t length) {
    if (length == 0)
        return {};
    // Runs of text are mostly short: those are translated on the stack.
    const std::size_t size = length * 2 + 1;
    char onStack[512];
    std::vector<char> onHeap;
    char* buffer = onStack;
    if (size > sizeof onStack) {
        onHeap.resize(size);
        buffer = onHeap.data();
    }
    const std::size_t n =
        store::TranslateText(store::Translate::FromStore, stored, length, buffer, size);
    return std::string(buffer, std::min(n, size - 1));
}

std::string TextExcerpt(const char* stored, std::size_t length) {
    const std::string text = TranslatedText(stored, length);
    if (text.empty())
        return {};
    std::size_t chars = 0, cut = text.size();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!IsLeadByte(text[i]))
            continue;
        if (chars == 46)
            cut = i;
        ++chars;
    }
    if (chars < 48)
        return '"' + text + '"';
    return '"' + text.substr(0, cut) + "...";
}
