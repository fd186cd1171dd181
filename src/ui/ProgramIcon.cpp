#include "ui/ProgramIcon.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>

namespace {

void Draw(QPainter& p, const QRectF& r) {
    p.setRenderHint(QPainter::Antialiasing);
    const qreal u = r.width() / 32.0; // drawn on a 32-unit grid
    auto at = [&](qreal x, qreal y) { return QPointF(r.left() + x * u, r.top() + y * u); };

    QPainterPath frame;
    frame.addRoundedRect(QRectF(at(1, 1), at(31, 31)), 6 * u, 6 * u);
    p.fillPath(frame, QColor(0x2d, 0x4a, 0x6b));

    // Tree lines and three nodes: a root and two children.
    p.setPen(QPen(QColor(0xd8, 0xe4, 0xf0), 1.6 * u, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(at(8, 9), at(8, 23));
    p.drawLine(at(8, 15), at(14, 15));
    p.drawLine(at(8, 23), at(14, 23));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf2, 0xb7, 0x3f));
    p.drawRoundedRect(QRectF(at(5, 5), at(11, 10)), u, u);
    p.setBrush(QColor(0x6c, 0xc2, 0xb5));
    p.drawRoundedRect(QRectF(at(13, 12.5), at(19, 17.5)), u, u);
    p.drawRoundedRect(QRectF(at(13, 20.5), at(19, 25.5)), u, u);

    // The lens over the second child: what the program is for.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, 2.2 * u));
    p.drawEllipse(QRectF(at(14, 9), at(25, 20)));
    p.setPen(QPen(Qt::white, 3.0 * u, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(at(23.5, 18.5), at(28, 23));
}

class ProgramIconEngine : public QIconEngine {
public:
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override {
        const int side = qMin(rect.width(), rect.height());
        Draw(*painter, QRectF(rect.left() + (rect.width() - side) / 2.0,
                              rect.top() + (rect.height() - side) / 2.0, side, side));
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap pm(size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        paint(&p, QRect(QPoint(0, 0), size), mode, state);
        return pm;
    }
    QIconEngine* clone() const override { return new ProgramIconEngine; }
};

} // namespace

QIcon ProgramIcon() {
    return QIcon(new ProgramIconEngine);
}
