#include "ui/FontText.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <algorithm>
#include <cstdlib>

QFont ToQFont(const FontDesc& desc) {
    QFont font;
    // A face the system lacks (the built-in default names a face of another platform) keeps
    // the system's general font rather than a random substitute.
    const QString family = QString::fromStdString(desc.face);
    if (!family.isEmpty() && QFontDatabase::hasFamily(family))
        font.setFamily(family);
    if (desc.height != 0)
        font.setPixelSize(std::min(std::abs(desc.height), 200));
    if (desc.weight > 0)
        font.setWeight(QFont::Weight(std::clamp(desc.weight, 1, 1000)));
    font.setItalic(desc.italic != 0);
    font.setUnderline(desc.underline != 0);
    font.setStrikeOut(desc.strikeOut != 0);
    if ((desc.pitchAndFamily & 0x3) == 1) {
        font.setStyleHint(QFont::Monospace);
        font.setFixedPitch(true);
        if (!QFontInfo(font).fixedPitch())
            font.setFamily(QStringLiteral("monospace"));
    }
    return font;
}

QFont ToFixedQFont(const FontDesc& desc) {
    FontDesc fixed = desc;
    fixed.pitchAndFamily = 1;
    fixed.face.clear();
    return ToQFont(fixed);
}

FontDesc FromQFont(const QFont& font) {
    FontDesc desc = *ParseFontText(kDefaultTreeFont);
    desc.height = -(font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize());
    desc.weight = font.weight();
    desc.italic = font.italic() ? 1 : 0;
    desc.underline = font.underline() ? 1 : 0;
    desc.strikeOut = font.strikeOut() ? 1 : 0;
    desc.pitchAndFamily = font.fixedPitch() ? 49 : 34;
    desc.face = font.family().toStdString().substr(0, FontDesc::kMaxFace);
    return desc;
}
