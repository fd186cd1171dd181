#include "treelist/TreeListNode.h"

#include <algorithm>
#include <cassert>
#include <vector>

#include "treelist/NodeArena.h"
#include "treelist/TreeListCore.h"

namespace {
// Below this many children a linear scan is as quick as keeping an index.
constexpr std::size_t kIndexThreshold = 16;

char Fold(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
} // namespace

int CompareNoCase(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(Fold(a[i]));
        const auto cb = static_cast<unsigned char>(Fold(b[i]));
        if (ca != cb) {
            return ca < cb ? -1 : 1;
        }
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

void* CTreeListNode::operator new(std::size_t size) {
    return nodearena::Allocate(size);
}

void* CTreeListNode::operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return nodearena::Allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void CTreeListNode::operator delete(void* p, std::size_t size) {
    nodearena::Release(p, size);
}

CTreeListNode::CTreeListNode(CTreeListNode* parent)
    : parent_(nullptr), level_(parent ? parent->level_ + 1 : 0) {
    if (++live_ > peak_)
        peak_ = live_;
}

CTreeListNode::~CTreeListNode() {
    --live_;
    // Normally a node is unlinked before it is destroyed; a linked one is unlinked here so that
    // its parent keeps no dangling link.
    if (parent_) {
        if (tree_) {
            tree_->NodeDetaching(*this);
        }
        Unlink();
    }
    index_.reset();
    CTreeListNode* child = firstChild_;
    firstChild_ = lastChild_ = nullptr;
    while (child) {
        CTreeListNode* next = child->next_;
        child->parent_ = nullptr;
        child->indexed_ = false;
        delete child;
        child = next;
    }
}

int CTreeListNode::GetRowIndex() const {
    return tree_ ? tree_->RowOf(*this) : -1;
}

void CTreeListNode::Redraw(bool /*erase*/) {
    flags_ &= ~nodeflag::kKnownEmpty;
    if (tree_) {
        tree_->RedrawNode(*this, true);
    }
}

bool CTreeListNode::IsDescendantOf(const CTreeListNode* node) const {
    for (const CTreeListNode* p = this; p; p = p->parent_) {
        if (p == node) {
            return true;
        }
    }
    return false;
}

void CTreeListNode::Link(CTreeListNode* child, CTreeListNode* before) {
    assert(child && !child->parent_ && (!before || before->parent_ == this));
    child->parent_ = this;
    child->next_ = before;
    child->prev_ = before ? before->prev_ : lastChild_;
    if (child->prev_) {
        child->prev_->next_ = child;
    } else {
        firstChild_ = child;
    }
    if (before) {
        before->prev_ = child;
    } else {
        lastChild_ = child;
    }
    ++childCount_;
    if (index_) {
        // Among equal entries a new one goes last, as the child goes after its equals.
        index_->emplace(IndexEntry{child->GetSortKey(), child});
        child->indexed_ = true;
    }
}

void CTreeListNode::Unlink() {
    CTreeListNode* p = parent_;
    if (!p) {
        return;
    }
    if (p->index_ && indexed_) {
        // The entry is found by its order; the index is dropped before that order changes, so
        // the search finds it, and the scan is only a guard against a Compare that changed
        // without notice.
        auto [at, end] = p->index_->equal_range(IndexEntry{GetSortKey(), this});
        while (at != end && at->node != this) {
            ++at;
        }
        if (at == end) {
            at = std::find_if(p->index_->begin(), p->index_->end(),
                              [this](const IndexEntry& e) { return e.node == this; });
        }
        if (at != p->index_->end()) {
            p->index_->erase(at);
        }
    }
    indexed_ = false;
    p->indexRefused_ = false; // a removal may have restored the order
    (prev_ ? prev_->next_ : p->firstChild_) = next_;
    (next_ ? next_->prev_ : p->lastChild_) = prev_;
    --p->childCount_;
    parent_ = next_ = prev_ = nullptr;
}

// The first child E with Compare(child, E) < 0, so that equal children keep insertion order.
CTreeListNode* CTreeListNode::SortedSuccessor(const CTreeListNode& child) {
    if (!index_ && !indexRefused_ && childCount_ >= kIndexThreshold) {
        BuildIndex();
    }
    if (index_) {
        if (child.Compare(*lastChild_) >= 0) {
            return nullptr; // the common case of children arriving in order
        }
        const auto at =
            index_->upper_bound(IndexEntry{child.GetSortKey(), const_cast<CTreeListNode*>(&child)});
        return at == index_->end() ? nullptr : at->node;
    }
    for (CTreeListNode* e = firstChild_; e; e = e->next_) {
        if (child.Compare(*e) < 0) {
            return e;
        }
    }
    return nullptr;
}

bool CTreeListNode::ListIsSorted() const {
    for (const CTreeListNode* a = firstChild_; a && a->next_; a = a->next_) {
        if (a->next_->Compare(*a) < 0) {
            return false;
        }
    }
    return true;
}

bool CTreeListNode::BuildIndex() {
    if (!ListIsSorted()) {
        indexRefused_ = true; // searching an unsorted list by halves would misplace children
        return false;
    }
    index_ = std::make_unique<ChildIndex>();
    for (CTreeListNode* c = firstChild_; c; c = c->next_) {
        index_->emplace_hint(index_->end(), IndexEntry{c->GetSortKey(), c});
        c->indexed_ = true;
    }
    return true;
}

void CTreeListNode::BeginChildBatch() {
    if (batchDepth_++ > 0 || !IsSorted()) {
        return;
    }
    // Sorting appended children agrees with sorted insertion only into a sorted list; an
    // unsorted one keeps the insertion one child at a time.
    if (firstChild_ && !ListIsSorted()) {
        return;
    }
    DropIndex(); // rebuilt, if ever needed, from the sorted list
    batchOpen_ = true;
}

void CTreeListNode::EndChildBatch() {
    if (batchDepth_ == 0) {
        return;
    }
    if (--batchDepth_ == 0 && batchOpen_) {
        SortBatch();
    }
}

namespace {
// A sort key beside the child's place in the list, in 24 bytes: the sort moves these, not the
// nodes, and ChildOrder's rules apply (Compare decides where the keys do not).
struct BatchEntry {
    std::uint64_t high;
    std::uint64_t low;
    std::uint32_t at;
    std::uint8_t state; // kValid, kComplete
    std::uint8_t length;
};
constexpr std::uint8_t kValid = 1;
constexpr std::uint8_t kComplete = 2;
// How far ahead of a pass over nodes in sorted order they are fetched: sorted order is not
// memory order, and a large set does not fit the caches.
constexpr std::size_t kAhead = 16;
} // namespace

// A stable sort of the whole list: the children there before the batch were sorted and come
// first, so each new child lands after every child that compares equal to it, as sorted
// insertion places it. The sort keys sit beside the list places, so that most comparisons read
// no node.
void CTreeListNode::SortBatch() {
    batchOpen_ = false;
    if (!firstChild_ || firstChild_ == lastChild_) {
        return;
    }
    std::vector<CTreeListNode*> nodes;
    std::vector<BatchEntry> entries;
    nodes.reserve(childCount_);
    entries.reserve(childCount_);
    for (CTreeListNode* c = firstChild_; c; c = c->next_) {
        const SortKey key = c->GetSortKey();
        entries.push_back(BatchEntry{
            key.high, key.low, static_cast<std::uint32_t>(nodes.size()),
            static_cast<std::uint8_t>((key.valid ? kValid : 0) | (key.complete ? kComplete : 0)),
            key.length});
        nodes.push_back(c);
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [&nodes](const BatchEntry& a, const BatchEntry& b) {
                         if ((a.state & b.state & kValid) != 0) {
                             if (a.high != b.high)
                                 return a.high < b.high;
                             if (a.low != b.low)
                                 return a.low < b.low;
                             if ((a.state & b.state & kComplete) != 0)
                                 return a.length < b.length;
                         }
                         return nodes[a.at]->Compare(*nodes[b.at]) < 0;
                     });
    std::vector<CTreeListNode*> order(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        order[i] = nodes[entries[i].at];
    }
    entries = {};
    nodes = {};
    CTreeListNode* prev = nullptr;
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (i + kAhead < order.size()) {
            // The sibling links, wherever the node's cache lines begin.
            const CTreeListNode* ahead = order[i + kAhead];
            __builtin_prefetch(&ahead->next_, 1);
            __builtin_prefetch(&ahead->prev_ + 1, 1);
        }
        CTreeListNode* e = order[i];
        e->prev_ = prev;
        (prev ? prev->next_ : firstChild_) = e;
        prev = e;
    }
    prev->next_ = nullptr;
    lastChild_ = prev;
    if (tree_) {
        tree_->ChildrenReordered(*this, std::move(order));
    }
}

void CTreeListNode::DropIndex() {
    for (CTreeListNode* c = firstChild_; c; c = c->next_) {
        c->indexed_ = false;
    }
    index_.reset();
    indexRefused_ = false;
}

void CTreeListNode::OrderKeyChanging() {
    if (parent_ && parent_->batchOpen_) {
        parent_->SortBatch();
    }
}

void CTreeListNode::OrderKeyChanged() {
    if (parent_) {
        parent_->DropIndex();
    }
}

void CTreeListNode::Adopt(CTreeListNode* child) {
    CTreeListNode* n = child;
    while (n) {
        n->tree_ = tree_;
        n->level_ = n->parent_->level_ + 1;
        if (n->firstChild_) {
            n = n->firstChild_;
            continue;
        }
        while (n != child && !n->next_) {
            n = n->parent_;
        }
        n = (n == child) ? nullptr : n->next_;
    }
}

bool CTreeListNode::AddChild(CTreeListNode* child) {
    if (!child || child->parent_ || IsDescendantOf(child)) {
        assert(!"AddChild of a linked node or of an ancestor");
        return false;
    }
    CTreeListNode* before =
        (firstChild_ && IsSorted() && !batchOpen_) ? SortedSuccessor(*child) : nullptr;
    Link(child, before);
    Adopt(child);
    if (!tree_) {
        return false;
    }
    tree_->NodeAttached(*child);
    return true;
}

bool CTreeListNode::InsertAfter(CTreeListNode* node) {
    if (!parent_ || !node || node->parent_ || IsDescendantOf(node)) {
        return false;
    }
    CTreeListNode* p = parent_;
    if (p->batchOpen_) {
        p->SortBatch(); // the place is chosen among the children sorted so far
    }
    p->DropIndex(); // the caller chooses the place, which need not agree with the order
    p->Link(node, next_);
    p->Adopt(node);
    if (!tree_) {
        return false;
    }
    tree_->NodeAttached(*node);
    return true;
}

bool CTreeListNode::InsertBefore(CTreeListNode* node) {
    if (!parent_ || !node || node->parent_ || IsDescendantOf(node)) {
        return false;
    }
    CTreeListNode* p = parent_;
    if (p->batchOpen_) {
        p->SortBatch();
    }
    p->DropIndex();
    p->Link(node, this);
    p->Adopt(node);
    if (!tree_) {
        return false;
    }
    tree_->NodeAttached(*node);
    return true;
}

bool CTreeListNode::DeleteNode() {
    if (!tree_ || !parent_) {
        return false; // in no control, or the control's own root
    }
    return DeleteRowAndSubtree();
}

bool CTreeListNode::DeleteRowAndSubtree() {
    CTreeListCore* tree = tree_;
    tree->SuspendRedraw(); // the control repaints and re-measures once the node is gone
    tree->NodeDetaching(*this);
    Unlink();
    tree_ = nullptr;
    delete this;
    tree->ResumeRedraw();
    return true;
}

bool CTreeListNode::CollapseChildren() {
    while (firstChild_) {
        if (!firstChild_->CTreeListNode::DeleteNode()) {
            return false;
        }
    }
    return true;
}

bool CTreeListNode::ExpandAll() {
    if (!tree_) {
        return false;
    }
    CTreeListCore* tree = tree_;
    if (!HasChildren()) {
        tree->Expand(this);
    }
    for (CTreeListNode* c = firstChild_; c; c = c->next_) {
        tree->ExpandAll(c);
    }
    return true;
}

void CTreeListNode::SetChecked(bool checked) {
    flags_ = checked ? (flags_ | nodeflag::kChecked) : (flags_ & ~nodeflag::kChecked);
    Redraw();
}

void CTreeListNode::SetCheckEnabled(bool enabled) {
    flags_ = enabled ? (flags_ | nodeflag::kCheckEnabled) : (flags_ & ~nodeflag::kCheckEnabled);
    Redraw();
}

void CTreeListNode::SetHasCheckBox(bool has) {
    flags_ = has ? (flags_ | nodeflag::kHasCheckBox) : (flags_ & ~nodeflag::kHasCheckBox);
}

void CTreeListNode::SetSorted(bool sorted) {
    if (!sorted && batchOpen_) {
        SortBatch(); // what came before was added in sorted order
    }
    flags_ = sorted ? (flags_ | nodeflag::kSorted) : (flags_ & ~nodeflag::kSorted);
    if (!sorted) {
        DropIndex();
    }
}

void CTreeListNode::SetKnownEmpty(bool empty) {
    flags_ = empty ? (flags_ | nodeflag::kKnownEmpty) : (flags_ & ~nodeflag::kKnownEmpty);
}

int CTreeListNode::Compare(const CTreeListNode& /*other*/) const {
    return 0;
}

bool CTreeListNode::MatchesPrefix(std::string_view prefix) const {
    const std::string_view label = GetLabel();
    return prefix.size() <= label.size() &&
           CompareNoCase(label.substr(0, prefix.size()), prefix) == 0;
}
