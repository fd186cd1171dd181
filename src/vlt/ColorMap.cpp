// Mapping of stored colour values to the 240 named colours.
//
// Stored colour values (16 bits):
//   0..239           the index of a named colour (mapped to itself)
//   0x8000..0xFFFF   bit 15 set: a direct colour, bits 10..14 red, 5..9 green, 0..4 blue (five
//                    bits each); mapped to the nearest named colour
//   240..0x7FFF      no colour this store knows: returned unchanged, so it stays visible as a
//                    number rather than passing for a colour
//
// The named colours are the 16 base colours, then 14 rows of 15 hues and one grey: rows grow
// darker from pale tints to deep shades; the last two rows are the greyed tones.
#include <array>
#include <cstdint>

#include "store/api/Conversions.h"

namespace store {
namespace {

struct Rgb {
    int r, g, b;
};

constexpr int kNamedColours = 240;
constexpr std::uint16_t kDirectColourBit = 0x8000;

constexpr Rgb kBase[16] = {
    {0, 0, 0},     {255, 255, 255}, {255, 0, 0},     {0, 255, 0},     {0, 0, 255}, {255, 0, 255},
    {255, 255, 0}, {0, 255, 255},   {128, 0, 0},     {0, 128, 0},     {0, 0, 128}, {128, 0, 128},
    {128, 128, 0}, {0, 128, 128},   {128, 128, 128}, {192, 192, 192},
};

// Hues of the 15 colour columns, in degrees: reds and oranges through yellow, green, cyan,
// blue and purple back to the pinks.
constexpr int kHue[15] = {0, 25, 50, 75, 110, 150, 175, 195, 220, 250, 270, 290, 315, 335, 350};
// Lightness and saturation of the 14 rows, in percent.
constexpr int kLight[14] = {96, 91, 85, 78, 71, 63, 56, 49, 42, 35, 28, 21, 55, 33};
constexpr int kSat[14] = {80, 80, 80, 80, 80, 80, 80, 85, 85, 85, 85, 85, 22, 22};
// The grey column: percent of black, row by row (white first, black last).
constexpr int kGrey[14] = {0, 5, 10, 15, 20, 25, 30, 35, 40, 50, 60, 70, 80, 100};

Rgb FromHsl(int hue, int sat, int light) {
    const double s = sat / 100.0, l = light / 100.0;
    const double c = (1 - (2 * l - 1 < 0 ? 1 - 2 * l : 2 * l - 1)) * s;
    const double h = hue / 60.0;
    const double hm = h - 2 * int(h / 2); // h modulo 2
    const double x = c * (1 - (hm - 1 < 0 ? 1 - hm : hm - 1));
    double r = 0, g = 0, b = 0;
    switch (int(h) % 6) {
    case 0:
        r = c, g = x;
        break;
    case 1:
        r = x, g = c;
        break;
    case 2:
        g = c, b = x;
        break;
    case 3:
        g = x, b = c;
        break;
    case 4:
        r = x, b = c;
        break;
    default:
        r = c, b = x;
        break;
    }
    const double m = l - c / 2;
    const auto to8 = [m](double v) { return int((v + m) * 255 + 0.5); };
    return {to8(r), to8(g), to8(b)};
}

const std::array<Rgb, kNamedColours>& Palette() {
    static const std::array<Rgb, kNamedColours> palette = [] {
        std::array<Rgb, kNamedColours> p{};
        for (int i = 0; i < 16; ++i)
            p[i] = kBase[i];
        for (int row = 0; row < 14; ++row) {
            for (int col = 0; col < 15; ++col)
                p[16 + row * 16 + col] = FromHsl(kHue[col], kSat[row], kLight[row]);
            const int v = 255 * (100 - kGrey[row]) / 100;
            p[16 + row * 16 + 15] = {v, v, v};
        }
        p[16] = {255, 255, 255}; // the first tint is plain white
        return p;
    }();
    return palette;
}

int Expand5(int v) {
    return (v << 3) | (v >> 2);
}

} // namespace

std::uint16_t MapColorIndex(std::uint16_t value) {
    if (value < kNamedColours || (value & kDirectColourBit) == 0)
        return value;
    const Rgb c{Expand5((value >> 10) & 31), Expand5((value >> 5) & 31), Expand5(value & 31)};
    // Weighted distance: the eye tells greens apart best and blues least.
    int best = 0;
    long bestDistance = -1;
    const auto& palette = Palette();
    for (int i = 0; i < kNamedColours; ++i) {
        const long dr = c.r - palette[i].r, dg = c.g - palette[i].g, db = c.b - palette[i].b;
        const long d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
        if (bestDistance < 0 || d < bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    return std::uint16_t(best);
}

} // namespace store
