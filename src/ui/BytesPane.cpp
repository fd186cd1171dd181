#include "ui/BytesPane.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

namespace {
// Columns, in character cells: the offset, then the hex cells, then the text.
constexpr int kMargin = 4;
constexpr int kHexColumn = 10;
constexpr int kTextColumn = kHexColumn + BytesPane::kPerRow * 3 + 2;
} // namespace

BytesPane::BytesPane(QWidget* parent) : QAbstractScrollArea(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
}

void BytesPane::Show(std::vector<std::uint8_t> bytes, std::vector<InfoPaneField> fields) {
    bytes_ = std::move(bytes);
    fields_ = std::move(fields);
    explained_ = ExplainedBytes(fields_, bytes_.size());
    if (selected_ >= int(fields_.size()))
        selected_ = -1;
    if (cursor_ >= bytes_.size())
        cursor_ = 0;
    UpdateScroll();
    viewport()->update();
}

void BytesPane::SelectField(int field) {
    selected_ = field >= 0 && field < int(fields_.size()) ? field : -1;
    if (selected_ >= 0 && fields_[std::size_t(selected_)].hasRange &&
        fields_[std::size_t(selected_)].offset < bytes_.size()) {
        cursor_ = fields_[std::size_t(selected_)].offset;
        const int row = int(cursor_ / kPerRow);
        const int rows = std::max(1, viewport()->height() / LineHeight());
        QScrollBar* bar = verticalScrollBar();
        if (row < bar->value() || row >= bar->value() + rows)
            bar->setValue(row);
    }
    viewport()->update();
}

bool BytesPane::Highlighted(std::size_t at) const {
    return selected_ >= 0 && fields_[std::size_t(selected_)].Covers(at);
}

int BytesPane::CellWidth() const {
    return std::max(1, fontMetrics().horizontalAdvance(QLatin1Char('0')));
}

int BytesPane::LineHeight() const {
    return std::max(1, fontMetrics().height());
}

QPoint BytesPane::ByteCentre(std::size_t at) const {
    const int row = int(at / kPerRow) - verticalScrollBar()->value();
    const int column = kHexColumn + int(at % kPerRow) * 3;
    return QPoint(kMargin + column * CellWidth() + CellWidth(),
                  row * LineHeight() + LineHeight() / 2);
}

long BytesPane::ByteAt(const QPoint& point) const {
    const int row = point.y() / LineHeight() + verticalScrollBar()->value();
    const int cell = (point.x() - kMargin) / CellWidth();
    int column = -1;
    if (cell >= kHexColumn && cell < kHexColumn + kPerRow * 3)
        column = (cell - kHexColumn) / 3;
    else if (cell >= kTextColumn && cell < kTextColumn + kPerRow)
        column = cell - kTextColumn;
    if (column < 0 || row < 0)
        return -1;
    const std::size_t at = std::size_t(row) * kPerRow + std::size_t(column);
    return at < bytes_.size() ? long(at) : -1;
}

void BytesPane::MoveCursor(std::size_t at) {
    cursor_ = at;
    const int field = FieldAtByte(fields_, at);
    selected_ = field;
    const int row = int(at / kPerRow);
    const int rows = std::max(1, viewport()->height() / LineHeight());
    QScrollBar* bar = verticalScrollBar();
    if (row < bar->value())
        bar->setValue(row);
    else if (row >= bar->value() + rows)
        bar->setValue(row - rows + 1);
    viewport()->update();
    emit fieldChosen(field);
}

void BytesPane::UpdateScroll() {
    const int rows = int((bytes_.size() + kPerRow - 1) / kPerRow);
    const int shown = std::max(1, viewport()->height() / LineHeight());
    verticalScrollBar()->setRange(0, std::max(0, rows - shown));
    verticalScrollBar()->setPageStep(shown);
    verticalScrollBar()->setSingleStep(1);
}

void BytesPane::paintEvent(QPaintEvent*) {
    QPainter p(viewport());
    p.fillRect(viewport()->rect(), palette().color(QPalette::Base));
    p.setFont(font());
    const int cw = CellWidth();
    const int lh = LineHeight();
    const int ascent = fontMetrics().ascent();
    const QColor shade(224, 224, 224);
    const QColor highlight = palette().color(QPalette::Highlight);
    const int first = verticalScrollBar()->value();
    const int rows = int((bytes_.size() + kPerRow - 1) / kPerRow);
    for (int row = first; row < rows; ++row) {
        const int y = (row - first) * lh;
        if (y > viewport()->height())
            break;
        const std::size_t start = std::size_t(row) * kPerRow;
        p.setPen(palette().color(QPalette::Text));
        p.drawText(kMargin, y + ascent, QString::asprintf("%08zX", start));
        for (std::size_t at = start; at < start + kPerRow && at < bytes_.size(); ++at) {
            const int column = int(at - start);
            const QRect hex(kMargin + (kHexColumn + column * 3) * cw, y, cw * 3, lh);
            const QRect text(kMargin + (kTextColumn + column) * cw, y, cw, lh);
            const bool lit = Highlighted(at);
            if (lit || !Explained(at)) {
                p.fillRect(hex.adjusted(0, 0, Explained(at + 1) == Explained(at) ? 0 : -cw, 0),
                           lit ? highlight : shade);
                p.fillRect(text, lit ? highlight : shade);
            }
            p.setPen(lit ? palette().color(QPalette::HighlightedText)
                         : palette().color(QPalette::Text));
            const unsigned char c = bytes_[at];
            p.drawText(hex.left(), y + ascent, QString::asprintf("%02X", c));
            p.drawText(text.left(), y + ascent,
                       QString(QChar(c >= 32 && c < 127 ? char16_t(c) : u'.')));
            if (at == cursor_ && hasFocus())
                p.drawRect(hex.adjusted(0, 0, -cw - 1, -1));
        }
    }
}

void BytesPane::mousePressEvent(QMouseEvent* event) {
    setFocus();
    const long at = ByteAt(event->position().toPoint());
    if (at >= 0)
        MoveCursor(std::size_t(at));
}

void BytesPane::keyPressEvent(QKeyEvent* event) {
    if (bytes_.empty())
        return QAbstractScrollArea::keyPressEvent(event);
    const std::size_t last = bytes_.size() - 1;
    switch (event->key()) {
    case Qt::Key_Left:
        MoveCursor(cursor_ > 0 ? cursor_ - 1 : 0);
        return;
    case Qt::Key_Right:
        MoveCursor(std::min(cursor_ + 1, last));
        return;
    case Qt::Key_Up:
        MoveCursor(cursor_ >= kPerRow ? cursor_ - kPerRow : cursor_);
        return;
    case Qt::Key_Down:
        MoveCursor(cursor_ + kPerRow <= last ? cursor_ + kPerRow : cursor_);
        return;
    case Qt::Key_Home:
        MoveCursor(0);
        return;
    case Qt::Key_End:
        MoveCursor(last);
        return;
    default:
        QAbstractScrollArea::keyPressEvent(event);
    }
}

void BytesPane::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScroll();
}
