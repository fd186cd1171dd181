#include "treelist/TreeListNode.h"

#include <algorithm>
#include <cassert>
#include <unordered_map>
#include <vector>

#include "treelist/NodeArena.h"
#include "treelist/TreeListCore.h"

namespace {
// Below this many children a linear scan is as quick as keeping an index.
constexpr std::size_t kIndexThreshold = 16;

// The tables beside the nodes (see kHasIndex, kHasColour). Never destroyed: nodes may be freed
// by static objects' destructors at exit. Used from one thread, as the nodes are.
template <class T> std::unordered_map<const CTreeListNode*, T>& SideTable() {
    static auto& table = *new std::unordered_map<const CTreeListNode*, T>();
    return table;
}

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
        if (CTreeListCore* tree = GetTree()) {
            tree->NodeDetaching(*this);
        }
        Unlink();
    }
    if (Has(kHasIndex))
        SideTable<std::unique_ptr<ChildIndex>>().erase(this);
    if (Has(kHasColour))
        SideTable<std::uint32_t>().erase(this);
    CTreeListNode* child = firstChild_;
    firstChild_ = nullptr;
    while (child) {
        CTreeListNode* next = child->next_;
        child->parent_ = nullptr;
        child->Set(kIndexed, false);
        delete child;
        child = next;
    }
}

CTreeListNode::ChildIndex* CTreeListNode::Index() const {
    if (!Has(kHasIndex))
        return nullptr;
    const auto& table = SideTable<std::unique_ptr<ChildIndex>>();
    const auto at = table.find(this);
    return at == table.end() ? nullptr : at->second.get();
}

void CTreeListNode::SetTextColour(std::uint32_t colour) {
    auto& table = SideTable<std::uint32_t>();
    if (colour == kDefaultColour) {
        if (Has(kHasColour))
            table.erase(this);
        Set(kHasColour, false);
        return;
    }
    table[this] = colour;
    Set(kHasColour, true);
}

std::uint32_t CTreeListNode::GetTextColour() const {
    if (!Has(kHasColour))
        return kDefaultColour;
    const auto& table = SideTable<std::uint32_t>();
    const auto at = table.find(this);
    return at == table.end() ? kDefaultColour : at->second;
}

CTreeListRoot::CTreeListRoot(CTreeListCore* tree) : tree_(tree) {
    Set(kControlRoot, true);
}

CTreeListCore* CTreeListNode::GetTree() const {
    const CTreeListNode* top = this;
    while (top->parent_) {
        top = top->parent_;
    }
    return top->Has(kControlRoot) ? static_cast<const CTreeListRoot*>(top)->Tree() : nullptr;
}

int CTreeListNode::GetRowIndex() const {
    CTreeListCore* tree = GetTree();
    return tree ? tree->RowOf(*this) : -1;
}

void CTreeListNode::Redraw(bool /*erase*/) {
    flags_ &= ~nodeflag::kKnownEmpty;
    if (CTreeListCore* tree = GetTree()) {
        tree->RedrawNode(*this, true);
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
    if (!firstChild_) {
        child->prev_ = child;
        firstChild_ = child;
    } else if (before == firstChild_) {
        child->prev_ = before->prev_; // the last child
        before->prev_ = child;
        firstChild_ = child;
    } else if (!before) {
        CTreeListNode* last = firstChild_->prev_;
        child->prev_ = last;
        last->next_ = child;
        firstChild_->prev_ = child;
    } else {
        child->prev_ = before->prev_;
        before->prev_->next_ = child;
        before->prev_ = child;
    }
    ++childCount_;
    if (ChildIndex* index = Index()) {
        // Among equal entries a new one goes last, as the child goes after its equals.
        index->emplace(IndexEntry{child->GetSortKey(), child});
        child->Set(kIndexed, true);
    }
}

void CTreeListNode::Unlink() {
    CTreeListNode* p = parent_;
    if (!p) {
        return;
    }
    ChildIndex* index = Has(kIndexed) ? p->Index() : nullptr;
    if (index) {
        // The entry is found by its order; the index is dropped before that order changes, so
        // the search finds it, and the scan is only a guard against a Compare that changed
        // without notice.
        auto [at, end] = index->equal_range(IndexEntry{GetSortKey(), this});
        while (at != end && at->node != this) {
            ++at;
        }
        if (at == end) {
            at = std::find_if(index->begin(), index->end(),
                              [this](const IndexEntry& e) { return e.node == this; });
        }
        if (at != index->end()) {
            index->erase(at);
        }
    }
    Set(kIndexed, false);
    p->Set(kIndexRefused, false); // a removal may have restored the order
    if (this == p->firstChild_) {
        p->firstChild_ = next_;
        if (next_)
            next_->prev_ = prev_; // the last child
    } else {
        prev_->next_ = next_;
        (next_ ? next_ : p->firstChild_)->prev_ = prev_;
    }
    --p->childCount_;
    parent_ = next_ = prev_ = nullptr;
}

// The first child E with Compare(child, E) < 0, so that equal children keep insertion order.
CTreeListNode* CTreeListNode::SortedSuccessor(const CTreeListNode& child) {
    if (!Has(kHasIndex) && !Has(kIndexRefused) && childCount_ >= kIndexThreshold) {
        BuildIndex();
    }
    if (ChildIndex* index = Index()) {
        if (child.Compare(*GetLastChild()) >= 0) {
            return nullptr; // the common case of children arriving in order
        }
        const auto at =
            index->upper_bound(IndexEntry{child.GetSortKey(), const_cast<CTreeListNode*>(&child)});
        return at == index->end() ? nullptr : at->node;
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
        Set(kIndexRefused, true); // searching an unsorted list by halves would misplace children
        return false;
    }
    auto& slot = SideTable<std::unique_ptr<ChildIndex>>()[this];
    slot = std::make_unique<ChildIndex>();
    Set(kHasIndex, true);
    for (CTreeListNode* c = firstChild_; c; c = c->next_) {
        slot->emplace_hint(slot->end(), IndexEntry{c->GetSortKey(), c});
        c->Set(kIndexed, true);
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
    Set(kBatchOpen, true);
}

void CTreeListNode::EndChildBatch() {
    if (batchDepth_ == 0) {
        return;
    }
    if (--batchDepth_ == 0 && Has(kBatchOpen)) {
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
// no node; equal children are ordered by their list places, which makes the order total, so an
// in-place sort that needs no buffer gives the stable order.
void CTreeListNode::SortBatch() {
    Set(kBatchOpen, false);
    if (!firstChild_ || !firstChild_->next_) {
        return;
    }
    nodearena::LargeArray<CTreeListNode*> nodes(childCount_);
    nodearena::LargeArray<BatchEntry> entries(childCount_);
    std::size_t n = 0;
    for (CTreeListNode* c = firstChild_; c && n < nodes.size(); c = c->next_, ++n) {
        const SortKey key = c->GetSortKey();
        entries[n] = BatchEntry{
            key.high, key.low, static_cast<std::uint32_t>(n),
            static_cast<std::uint8_t>((key.valid ? kValid : 0) | (key.complete ? kComplete : 0)),
            key.length};
        nodes[n] = c;
    }
    std::sort(entries.begin(), entries.begin() + n,
              [&nodes](const BatchEntry& a, const BatchEntry& b) {
                  if ((a.state & b.state & kValid) != 0) {
                      if (a.high != b.high)
                          return a.high < b.high;
                      if (a.low != b.low)
                          return a.low < b.low;
                      if ((a.state & b.state & kComplete) != 0) {
                          if (a.length != b.length)
                              return a.length < b.length;
                          return a.at < b.at;
                      }
                  }
                  const int order = nodes[a.at]->Compare(*nodes[b.at]);
                  return order != 0 ? order < 0 : a.at < b.at;
              });
    std::vector<CTreeListNode*> order(n);
    for (std::size_t i = 0; i < n; ++i) {
        order[i] = nodes[entries[i].at];
    }
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
    firstChild_->prev_ = prev;
    if (CTreeListCore* tree = GetTree()) {
        tree->ChildrenReordered(*this, std::move(order));
    }
}

void CTreeListNode::DropIndex() {
    if (Has(kHasIndex)) {
        for (CTreeListNode* c = firstChild_; c; c = c->next_) {
            c->Set(kIndexed, false);
        }
        SideTable<std::unique_ptr<ChildIndex>>().erase(this);
        Set(kHasIndex, false);
    }
    Set(kIndexRefused, false);
}

void CTreeListNode::OrderKeyChanging() {
    if (parent_ && parent_->Has(kBatchOpen)) {
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
        (firstChild_ && IsSorted() && !Has(kBatchOpen)) ? SortedSuccessor(*child) : nullptr;
    Link(child, before);
    Adopt(child);
    CTreeListCore* tree = GetTree();
    if (!tree) {
        return false;
    }
    tree->NodeAttached(*child);
    return true;
}

bool CTreeListNode::InsertAfter(CTreeListNode* node) {
    if (!parent_ || !node || node->parent_ || IsDescendantOf(node)) {
        return false;
    }
    CTreeListNode* p = parent_;
    if (p->Has(kBatchOpen)) {
        p->SortBatch(); // the place is chosen among the children sorted so far
    }
    p->DropIndex(); // the caller chooses the place, which need not agree with the order
    p->Link(node, next_);
    p->Adopt(node);
    CTreeListCore* tree = GetTree();
    if (!tree) {
        return false;
    }
    tree->NodeAttached(*node);
    return true;
}

bool CTreeListNode::InsertBefore(CTreeListNode* node) {
    if (!parent_ || !node || node->parent_ || IsDescendantOf(node)) {
        return false;
    }
    CTreeListNode* p = parent_;
    if (p->Has(kBatchOpen)) {
        p->SortBatch();
    }
    p->DropIndex();
    p->Link(node, this);
    p->Adopt(node);
    CTreeListCore* tree = GetTree();
    if (!tree) {
        return false;
    }
    tree->NodeAttached(*node);
    return true;
}

bool CTreeListNode::DeleteNode() {
    if (!parent_ || !GetTree()) {
        return false; // in no control, or the control's own root
    }
    return DeleteRowAndSubtree();
}

bool CTreeListNode::DeleteRowAndSubtree() {
    CTreeListCore* tree = GetTree();
    tree->SuspendRedraw(); // the control repaints and re-measures once the node is gone
    tree->NodeDetaching(*this);
    Unlink(); // in no control from here on
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
    CTreeListCore* tree = GetTree();
    if (!tree) {
        return false;
    }
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
    if (!sorted && Has(kBatchOpen)) {
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
