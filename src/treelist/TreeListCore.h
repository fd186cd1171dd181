// The tree list control without a toolkit: one row per visible node in depth-first order, the
// selection, expansion and collapse, the change batch, keys, type-ahead and mouse tracking.
// A widget paints rows with Layout() and the glyph functions, and forwards input here.
//
// Invariants:
// - The control owns a hidden root (level -1, no row); top-level nodes are its children.
// - The rows are exactly the depth-first order of the root's subtree. They are rebuilt lazily
//   after changes, so that adding many children costs one rebuild, not one shift per child.
// - current_ and remembered_ always point at live nodes of this control, or are null: deleting
//   a node clears them first.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "treelist/RowLayout.h"
#include "treelist/TreeListInput.h"
#include "treelist/TreeListNode.h"
#include "treelist/TreeListOwner.h"
#include "treelist/TreeListPlatform.h"

namespace treelist {
enum Zone {
    kZoneNone = 0,
    kZoneOutsideY = 1, // above or below the client area
    kZoneOutsideX = 2, // left or right of the client area
    kZoneExpandBox = 3,
    kZoneCheckBox = 4,
    kZoneLabel = 5, // the image, the label and everything right of them
};
struct HitResult {
    int zone = kZoneNone;
    int row = -1;
    CTreeListNode* node = nullptr;
};
} // namespace treelist

class CTreeListCore {
public:
    explicit CTreeListCore(treelist::Platform& platform, treelist::Owner* owner = nullptr);
    virtual ~CTreeListCore();
    CTreeListCore(const CTreeListCore&) = delete;
    CTreeListCore& operator=(const CTreeListCore&) = delete;

    // --- rows
    CTreeListNode& Root() { return *root_; }
    bool AddRoot(CTreeListNode* node); // takes ownership
    void DeleteAllRows();
    int RowCount();
    CTreeListNode* NodeAt(int row);
    int RowOf(const CTreeListNode& node);
    // The row holding this address, found without touching the object (which may be gone).
    int FindRow(const void* node);

    // --- appearance
    std::uint32_t Style() const { return style_; }
    virtual void SetStyle(std::uint32_t styleBits);
    bool IsEnabled() const { return (style_ & treelist::style::kEnableMask) != 0; }
    int Indent() const { return indent_; }
    int RowHeight() const { return rowHeight_; }
    void SetRowHeight(int pixels); // from the font
    std::uint16_t GlyphImage() const { return glyphImage_; }
    void SetImages(std::uint16_t bitmap, std::uint16_t mask);
    void SetTimes(unsigned autoScrollMs, unsigned clearCharsMs);
    // The font changed: every row is measured again.
    void FontChanged();
    treelist::RowLayout Layout(const CTreeListNode& node) const;

    // --- viewport
    void SetClientSize(int width, int height);
    int ClientWidth() const { return clientWidth_; }
    int ClientHeight() const { return clientHeight_; }
    int RowsPerPage() const;
    int TopRow() const { return topRow_; }
    void SetTopRow(int row);
    int HorizontalExtent();
    void SetHorizontalScroll(int percent); // 0..100, followed by the linked control
    int HorizontalOffset();
    void SetLinkedControl(CTreeListCore* linked) { linked_ = linked; }

    // --- selection
    CTreeListNode* GetCurrent() const { return current_; }
    int CaretRow() const { return caret_; }
    // Moves the list's selection (and caret) without notifying anybody.
    void Select(CTreeListNode* node);
    // Select, and scroll the row into view.
    void SelectAndShow(CTreeListNode* node);
    // The node given OnSelect(true) most recently, or remembered at the start of an action.
    CTreeListNode* Remembered() const { return remembered_; }
    void RememberSelection() { remembered_ = current_; }
    // When the selection moved since it was remembered (or always with force): the remembered
    // node gets OnSelect(false), the current one OnSelect(true), and the owner is told.
    void SendSelectionNotifications(bool force = false);
    // The hook called after the selection notifications (the path pane follows through it).
    virtual void OnSelectionHook(CTreeListNode* node);

    // --- expansion (null: the current node)
    virtual void Expand(CTreeListNode* node = nullptr);
    virtual void Collapse(CTreeListNode* node = nullptr);
    virtual void ExpandAll(CTreeListNode* node = nullptr);
    void ToggleExpansion(CTreeListNode* node); // Enter: collapse with children, else expand
    void ToggleCheck(CTreeListNode* node);     // Space on a check box

    // --- redraw
    void SuspendRedraw();
    void ResumeRedraw();
    void RedrawNode(CTreeListNode& node, bool remeasure);
    void BeginBatch(CTreeListNode& node);
    void EndBatch();
    void BeginWait() { platform_.BeginWaitCursor(); }
    void EndWait() { platform_.EndWaitCursor(); }

    // --- input
    bool KeyDown(treelist::Key key, treelist::Modifiers mods, bool repeat);
    void KeyUp(treelist::Key key);
    void Char(char32_t c);
    void Timer(int id);
    std::u32string_view TypedCharacters() const { return typed_; }
    treelist::HitResult HitTest(treelist::Point p);
    void LButtonDown(treelist::Point p);
    void MouseMove(treelist::Point p);
    void LButtonUp(treelist::Point p);
    void LButtonDblClk(treelist::Point p);
    void RButtonDown(treelist::Point p);
    void RButtonUp(treelist::Point p);
    void CancelMode() { EndTracking(); }
    int TrackingMode() const { return tracking_.mode; }
    // Whether the expand box (mode 3) or check box (mode 4) of node is drawn pressed.
    bool Pressed(const CTreeListNode& node, int mode) const {
        return tracking_.mode == mode && tracking_.node == &node && tracking_.pressed;
    }
    std::uint32_t HelpContextAt(treelist::Point p);

    // --- called by nodes
    void NodeAttached(CTreeListNode& node);
    void NodeDetaching(CTreeListNode& node);
    // A parent put its children in another order (without adding or removing any); order is
    // the new list, which the next rebuild of the rows reads ahead of its walk.
    void ChildrenReordered(CTreeListNode& parent, std::vector<CTreeListNode*> order);

private:
    struct Tracking {
        int mode = treelist::kZoneNone;
        CTreeListNode* node = nullptr;
        bool pressed = false;
        treelist::Point last;
    };
    struct Batch {
        int depth = 0;
        CTreeListNode* node = nullptr;
        int added = 0;
        int removed = 0;
        bool redrawn = false;
        bool resized = false;
    };

    void EnsureRows();
    void DropOrderHint() {
        if (orderParent_) {
            orderParent_ = nullptr;
            order_ = {};
        }
    }
    void InvalidateRows() { rowsValid_ = false; }
    void RowsChanged();
    int MeasureRight(const CTreeListNode& node) const;
    void RaiseWidest(CTreeListNode& node);
    int RecomputeWidest(CTreeListNode& node);
    void UpdateExtent();
    void SelectRow(int row); // selects and scrolls it into view
    void EnsureVisible(int row);
    enum class KeyResult { Handled, Default, NotMine };
    KeyResult HandleKey(treelist::Key key, treelist::Modifiers mods);
    void DefaultKey(treelist::Key key);
    void PageDown();
    void ScrollByRows(int delta);
    void TypeAhead();
    void TrackMove(treelist::Point p);
    void EndTracking();

    treelist::Platform& platform_;
    treelist::Owner* owner_;
    std::unique_ptr<CTreeListNode> root_;
    std::uint32_t style_ = treelist::style::kDefault;
    int indent_ = 19;
    int rowHeight_ = 16;
    std::uint16_t glyphImage_ = 0;
    unsigned autoScrollMs_ = 50;
    unsigned clearCharsMs_ = 500;
    CTreeListCore* linked_ = nullptr;

    std::vector<CTreeListNode*> rows_;
    // The children of orderParent_ as its last sort left them: the walk that rebuilds the rows
    // follows the sibling links, and in a large sorted set each link leads to a node anywhere
    // in memory; with the order at hand the nodes ahead are fetched while the walk goes on. A
    // hint only speeds the walk: it is checked against the links as it is read.
    CTreeListNode* orderParent_ = nullptr;
    std::vector<CTreeListNode*> order_;
    bool rowsValid_ = true;
    bool extentDirty_ = false;
    int extent_ = 0;

    int clientWidth_ = 0;
    int clientHeight_ = 0;
    int topRow_ = 0;
    int hscrollPercent_ = 0;

    CTreeListNode* current_ = nullptr;
    CTreeListNode* remembered_ = nullptr;
    int caret_ = 0;

    Tracking tracking_;
    CTreeListNode* rightPressed_ = nullptr;
    std::u32string typed_;
    bool suppressChars_ = false;

    int freeze_ = 0;
    bool repaintPending_ = false;
    Batch batch_;
};

// Keeps the selection across a change of the tree: suspends redrawing and remembers the
// current node; at the end selects the node named with SetNode if it still has a row, else the
// remembered one, else the row at the caret, and sends the selection notifications.
class CSelectionKeeper {
public:
    explicit CSelectionKeeper(CTreeListCore& control);
    ~CSelectionKeeper();
    CSelectionKeeper(const CSelectionKeeper&) = delete;
    CSelectionKeeper& operator=(const CSelectionKeeper&) = delete;
    void SetNode(CTreeListNode* node) { named_ = node; }

private:
    CTreeListCore& control_;
    const void* remembered_;
    const void* named_ = nullptr;
};

// Redrawing suspended for a scope.
class CRedrawFreeze {
public:
    explicit CRedrawFreeze(CTreeListCore& c) : c_(c) { c_.SuspendRedraw(); }
    ~CRedrawFreeze() { c_.ResumeRedraw(); }
    CRedrawFreeze(const CRedrawFreeze&) = delete;
    CRedrawFreeze& operator=(const CRedrawFreeze&) = delete;

private:
    CTreeListCore& c_;
};
