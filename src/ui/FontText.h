// The font text kept in the settings: thirteen integers and the face name, comma-separated
// (height, width, escapement, orientation, weight, italic, underline, strike-out, character
// set, output precision, clip precision, quality, pitch and family, face). A negative height is
// the character height in pixels.
#pragma once

#include <QFont>
#include <array>
#include <optional>
#include <string>
#include <string_view>

struct FontDescription {
    std::array<long, 13> numbers{};
    std::string face; // at most 31 characters are kept

    // Exactly 13 numbers and a comma before the face; otherwise nothing.
    static std::optional<FontDescription> Parse(std::string_view text);
    std::string Format() const;

    QFont ToFont() const;
    // The same description with the fixed-pitch bit set (hex dumps).
    QFont ToFixedFont() const;
    static FontDescription FromFont(const QFont& font);
};

// The built-in text of the tree and info pane fonts.
inline constexpr std::string_view kDefaultFontText = "-13,0,0,0,400,0,0,0,0,1,2,1,34,MS Sans Serif";
