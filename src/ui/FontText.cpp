#include "ui/FontText.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <algorithm>
#include <cstdlib>

QFont ToQFont(const FontSpec& spec) {
    QFont font;
    // A face the system lacks (the built-in default names a face of another platform) keeps
    // the system's general font rather than a random substitute.
    const QString family = QString::fromStdString(spec.face);
    if (!family.isEmpty() && QFontDatabase::hasFamily(family))
        font.setFamily(family);
    if (spec.height != 0)
        font.setPixelSize(std::min(std::abs(spec.height), 200));
    if (spec.weight > 0)
        font.setWeight(QFont::Weight(std::clamp(spec.weight, 1, 1000)));
    font.setItalic(spec.italic != 0);
    font.setUnderline(spec.underline != 0);
    font.setStrikeOut(spec.strikeOut != 0);
    if ((spec.pitchAndFamily & 0x3) == 1) {
        font.setStyleHint(QFont::Monospace);
        font.setFixedPitch(true);
        if (!QFontInfo(font).fixedPitch())
            font.setFamily(QStringLiteral("monospace"));
    }
    return font;
}

QFont ToFixedQFont(const FontSpec& spec) {
    FontSpec fixed = spec;
    fixed.pitchAndFamily = 1;
    fixed.face.clear();
    return ToQFont(fixed);
}

FontSpec FromQFont(const QFont& font) {
    FontSpec spec = *ParseFontText(kDefaultTreeFont);
    spec.height = -(font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize());
    spec.weight = font.weight();
    spec.italic = font.italic() ? 1 : 0;
    spec.underline = font.underline() ? 1 : 0;
    spec.strikeOut = font.strikeOut() ? 1 : 0;
    spec.pitchAndFamily = font.fixedPitch() ? 49 : 34;
    spec.face = font.family().toStdString().substr(0, FontSpec::kMaxFace);
    return spec;
}
