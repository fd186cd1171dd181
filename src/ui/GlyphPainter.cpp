#include "ui/GlyphPainter.h"

#include <QPainter>
#include <QPainterPath>

namespace glyphs {
namespace {

// Connector cells come in three families of seven: with a next sibling (0), last child (7) and
// top level (14). Within a family: 0 collapsed box, 1 pressed, 3 expanded, 4 pressed, 6 no box.
struct Connector {
    bool up;   // line from the top to the middle
    bool down; // line from the middle to the bottom
    int box;   // 0 none, 1 collapsed, 2 expanded
    bool pressed;
};

Connector DecodeConnector(int index) {
    const int family = index / 7;
    const int variant = index % 7;
    Connector c{family != 2, family == 0, 0, false};
    if (variant < 3) {
        c.box = 1;
        c.pressed = variant == 1;
    } else if (variant < 6) {
        c.box = 2;
        c.pressed = variant == 4;
    }
    return c;
}

void DrawDotted(QPainter& p, QPointF a, QPointF b, const QColor& colour) {
    QPen pen(colour, 1.0, Qt::DotLine);
    p.setPen(pen);
    p.drawLine(a, b);
}

void DrawBox(QPainter& p, QPointF centre, qreal half, bool expanded, bool pressed,
             const QColor& colour) {
    const QRectF box(centre.x() - half, centre.y() - half, 2 * half, 2 * half);
    p.setPen(QPen(colour, 1.0));
    p.setBrush(pressed ? QColor(200, 200, 200) : QColor(Qt::white));
    p.drawRect(box);
    const qreal arm = half - 2;
    p.setPen(QPen(Qt::black, 1.0));
    p.drawLine(QPointF(centre.x() - arm, centre.y()), QPointF(centre.x() + arm, centre.y()));
    if (!expanded) {
        p.drawLine(QPointF(centre.x(), centre.y() - arm), QPointF(centre.x(), centre.y() + arm));
    }
}

void DrawCheck(QPainter& p, const QRect& cell, int index) {
    const bool checked = index >= 31;
    const int variant = (index - 28) % 3; // 0 normal, 1 pressed, 2 disabled
    const qreal side = std::min(cell.width(), cell.height()) - 4;
    const QRectF box(cell.center().x() - side / 2 + 0.5, cell.center().y() - side / 2 + 0.5, side,
                     side);
    p.setPen(QPen(variant == 2 ? QColor(160, 160, 160) : QColor(64, 64, 64), 1.0));
    p.setBrush(variant == 0 ? QColor(Qt::white) : QColor(220, 220, 220));
    p.drawRect(box);
    if (checked) {
        QPainterPath tick;
        tick.moveTo(box.left() + side * 0.2, box.top() + side * 0.55);
        tick.lineTo(box.left() + side * 0.42, box.top() + side * 0.78);
        tick.lineTo(box.left() + side * 0.82, box.top() + side * 0.25);
        p.setPen(QPen(variant == 2 ? QColor(160, 160, 160) : QColor(Qt::black), 1.6));
        p.setBrush(Qt::NoBrush);
        p.drawPath(tick);
    }
}

} // namespace

void DrawGlyph(QPainter& p, const QRect& cell, int index, const QColor& lineColour) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    const QPointF mid(cell.left() + cell.width() / 2, cell.top() + cell.height() / 2);
    if (index >= 0 && index < 21) {
        const Connector c = DecodeConnector(index);
        if (c.up) {
            DrawDotted(p, QPointF(mid.x(), cell.top()), mid, lineColour);
        }
        if (c.down) {
            DrawDotted(p, mid, QPointF(mid.x(), cell.bottom() + 1), lineColour);
        }
        DrawDotted(p, mid, QPointF(cell.right() + 1, mid.y()), lineColour);
        if (c.box != 0) {
            DrawBox(p, mid, 4, c.box == 2, c.pressed, lineColour);
        }
    } else if (index == 21) {
        DrawDotted(p, QPointF(mid.x(), cell.top()), QPointF(mid.x(), cell.bottom() + 1),
                   lineColour);
    } else if (index >= 28 && index <= 33) {
        p.setRenderHint(QPainter::Antialiasing, true);
        DrawCheck(p, cell, index);
    }
    p.restore();
}

namespace {

// Shapes of node pictures, chosen by the bitmap the image entry names.
enum class Shape { Folder, Page, Item, Record, Stub, Person };

Shape ShapeOf(std::uint16_t bitmap) {
    switch (bitmap) {
    case 114:
        return Shape::Person;
    case 115:
        return Shape::Page;
    case 116:
        return Shape::Item;
    case 117:
        return Shape::Record;
    case 120:
        return Shape::Stub;
    default:
        return Shape::Folder;
    }
}

QColor ColourOf(std::uint16_t strip) {
    static const QColor kPalette[] = {
        QColor(214, 168, 58), QColor(70, 130, 180), QColor(60, 150, 90),  QColor(180, 80, 80),
        QColor(130, 90, 170), QColor(200, 120, 40), QColor(40, 140, 150), QColor(120, 120, 120),
    };
    return kPalette[strip % (sizeof kPalette / sizeof kPalette[0])];
}

} // namespace

void DrawNodeImage(QPainter& p, const QRect& cell, NodeImage image) {
    const ImageEntry& entry = imagecache::Entry(image.entry);
    if (entry.bitmap == 0) {
        return;
    }
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    if (entry.kind == ImageKind::Ghosted) {
        p.setOpacity(0.45);
    }
    const QRectF r = QRectF(cell).adjusted(1.5, 2.5, -1.5, -1.5);
    const QColor fill = ColourOf(image.strip);
    p.setPen(QPen(fill.darker(160), 1.0));
    p.setBrush(fill);
    switch (ShapeOf(entry.bitmap)) {
    case Shape::Folder: {
        QPainterPath path;
        path.moveTo(r.left(), r.top() + 2);
        path.lineTo(r.left() + r.width() * 0.4, r.top() + 2);
        path.lineTo(r.left() + r.width() * 0.5, r.top() + 4);
        path.lineTo(r.right(), r.top() + 4);
        path.lineTo(r.right(), r.bottom());
        path.lineTo(r.left(), r.bottom());
        path.closeSubpath();
        p.drawPath(path);
        break;
    }
    case Shape::Page: {
        const QRectF page = r.adjusted(r.width() * 0.15, 0, -r.width() * 0.15, 0);
        p.setBrush(Qt::white);
        p.drawRect(page);
        p.setPen(QPen(fill, 1.2));
        for (int i = 1; i <= 3; ++i) {
            const qreal y = page.top() + page.height() * i / 4.5;
            p.drawLine(QPointF(page.left() + 2, y), QPointF(page.right() - 2, y));
        }
        break;
    }
    case Shape::Item:
        p.drawRoundedRect(r.adjusted(0, r.height() * 0.25, 0, -r.height() * 0.2), 2, 2);
        break;
    case Shape::Record:
        p.drawEllipse(r.adjusted(r.width() * 0.1, r.height() * 0.1, -r.width() * 0.1, 0));
        break;
    case Shape::Stub:
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(r.width() * 0.15, 0, -r.width() * 0.15, 0));
        p.drawLine(r.topLeft(), r.bottomRight());
        break;
    case Shape::Person:
        p.drawEllipse(
            QRectF(r.center().x() - r.width() * 0.2, r.top(), r.width() * 0.4, r.height() * 0.4));
        p.drawRoundedRect(
            QRectF(r.left() + 1, r.top() + r.height() * 0.5, r.width() - 2, r.height() * 0.5), 3,
            3);
        break;
    }
    p.restore();
}

} // namespace glyphs
