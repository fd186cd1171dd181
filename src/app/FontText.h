// The text form of a font in the settings: thirteen comma-separated numbers and the face name,
//   height,width,escapement,orientation,weight,italic,underline,strike-out,charset,
//   out-precision,clip-precision,quality,pitch-and-family,face
// The first five are 32-bit; the other eight are stored as bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class CSettings;

struct FontDesc {
    static constexpr std::size_t kMaxFace = 31; // longer face names are cut

    std::int32_t height = 0;
    std::int32_t width = 0;
    std::int32_t escapement = 0;
    std::int32_t orientation = 0;
    std::int32_t weight = 0;
    std::uint8_t italic = 0;
    std::uint8_t underline = 0;
    std::uint8_t strikeOut = 0;
    std::uint8_t charSet = 0;
    std::uint8_t outPrecision = 0;
    std::uint8_t clipPrecision = 0;
    std::uint8_t quality = 0;
    std::uint8_t pitchAndFamily = 0;
    std::string face;

    friend bool operator==(const FontDesc&, const FontDesc&) = default;
};

// Nothing unless exactly thirteen numbers, each followed by a comma, start the text. The face
// is the rest of the text after the thirteenth comma (so a face with a comma reads back whole),
// cut to kMaxFace bytes.
std::optional<FontDesc> ParseFontText(std::string_view text);
std::string FormatFontText(const FontDesc& font);

// The built-in tree font.
inline constexpr const char* kDefaultTreeFont = "-13,0,0,0,400,0,0,0,0,1,2,1,34,MS Sans Serif";

// [Tree Pane] Font, else [Delvex] TreeFont, else [TreeView] TreeFont, else the built-in font;
// a text that cannot be read counts as absent.
FontDesc LoadTreeFont(const CSettings& settings);
bool SaveTreeFont(CSettings& settings, const FontDesc& font);
