#include "app/FontText.h"

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <utility>

#include "common/Settings.h"

namespace {

// One number (blanks and a sign allowed before it, as the C scanner allows) and its comma.
bool TakeNumber(std::string_view& text, long min, long max, long* out) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    if (i < text.size() && text[i] == '+') {
        ++i;
    }
    long value = 0;
    const char* first = text.data() + i;
    const char* last = text.data() + text.size();
    auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || end == last || *end != ',' || value < min || value > max) {
        return false;
    }
    text.remove_prefix(static_cast<std::size_t>(end - text.data()) + 1);
    *out = value;
    return true;
}

} // namespace

std::optional<FontDesc> ParseFontText(std::string_view text) {
    long n[13];
    for (int i = 0; i < 13; ++i) {
        const bool wide = i < 5;
        if (!TakeNumber(text, wide ? INT32_MIN : INT16_MIN, wide ? INT32_MAX : UINT16_MAX, &n[i])) {
            return std::nullopt;
        }
    }
    FontDesc f;
    f.height = static_cast<std::int32_t>(n[0]);
    f.width = static_cast<std::int32_t>(n[1]);
    f.escapement = static_cast<std::int32_t>(n[2]);
    f.orientation = static_cast<std::int32_t>(n[3]);
    f.weight = static_cast<std::int32_t>(n[4]);
    std::uint8_t* bytes[] = {&f.italic,       &f.underline,     &f.strikeOut, &f.charSet,
                             &f.outPrecision, &f.clipPrecision, &f.quality,   &f.pitchAndFamily};
    for (int i = 0; i < 8; ++i) {
        *bytes[i] = static_cast<std::uint8_t>(n[5 + i]);
    }
    f.face = std::string(text.substr(0, FontDesc::kMaxFace));
    return f;
}

std::string FormatFontText(const FontDesc& f) {
    char buffer[160];
    std::snprintf(buffer, sizeof buffer, "%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,", f.height,
                  f.width, f.escapement, f.orientation, f.weight, f.italic, f.underline,
                  f.strikeOut, f.charSet, f.outPrecision, f.clipPrecision, f.quality,
                  f.pitchAndFamily);
    return buffer + f.face;
}

FontDesc LoadTreeFont(const CSettings& settings) {
    static constexpr std::pair<const char*, const char*> kSources[] = {
        {"Tree Pane", "Font"}, {"Delvex", "TreeFont"}, {"TreeView", "TreeFont"}};
    for (const auto& [section, key] : kSources) {
        if (auto text = settings.Read(section, key)) {
            if (auto font = ParseFontText(*text)) {
                return *font;
            }
        }
    }
    return *ParseFontText(kDefaultTreeFont);
}

bool SaveTreeFont(CSettings& settings, const FontDesc& font) {
    return settings.WriteString("Tree Pane", "Font", FormatFontText(font));
}
