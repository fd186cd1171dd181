#include "treelist/TreeListCore.h"

#include <algorithm>

using namespace treelist;

CTreeListCore::CTreeListCore(Platform& platform, Owner* owner)
    : platform_(platform), owner_(owner), root_(std::make_unique<CTreeListRoot>(this)) {
    root_->level_ = -1;
    root_->rowRight_ = -1;
    root_->widest_ = -1;
}

CTreeListCore::~CTreeListCore() {
    // Nodes are destroyed without notifications: nobody is left to be told.
    current_ = remembered_ = rightPressed_ = nullptr;
    tracking_ = {};
    root_.reset();
}

bool CTreeListCore::AddRoot(CTreeListNode* node) {
    return root_->AddChild(node);
}

void CTreeListCore::DeleteAllRows() {
    CRedrawFreeze freeze(*this);
    root_->CollapseChildren();
}

// --- rows

void CTreeListCore::EnsureRows() {
    if (rowsValid_) {
        return;
    }
    if (orderParent_ && !order_.empty()) {
        // A large expansion: room for its rows at once, not by doubling and copying.
        rows_.reserve(rows_.size() + order_.size());
    }
    rows_.clear();
    // How far ahead of the walk the hinted nodes are fetched: enough to cover a miss to memory.
    constexpr std::size_t kAhead = 12;
    std::size_t hinted = 0; // the hint's entry expected next, while the walk is in its set
    bool hintLive = orderParent_ && !order_.empty();
    for (CTreeListNode* n = root_->firstChild_; n;) {
        if (hintLive && n->parent_ == orderParent_) {
            if (hinted < order_.size() && order_[hinted] == n) {
                if (hinted + kAhead < order_.size()) {
                    const char* ahead = reinterpret_cast<const char*>(order_[hinted + kAhead]);
                    __builtin_prefetch(ahead, 1);
                    __builtin_prefetch(ahead + sizeof(CTreeListNode) - 1, 1);
                }
                ++hinted;
            } else {
                hintLive = false; // the list is not what the sort left: walk without it
            }
        }
        n->row_ = static_cast<int>(rows_.size());
        rows_.push_back(n);
        if (n->firstChild_) {
            n = n->firstChild_;
            continue;
        }
        while (n && !n->next_) {
            n = n->parent_ == root_.get() ? nullptr : n->parent_;
        }
        n = n ? n->next_ : nullptr;
    }
    rowsValid_ = true;
    DropOrderHint(); // read once: later changes come one at a time
    const int count = static_cast<int>(rows_.size());
    caret_ = current_ ? current_->row_ : std::clamp(caret_, 0, std::max(0, count - 1));
    topRow_ = std::clamp(topRow_, 0, std::max(0, count - RowsPerPage()));
}

int CTreeListCore::RowCount() {
    EnsureRows();
    return static_cast<int>(rows_.size());
}

CTreeListNode* CTreeListCore::NodeAt(int row) {
    EnsureRows();
    return row >= 0 && row < static_cast<int>(rows_.size()) ? rows_[row] : nullptr;
}

int CTreeListCore::RowOf(const CTreeListNode& node) {
    EnsureRows();
    const int r = node.row_;
    return r >= 0 && r < static_cast<int>(rows_.size()) && rows_[r] == &node ? r : -1;
}

int CTreeListCore::FindRow(const void* node) {
    EnsureRows();
    const auto at = std::find(rows_.begin(), rows_.end(), node);
    return at == rows_.end() ? -1 : static_cast<int>(at - rows_.begin());
}

void CTreeListCore::NodeAttached(CTreeListNode& node) {
    DropOrderHint();
    InvalidateRows();
    int count = 0;
    const bool measure = (style_ & style::kHorizontalExtent) != 0;
    for (CTreeListNode* n = &node; n;) {
        ++count;
        if (measure) {
            n->rowRight_ = MeasureRight(*n);
        }
        if (n->firstChild_) {
            n = n->firstChild_;
            continue;
        }
        while (n != &node && !n->next_) {
            n = n->parent_;
        }
        n = n == &node ? nullptr : n->next_;
    }
    if (batch_.depth > 0) {
        batch_.added += count;
    }
    RowsChanged();
    if (measure) {
        RecomputeWidest(node);
        RaiseWidest(node);
    }
}

void CTreeListCore::NodeDetaching(CTreeListNode& node) {
    DropOrderHint();
    if (remembered_ && remembered_->IsDescendantOf(&node)) {
        CTreeListNode* was = remembered_;
        remembered_ = nullptr;
        was->OnSelect(false);
    }
    if (current_ && current_->IsDescendantOf(&node)) {
        caret_ = std::max(0, RowOf(node)); // the caret stays where the deleted row was
        current_ = nullptr;
    }
    if (tracking_.node && tracking_.node->IsDescendantOf(&node)) {
        tracking_.node = nullptr;
        EndTracking();
    }
    if (rightPressed_ && rightPressed_->IsDescendantOf(&node)) {
        rightPressed_ = nullptr;
    }
    if (batch_.depth > 0) {
        int count = 0;
        for (CTreeListNode* n = &node; n;) {
            ++count;
            if (n->firstChild_) {
                n = n->firstChild_;
                continue;
            }
            while (n != &node && !n->next_) {
                n = n->parent_;
            }
            n = n == &node ? nullptr : n->next_;
        }
        batch_.removed += count;
    }
    InvalidateRows();
    RowsChanged();
    if (style_ & style::kHorizontalExtent) {
        extentDirty_ = true; // lowered once the change is over, not once per deleted row
    }
}

void CTreeListCore::ChildrenReordered(CTreeListNode& parent, std::vector<CTreeListNode*> order) {
    orderParent_ = &parent;
    order_ = std::move(order);
    InvalidateRows();
    RowsChanged();
}

// Outside a change batch (which scrolls) the rows below a change are repainted: at once, or
// when redrawing resumes.
void CTreeListCore::RowsChanged() {
    if (batch_.depth > 0) {
        return;
    }
    if (freeze_ > 0) {
        repaintPending_ = true;
    } else {
        platform_.InvalidateAll();
    }
}

// --- appearance and extent

RowLayout CTreeListCore::Layout(const CTreeListNode& node) const {
    const std::string_view label = node.GetLabel();
    const int width = platform_.TextWidth(label.empty() ? std::string_view("      ") : label);
    return ComputeRowLayout(node, style_, indent_, width);
}

int CTreeListCore::MeasureRight(const CTreeListNode& node) const {
    return Layout(node).labelRectRight;
}

void CTreeListCore::RaiseWidest(CTreeListNode& node) {
    const int w = node.widest_;
    for (CTreeListNode* a = node.parent_; a && a->widest_ < w; a = a->parent_) {
        a->widest_ = w;
    }
    if (freeze_ == 0) {
        UpdateExtent();
    }
}

int CTreeListCore::RecomputeWidest(CTreeListNode& node) {
    int w = node.rowRight_;
    for (CTreeListNode* c = node.firstChild_; c; c = c->next_) {
        w = std::max(w, RecomputeWidest(*c));
    }
    node.widest_ = w;
    return w;
}

void CTreeListCore::UpdateExtent() {
    if (!(style_ & style::kHorizontalExtent)) {
        extentDirty_ = false;
        return;
    }
    if (extentDirty_) {
        extentDirty_ = false;
        RecomputeWidest(*root_);
    }
    const int extent = root_->widest_ + 1;
    if (extent != extent_) {
        extent_ = extent;
        if (owner_) {
            owner_->OnExtentChanged(extent_);
        }
        if (linked_) {
            linked_->extent_ = extent_;
            if (linked_->owner_) {
                linked_->owner_->OnExtentChanged(extent_);
            }
        }
    }
}

int CTreeListCore::HorizontalExtent() {
    if (extentDirty_) {
        UpdateExtent();
    }
    return extent_;
}

int CTreeListCore::HorizontalOffset() {
    const int offset = (HorizontalExtent() - clientWidth_) * hscrollPercent_ / 100;
    return offset >= 1 ? offset : 0;
}

void CTreeListCore::SetHorizontalScroll(int percent) {
    hscrollPercent_ = std::clamp(percent, 0, 100);
    platform_.InvalidateAll();
    if (linked_ && linked_->hscrollPercent_ != hscrollPercent_) {
        linked_->hscrollPercent_ = hscrollPercent_;
        linked_->platform_.InvalidateAll();
    }
}

void CTreeListCore::FontChanged() {
    if (style_ & style::kHorizontalExtent) {
        EnsureRows();
        for (CTreeListNode* n : rows_) {
            n->rowRight_ = MeasureRight(*n);
        }
        extentDirty_ = true;
        UpdateExtent();
    }
    platform_.InvalidateAll();
}

void CTreeListCore::SetStyle(std::uint32_t styleBits) {
    style_ = styleBits;
    FontChanged(); // layout and widths depend on the style
}

void CTreeListCore::SetRowHeight(int pixels) {
    rowHeight_ = std::max(1, pixels);
    platform_.InvalidateAll();
}

void CTreeListCore::SetImages(std::uint16_t bitmap, std::uint16_t mask) {
    glyphImage_ = imagecache::WithCellSize(imagecache::Derive(0, bitmap, mask), 19, 16);
    platform_.InvalidateAll();
}

void CTreeListCore::SetTimes(unsigned autoScrollMs, unsigned clearCharsMs) {
    autoScrollMs_ = autoScrollMs;
    clearCharsMs_ = clearCharsMs;
}

// --- viewport

void CTreeListCore::SetClientSize(int width, int height) {
    if (batch_.depth > 0 && (width != clientWidth_ || height != clientHeight_)) {
        batch_.resized = true;
    }
    clientWidth_ = std::max(0, width);
    clientHeight_ = std::max(0, height);
}

int CTreeListCore::RowsPerPage() const {
    return std::max(1, clientHeight_ / rowHeight_);
}

void CTreeListCore::SetTopRow(int row) {
    const int top = std::clamp(row, 0, std::max(0, RowCount() - RowsPerPage()));
    if (top != topRow_) {
        topRow_ = top;
        platform_.InvalidateAll();
        if (owner_) {
            owner_->OnTopRowChanged(topRow_);
        }
    }
}

void CTreeListCore::EnsureVisible(int row) {
    const int page = RowsPerPage();
    if (row < topRow_) {
        SetTopRow(row);
    } else if (row >= topRow_ + page) {
        SetTopRow(row - page + 1);
    }
}

// --- selection

void CTreeListCore::Select(CTreeListNode* node) {
    if (node && RowOf(*node) < 0) {
        return; // not a row of this control
    }
    if (current_) {
        platform_.InvalidateRow(RowOf(*current_));
    }
    current_ = node;
    if (node) {
        caret_ = RowOf(*node);
        platform_.InvalidateRow(caret_);
    }
}

void CTreeListCore::SelectAndShow(CTreeListNode* node) {
    Select(node);
    if (current_) {
        EnsureVisible(caret_);
    }
}

void CTreeListCore::SelectRow(int row) {
    SelectAndShow(NodeAt(row));
}

void CTreeListCore::SendSelectionNotifications(bool force) {
    CTreeListNode* now = current_;
    if (!force && now == remembered_) {
        return;
    }
    CTreeListNode* was = remembered_;
    remembered_ = now;
    if (was && was != now) {
        was->OnSelect(false);
    }
    if (now) {
        now->OnSelect(true);
    }
    OnSelectionHook(current_);
}

void CTreeListCore::OnSelectionHook(CTreeListNode* node) {
    if (owner_) {
        owner_->OnSelectionChanged(node);
    }
}

// --- expansion

void CTreeListCore::Expand(CTreeListNode* node) {
    node = node ? node : current_;
    if (!node || node->GetTree() != this || node->HasChildren()) {
        return;
    }
    CRedrawFreeze freeze(*this);
    BeginBatch(*node);
    node->BeginChildBatch();
    node->CreateChildren();
    node->EndChildBatch();
    if (!node->HasChildren()) {
        node->SetKnownEmpty(true);
        RedrawNode(*node, false);
    }
    EndBatch();
}

void CTreeListCore::Collapse(CTreeListNode* node) {
    node = node ? node : current_;
    if (!node || node->GetTree() != this || !node->HasChildren()) {
        return;
    }
    CRedrawFreeze freeze(*this);
    BeginBatch(*node);
    node->CollapseChildren();
    EndBatch();
}

void CTreeListCore::ExpandAll(CTreeListNode* node) {
    node = node ? node : current_;
    if (!node || node->GetTree() != this) {
        return;
    }
    CRedrawFreeze freeze(*this);
    BeginBatch(*node);
    node->ExpandAll();
    EndBatch();
}

void CTreeListCore::ToggleExpansion(CTreeListNode* node) {
    if (!node) {
        return;
    }
    if (node->HasChildren()) {
        Collapse(node);
    } else {
        Expand(node);
    }
}

void CTreeListCore::ToggleCheck(CTreeListNode* node) {
    if (!node || !node->HasCheckBox() || !node->IsCheckEnabled()) {
        return;
    }
    node->flags_ ^= nodeflag::kChecked;
    node->OnCheckChanged(node->IsChecked());
    if (FindRow(node) >= 0) {
        RedrawNode(*node, false);
    }
}

// --- redraw and the change batch

void CTreeListCore::SuspendRedraw() {
    if (freeze_++ == 0) {
        platform_.SetRedraw(false);
    }
}

void CTreeListCore::ResumeRedraw() {
    if (freeze_ == 0 || --freeze_ > 0) {
        return;
    }
    platform_.SetRedraw(true);
    // Rows added while frozen raised the widest values without telling the owner.
    UpdateExtent();
    if (repaintPending_) {
        repaintPending_ = false;
        platform_.InvalidateAll();
    }
}

void CTreeListCore::RedrawNode(CTreeListNode& node, bool remeasure) {
    if (remeasure && (style_ & style::kHorizontalExtent)) {
        const int before = node.rowRight_;
        node.rowRight_ = MeasureRight(node);
        if (node.rowRight_ < before) {
            extentDirty_ = true;
        }
        node.widest_ = std::max(node.widest_, node.rowRight_);
        RaiseWidest(node);
    }
    if (batch_.depth > 0) {
        batch_.redrawn = true;
    }
    if (freeze_ > 0) {
        repaintPending_ = true; // one repaint at the end instead of a row lookup per change
        return;
    }
    platform_.InvalidateRow(RowOf(node));
}

void CTreeListCore::BeginBatch(CTreeListNode& node) {
    if (batch_.depth++ == 0) {
        batch_ = Batch{1, &node, 0, 0, false, false};
    }
}

void CTreeListCore::EndBatch() {
    if (batch_.depth == 0 || --batch_.depth > 0) {
        return;
    }
    const int row = FindRow(batch_.node);
    if (row < 0 || batch_.redrawn || batch_.resized) {
        repaintPending_ = false;
        platform_.InvalidateAll();
    } else {
        platform_.InvalidateRow(row);
        if (batch_.added > 0) {
            platform_.ScrollBelow(row + 1, batch_.added * rowHeight_);
        }
        if (batch_.removed > 0) {
            platform_.ScrollBelow(row + 1, -batch_.removed * rowHeight_);
        }
    }
    batch_ = Batch{};
}

// --- the selection keeper

CSelectionKeeper::CSelectionKeeper(CTreeListCore& control)
    : control_(control), remembered_(control.GetCurrent()) {
    control_.SuspendRedraw();
}

CSelectionKeeper::~CSelectionKeeper() {
    // The named and remembered nodes may be gone: they are looked up by address only.
    const void* target = named_ ? named_ : remembered_;
    int row = target ? control_.FindRow(target) : -1;
    if (row < 0 && control_.RowCount() > 0) {
        row = std::min(control_.CaretRow(), control_.RowCount() - 1);
    }
    control_.SelectAndShow(row >= 0 ? control_.NodeAt(row) : nullptr);
    control_.SendSelectionNotifications(true);
    control_.ResumeRedraw();
}
