// Fonts of the settings' font text as the window system's fonts. A negative height is the
// character height in pixels.
#pragma once

#include <QFont>

#include "app/FontText.h"

QFont ToQFont(const FontDesc& desc);
// The same font with the fixed-pitch bit set (hex dumps).
QFont ToFixedQFont(const FontDesc& desc);
FontDesc FromQFont(const QFont& font);
