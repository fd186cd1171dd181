// The tree list control as a widget: paints the rows of a CTreeListCore and forwards keys,
// typed characters, mouse actions and timers to it. It is the core's window system and its
// owner; what the owner hears is re-emitted as signals.
#pragma once

#include <QAbstractScrollArea>
#include <QTimer>
#include <map>
#include <memory>
#include <vector>

#include "treelist/TreeListCore.h"

class CWaitCursor;

class TreeListWidget : public QAbstractScrollArea,
                       private treelist::Platform,
                       private treelist::Owner {
    Q_OBJECT
public:
    explicit TreeListWidget(QWidget* parent = nullptr);
    ~TreeListWidget() override;

    CTreeListCore& Core() { return *core_; }
    // Sets the font and the row height that follows from it; every row is measured again.
    void SetTreeFont(const QFont& font);
    // The horizontal scrolling of this control is applied to the other one too.
    void LinkHorizontal(TreeListWidget* other);
    // Selects the node, scrolls it into view and sends the selection notifications.
    void SelectAndNotify(CTreeListNode* node);
    // The rows may have changed behind the control's back: scroll range and picture follow.
    void Refresh();

signals:
    void selectionChanged(CTreeListNode* node);
    void popupMenuRequested(CTreeListNode* node, quint32 menuId, const QPoint& globalPos);

protected:
    // The connector cell and the ancestor cells of a row: the node's own by default.
    virtual int ConnectorFor(const CTreeListNode& node, bool boxPressed) const;
    virtual std::vector<int> AncestorsFor(const CTreeListNode& node) const;

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool focusNextPrevChild(bool) override { return false; } // Tab stays a plain key

private:
    // treelist::Platform
    void StartTimer(int id, unsigned milliseconds) override;
    void StopTimer(int id) override;
    void SetFocus() override { setFocus(Qt::MouseFocusReason); }
    bool HasFocus() const override { return hasFocus(); }
    void SetCapture() override { captured_ = true; }
    void ReleaseCapture() override { captured_ = false; }
    bool HasCapture() const override { return captured_; }
    void SetRedraw(bool on) override;
    void InvalidateRow(int row) override;
    void InvalidateAll() override;
    void ScrollBelow(int row, int dy) override;
    int TextWidth(std::string_view text) const override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    // treelist::Owner
    void OnSelectionChanged(CTreeListNode* node) override { emit selectionChanged(node); }
    void OnPopupMenu(CTreeListNode& node, std::uint32_t menuId, treelist::Point at) override;
    void OnExtentChanged(int) override { SyncScrollBars(); }
    void OnTopRowChanged(int) override { SyncScrollBars(); }

    void SyncScrollBars();
    void PaintRow(QPainter& p, CTreeListNode& node, int y);
    treelist::Point ToCore(const QPoint& p) const { return {p.x(), p.y()}; }

    class WaitingCore;
    std::unique_ptr<CTreeListCore> core_;
    std::map<int, QTimer*> timers_;
    std::vector<TreeListWidget*> linked_;
    bool captured_ = false;
    bool syncing_ = false;
    bool pendingPaint_ = false;
    std::vector<std::unique_ptr<CWaitCursor>> waits_;
};
