#include "ui/FontText.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <algorithm>
#include <charconv>
#include <cstdlib>

namespace {
enum Field { kHeight = 0, kWeight = 4, kItalic = 5, kUnderline = 6, kStrikeOut = 7, kPitch = 12 };
constexpr std::size_t kFaceRoom = 31;
} // namespace

std::optional<FontDescription> FontDescription::Parse(std::string_view text) {
    FontDescription d;
    std::size_t pos = 0;
    for (std::size_t i = 0; i < d.numbers.size(); ++i) {
        const std::size_t comma = text.find(',', pos);
        if (comma == std::string_view::npos)
            return std::nullopt;
        std::string_view field = text.substr(pos, comma - pos);
        while (!field.empty() && field.front() == ' ')
            field.remove_prefix(1);
        long value = 0;
        auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
        if (ec != std::errc() || end != field.data() + field.size() || field.empty()) {
            return std::nullopt;
        }
        // The last eight are kept as bytes.
        d.numbers[i] = i >= 5 ? static_cast<long>(static_cast<std::uint8_t>(value)) : value;
        pos = comma + 1;
    }
    // The face is everything after the last comma.
    const std::size_t last = text.rfind(',');
    d.face = std::string(text.substr(last + 1).substr(0, kFaceRoom));
    return d;
}

std::string FontDescription::Format() const {
    std::string out;
    for (long n : numbers)
        out += std::to_string(n) + ",";
    return out + face;
}

QFont FontDescription::ToFont() const {
    QFont font;
    // A face the system lacks (the built-in default names a face of another platform) keeps
    // the system's general font rather than a random substitute.
    const QString family = QString::fromStdString(face);
    if (!family.isEmpty() && QFontDatabase::hasFamily(family)) {
        font.setFamily(family);
    }
    if (numbers[kHeight] != 0) {
        font.setPixelSize(int(std::min<long>(std::labs(numbers[kHeight]), 200)));
    }
    if (numbers[kWeight] > 0) {
        font.setWeight(QFont::Weight(std::clamp<long>(numbers[kWeight], 1, 1000)));
    }
    font.setItalic(numbers[kItalic] != 0);
    font.setUnderline(numbers[kUnderline] != 0);
    font.setStrikeOut(numbers[kStrikeOut] != 0);
    if ((numbers[kPitch] & 0x3) == 1) {
        font.setStyleHint(QFont::Monospace);
        font.setFixedPitch(true);
        if (!QFontInfo(font).fixedPitch())
            font.setFamily(QStringLiteral("monospace"));
    }
    return font;
}

QFont FontDescription::ToFixedFont() const {
    FontDescription fixed = *this;
    fixed.numbers[kPitch] = 1;
    fixed.face.clear();
    return fixed.ToFont();
}

FontDescription FontDescription::FromFont(const QFont& font) {
    FontDescription d = *Parse(kDefaultFontText);
    const int px = font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
    d.numbers[kHeight] = -px;
    d.numbers[kWeight] = font.weight();
    d.numbers[kItalic] = font.italic() ? 1 : 0;
    d.numbers[kUnderline] = font.underline() ? 1 : 0;
    d.numbers[kStrikeOut] = font.strikeOut() ? 1 : 0;
    d.numbers[kPitch] = font.fixedPitch() ? 49 : 34;
    d.face = font.family().toStdString().substr(0, kFaceRoom);
    return d;
}
