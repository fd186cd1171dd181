#include "ui/TreeListWidget.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionFocusRect>

#include "tree/WaitCursor.h"
#include "ui/CancelWatch.h"
#include "ui/GlyphPainter.h"

using namespace treelist;

// Expansion and collapse can read the store for a long time: they run under the wait cursor,
// and Ctrl+Break or Escape cancels them. The whole control is repainted afterwards, since a
// cancelled expansion may leave fewer rows than it announced.
class TreeListWidget::WaitingCore : public CTreeListCore {
public:
    using CTreeListCore::CTreeListCore;
    void Expand(CTreeListNode* node) override {
        CWaitCursor wait;
        cancelwatch::Scope watch;
        CTreeListCore::Expand(node);
    }
    void Collapse(CTreeListNode* node) override {
        CWaitCursor wait;
        cancelwatch::Scope watch;
        CTreeListCore::Collapse(node);
    }
    void ExpandAll(CTreeListNode* node) override {
        CWaitCursor wait;
        cancelwatch::Scope watch;
        CTreeListCore::ExpandAll(node);
    }
};

namespace {

std::optional<Key> CoreKey(const QKeyEvent& e) {
    const bool keypad = (e.modifiers() & Qt::KeypadModifier) != 0;
    switch (e.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return Key::Enter;
    case Qt::Key_Backspace:
        return Key::Backspace;
    case Qt::Key_Space:
        return Key::Space;
    case Qt::Key_Left:
        return Key::Left;
    case Qt::Key_Right:
        return Key::Right;
    case Qt::Key_Up:
        return Key::Up;
    case Qt::Key_Down:
        return Key::Down;
    case Qt::Key_Home:
        return Key::Home;
    case Qt::Key_End:
        return Key::End;
    case Qt::Key_PageUp:
        return Key::PageUp;
    case Qt::Key_PageDown:
        return Key::PageDown;
    case Qt::Key_Asterisk:
        if (keypad)
            return Key::NumMultiply;
        break;
    case Qt::Key_Plus:
        if (keypad)
            return Key::NumAdd;
        break;
    case Qt::Key_Minus:
        if (keypad)
            return Key::NumSubtract;
        break;
    default:
        break;
    }
    return std::nullopt;
}

// Node colours are stored as 0x00BBGGRR.
QColor FromColourRef(std::uint32_t c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

} // namespace

TreeListWidget::TreeListWidget(QWidget* parent)
    : QAbstractScrollArea(parent), core_(std::make_unique<WaitingCore>(
                                       static_cast<Platform&>(*this), static_cast<Owner*>(this))) {
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setAutoFillBackground(false);
    SetTreeFont(font());
}

TreeListWidget::~TreeListWidget() {
    // Nodes may still call back while they are destroyed: the core goes first.
    core_.reset();
}

void TreeListWidget::SetTreeFont(const QFont& f) {
    setFont(f);
    viewport()->setFont(f);
    core_->SetRowHeight(std::max(16, QFontMetrics(f).height()));
    core_->FontChanged();
    SyncScrollBars();
    viewport()->update();
}

void TreeListWidget::LinkHorizontal(TreeListWidget* other) {
    linked_.push_back(other);
    core_->SetLinkedControl(&other->Core());
}

void TreeListWidget::SelectAndNotify(CTreeListNode* node) {
    core_->RememberSelection();
    core_->SelectAndShow(node);
    core_->SendSelectionNotifications();
    viewport()->update();
}

void TreeListWidget::Refresh() {
    SyncScrollBars();
    viewport()->update();
}

// --- Platform

void TreeListWidget::StartTimer(int id, unsigned ms) {
    QTimer*& t = timers_[id];
    if (t == nullptr) {
        t = new QTimer(this);
        connect(t, &QTimer::timeout, this, [this, id] {
            if (core_)
                core_->Timer(id);
        });
    }
    t->start(int(ms));
}

void TreeListWidget::StopTimer(int id) {
    if (auto it = timers_.find(id); it != timers_.end())
        it->second->stop();
}

void TreeListWidget::SetRedraw(bool on) {
    // Painting only reads the rows, so a frozen control just postpones its repaint.
    if (on) {
        SyncScrollBars();
        viewport()->update();
    }
}

void TreeListWidget::InvalidateRow(int row) {
    const int y = (row - core_->TopRow()) * core_->RowHeight();
    viewport()->update(0, y, viewport()->width(), core_->RowHeight());
}

void TreeListWidget::InvalidateAll() {
    SyncScrollBars();
    viewport()->update();
}

void TreeListWidget::ScrollBelow(int, int) {
    SyncScrollBars();
    viewport()->update();
}

int TreeListWidget::TextWidth(std::string_view text) const {
    return QFontMetrics(font()).horizontalAdvance(
        QString::fromUtf8(text.data(), qsizetype(text.size())));
}

// The control's own waits nest with every other one of the program.
void TreeListWidget::BeginWaitCursor() {
    waits_.push_back(std::make_unique<CWaitCursor>());
}
void TreeListWidget::EndWaitCursor() {
    if (!waits_.empty())
        waits_.pop_back();
}

void TreeListWidget::OnPopupMenu(CTreeListNode& node, std::uint32_t menuId, Point at) {
    emit popupMenuRequested(&node, menuId, viewport()->mapToGlobal(QPoint(at.x, at.y)));
}

// --- scrolling

void TreeListWidget::SyncScrollBars() {
    if (!core_ || syncing_)
        return;
    syncing_ = true;
    const int rows = core_->RowCount();
    const int page = std::max(1, core_->RowsPerPage());
    verticalScrollBar()->setRange(0, std::max(0, rows - page));
    verticalScrollBar()->setPageStep(page);
    verticalScrollBar()->setValue(core_->TopRow());
    const int extent = core_->HorizontalExtent();
    const bool wide = (core_->Style() & style::kHorizontalExtent) && extent > viewport()->width();
    horizontalScrollBar()->setRange(0, wide ? 100 : 0);
    horizontalScrollBar()->setPageStep(wide ? std::max(1, 100 * viewport()->width() / extent) : 1);
    syncing_ = false;
}

void TreeListWidget::scrollContentsBy(int, int) {
    if (syncing_)
        return;
    syncing_ = true;
    core_->SetTopRow(verticalScrollBar()->value());
    const int percent = horizontalScrollBar()->value();
    core_->SetHorizontalScroll(percent);
    for (TreeListWidget* other : linked_) {
        other->core_->SetHorizontalScroll(percent);
        other->viewport()->update();
    }
    syncing_ = false;
    viewport()->update();
}

void TreeListWidget::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    core_->SetClientSize(viewport()->width(), viewport()->height());
    SyncScrollBars();
}

// --- painting

int TreeListWidget::ConnectorFor(const CTreeListNode& node, bool boxPressed) const {
    return ConnectorGlyph(node, boxPressed);
}

std::vector<int> TreeListWidget::AncestorsFor(const CTreeListNode& node) const {
    return AncestorGlyphs(node);
}

void TreeListWidget::paintEvent(QPaintEvent*) {
    QPainter p(viewport());
    p.fillRect(viewport()->rect(), palette().color(QPalette::Base));
    const int rowHeight = core_->RowHeight();
    const int rows = core_->RowCount();
    for (int r = core_->TopRow(), y = 0; r < rows && y < viewport()->height();
         ++r, y += rowHeight) {
        if (CTreeListNode* node = core_->NodeAt(r))
            PaintRow(p, *node, y);
    }
}

void TreeListWidget::PaintRow(QPainter& p, CTreeListNode& node, int y) {
    const int rowHeight = core_->RowHeight();
    const int indent = core_->Indent();
    const int dx = -core_->HorizontalOffset();
    const RowLayout layout = core_->Layout(node);
    const QColor lines = palette().color(QPalette::Mid);
    if (layout.connectorLeft >= 0) {
        const bool pressed = core_->Pressed(node, kZoneExpandBox);
        glyphs::DrawGlyph(p, QRect(dx + layout.connectorLeft, y, indent, rowHeight),
                          ConnectorFor(node, pressed), lines);
        int x = layout.connectorLeft;
        for (int g : AncestorsFor(node)) {
            x -= indent;
            glyphs::DrawGlyph(p, QRect(dx + x, y, indent, rowHeight), g, lines);
        }
    }
    if (layout.checkLeft >= 0 && node.HasCheckBox()) {
        glyphs::DrawGlyph(p, QRect(dx + layout.checkLeft, y, indent, rowHeight),
                          CheckGlyph(node, core_->Pressed(node, kZoneCheckBox)), lines);
    }
    if (layout.imageWidth > 0) {
        if (auto image = node.GetImage()) {
            const int h = std::min<int>(rowHeight, imagecache::Entry(image->entry).cellHeight);
            glyphs::DrawNodeImage(
                p, QRect(dx + layout.imageLeft, y + (rowHeight - h) / 2, layout.imageWidth, h),
                *image);
        }
    }
    const bool selected = core_->GetCurrent() == &node;
    const bool focused = hasFocus();
    QColor text = node.GetTextColour() == CTreeListNode::kDefaultColour
                      ? palette().color(QPalette::Text)
                      : FromColourRef(node.GetTextColour());
    const QRect labelRect(dx + layout.labelRectLeft, y,
                          layout.labelRectRight - layout.labelRectLeft, rowHeight);
    if (selected && focused) {
        p.fillRect(labelRect, palette().color(QPalette::Highlight));
        text = palette().color(QPalette::HighlightedText);
    }
    const std::string_view label = node.GetLabel();
    const QString shown = label.empty() ? QStringLiteral("      ")
                                        : QString::fromUtf8(label.data(), qsizetype(label.size()));
    p.setPen(text);
    p.drawText(QRect(dx + layout.labelLeft, y, layout.labelRectRight - layout.labelLeft, rowHeight),
               Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, shown);
    if (selected && !focused) {
        p.setPen(palette().color(QPalette::Highlight));
        p.setBrush(Qt::NoBrush);
        p.drawRect(labelRect.adjusted(0, 0, -1, -1));
    } else if (selected) {
        p.setPen(QPen(palette().color(QPalette::HighlightedText), 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(labelRect.adjusted(0, 0, -1, -1));
    }
}

// --- input

void TreeListWidget::keyPressEvent(QKeyEvent* e) {
    Modifiers mods{(e->modifiers() & Qt::ShiftModifier) != 0,
                   (e->modifiers() & Qt::ControlModifier) != 0};
    const auto key = CoreKey(*e);
    const bool handled = core_->KeyDown(key.value_or(Key::Other), mods, e->isAutoRepeat());
    if (!handled && !key) {
        const QString text = e->text();
        if (!text.isEmpty() && text.at(0).isPrint() && !mods.ctrl) {
            for (char32_t c : text.toUcs4())
                core_->Char(c);
        } else {
            QAbstractScrollArea::keyPressEvent(e);
            return;
        }
    }
    SyncScrollBars();
    viewport()->update();
}

void TreeListWidget::keyReleaseEvent(QKeyEvent* e) {
    if (e->isAutoRepeat())
        return;
    const auto key = CoreKey(*e);
    core_->KeyUp(key.value_or(Key::Other));
    viewport()->update();
}

void TreeListWidget::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) {
        core_->LButtonDown(ToCore(e->position().toPoint()));
    } else if (e->button() == Qt::RightButton) {
        core_->RButtonDown(ToCore(e->position().toPoint()));
    }
    viewport()->update();
}

void TreeListWidget::mouseMoveEvent(QMouseEvent* e) {
    if (captured_) {
        core_->MouseMove(ToCore(e->position().toPoint()));
        SyncScrollBars();
        viewport()->update();
    }
}

void TreeListWidget::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) {
        core_->LButtonUp(ToCore(e->position().toPoint()));
    } else if (e->button() == Qt::RightButton) {
        core_->RButtonUp(ToCore(e->position().toPoint()));
    }
    SyncScrollBars();
    viewport()->update();
}

void TreeListWidget::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) {
        core_->LButtonDblClk(ToCore(e->position().toPoint()));
        SyncScrollBars();
        viewport()->update();
    }
}

void TreeListWidget::focusInEvent(QFocusEvent* e) {
    QAbstractScrollArea::focusInEvent(e);
    viewport()->update();
}

void TreeListWidget::focusOutEvent(QFocusEvent* e) {
    QAbstractScrollArea::focusOutEvent(e);
    core_->CancelMode();
    viewport()->update();
}
