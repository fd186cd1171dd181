// Our own small vector drawings for the tree list control: the glyph strip's cells (connectors,
// expand boxes, lines, check boxes) and the node images. Drawn with a painter at any size, so
// they stay sharp at high pixel densities.
#pragma once

#include <QColor>
#include <QRect>

#include "treelist/ImageCache.h"

class QPainter;

namespace glyphs {

// Draws glyph-strip cell `index` into rect (one indent wide, one row high).
void DrawGlyph(QPainter& p, const QRect& cell, int index, const QColor& lineColour);
// Draws a node image into its cell; kind 3 entries are drawn ghosted.
void DrawNodeImage(QPainter& p, const QRect& cell, NodeImage image);

} // namespace glyphs
