// The base of every row of the tree list control: tree links, level, flags and popup menu.
//
// Invariants:
// - A node owns its children; destroying a node destroys its subtree.
// - Children form a list from the first child. Besides the next link each child keeps a
//   previous link, so unlinking and GetPrevSibling take constant time; the first child's previous
//   link closes the ring to the last child, so the parent needs no link of its own to it.
// - Every node attached to a control (tree set) has exactly one row there; the rows are the
//   depth-first order of the control's tree.
// - A sorted parent with many children keeps them also in an ordered index, so that inserting
//   n children costs O(n log n). The index always holds exactly the children, in list order; it
//   is dropped whenever that order may no longer agree with Compare (a relabelled child, an
//   InsertAfter), and rebuilt only after checking that the list is still sorted.
// - Between BeginChildBatch and EndChildBatch a sorted parent appends its new children and sorts
//   them once at the end, stably, which places every child where one sorted insertion after the
//   other would have put it. The batch ends early (sorting what it has) whenever the order may
//   change otherwise: a child about to be relabelled, an InsertAfter, the parent unsorted.
#pragma once

#include <cstdint>
#include <memory>
#include <new>
#include <optional>
#include <set>
#include <string_view>

#include "treelist/CommandTarget.h"
#include "treelist/ImageCache.h"

class CTreeListCore;
class CTreeListNode;

namespace nodeflag {
constexpr std::uint16_t kHasCheckBox = 0x0004;
constexpr std::uint16_t kChecked = 0x0008;
constexpr std::uint16_t kCheckEnabled = 0x0010;
constexpr std::uint16_t kSorted = 0x2000;
constexpr std::uint16_t kKnownEmpty = 0x4000;
constexpr std::uint16_t kInitial = 0x0014;
} // namespace nodeflag

// The start of a node's place in the sorted order, kept in a sorted parent's index so that most
// comparisons there read no node at all: when both keys are valid and differ, their order is
// the nodes' Compare order; when they are equal, Compare decides, unless both are complete:
// then the shorter goes first, and of equal lengths neither (Compare would say 0).
struct SortKey {
    std::uint64_t high = 0;
    std::uint64_t low = 0;
    bool valid = false;
    bool complete = false;   // the key holds the whole of what Compare looks at
    std::uint8_t length = 0; // of a complete key: the bytes it holds beyond zero padding
};

struct IndexEntry {
    SortKey key;
    CTreeListNode* node;
};

struct ChildOrder {
    bool operator()(const IndexEntry& a, const IndexEntry& b) const;
};

class CTreeListNode : public CCommandTarget {
public:
    // The level is the parent's level + 1, or 0 without a parent.
    explicit CTreeListNode(CTreeListNode* parent = nullptr);
    ~CTreeListNode() override;
    CTreeListNode(const CTreeListNode&) = delete;
    CTreeListNode& operator=(const CTreeListNode&) = delete;
    // Nodes of every class live in the node arena (see NodeArena.h).
    static void* operator new(std::size_t size);
    static void* operator new(std::size_t size, const std::nothrow_t&) noexcept;
    static void operator delete(void* p, std::size_t size);

    CTreeListNode* GetParent() const { return parent_; }
    CTreeListNode* GetNextSibling() const { return next_; }
    CTreeListNode* GetFirstChild() const { return firstChild_; }
    CTreeListNode* GetPrevSibling() const {
        return parent_ && parent_->firstChild_ != this ? prev_ : nullptr;
    }
    CTreeListNode* GetLastChild() const { return firstChild_ ? firstChild_->prev_ : nullptr; }
    int GetLevel() const { return level_; }
    int GetRowIndex() const; // -1 when the node has no row
    // The control the node is in, found from the top of its tree; null in none.
    CTreeListCore* GetTree() const;
    bool HasChildren() const { return firstChild_ != nullptr; }
    std::size_t ChildCount() const { return childCount_; }
    // Nodes that exist now, and the most that existed at once since ResetPeak: for tests and
    // benchmarks of memory bounds.
    static std::size_t LiveCount() { return live_; }
    static std::size_t PeakCount() { return peak_; }
    static void ResetPeak() { peak_ = live_; }

    // Clears the known-empty flag, re-measures and repaints the row.
    virtual void Redraw(bool erase = true);
    virtual bool IsExpandable() const { return false; }
    virtual std::string_view GetLabel() const { return "  "; }

    // Children added from here to the matching EndChildBatch are sorted once at its end (see
    // above); calls nest. Used by expansions, which add a whole set of children at once.
    void BeginChildBatch();
    void EndChildBatch();

    // Attaches the child (taking ownership) in sorted or appended position and gives it a row.
    // Returns false when this node is in no control: the child stays linked without a row.
    virtual bool AddChild(CTreeListNode* child);
    // Makes node this node's next sibling (taking ownership). False without a parent.
    virtual bool InsertAfter(CTreeListNode* node);
    // Makes node this node's previous sibling (taking ownership). False without a parent.
    bool InsertBefore(CTreeListNode* node);
    // True when node is this node or one of its ancestors.
    bool IsDescendantOf(const CTreeListNode* node) const;
    // Removes and destroys this node and its subtree. False (and nothing done) when the node is
    // in no control. After true, `this` is gone.
    virtual bool DeleteNode();

    void SetChecked(bool checked);
    bool IsChecked() const { return (flags_ & nodeflag::kChecked) != 0; }
    void SetCheckEnabled(bool enabled);
    bool IsCheckEnabled() const { return (flags_ & nodeflag::kCheckEnabled) != 0; }
    void SetHasCheckBox(bool has);
    bool HasCheckBox() const { return (flags_ & nodeflag::kHasCheckBox) != 0; }
    void SetSorted(bool sorted);
    bool IsSorted() const { return (flags_ & nodeflag::kSorted) != 0; }
    bool IsKnownEmpty() const { return (flags_ & nodeflag::kKnownEmpty) != 0; }
    void SetKnownEmpty(bool empty);
    std::uint16_t Flags() const { return flags_; }
    // An expand box is drawn for a node that may have children and is not known to be empty.
    bool ShowsExpandBox() const { return IsExpandable() && !IsKnownEmpty(); }

    // Menu ids are resource ids, which fit 16 bits.
    void SetMenuId(std::uint32_t id) { menuId_ = static_cast<std::uint16_t>(id); }
    std::uint32_t GetMenuId() const { return menuId_; }
    // Few nodes have a colour of their own: it is kept beside the node, not in it.
    void SetTextColour(std::uint32_t colour);
    std::uint32_t GetTextColour() const;
    static constexpr std::uint32_t kDefaultColour = 0xFFFFFFFFu;

    // This node as a typed node, or null (cheaper than a dynamic cast in sorting).
    virtual const class CTypedNode* AsTyped() const { return nullptr; }
    // This node as a document node, or null: asked for every node a dump or an expansion
    // handles, where a dynamic cast costs a walk of the class hierarchy and string compares.
    virtual class CDocNode* AsDoc() { return nullptr; }
    const class CDocNode* AsDoc() const { return const_cast<CTreeListNode*>(this)->AsDoc(); }
    virtual std::uint32_t GetHelpContext() const { return 0; }
    // Order among sorted siblings: negative when this node goes before other.
    virtual int Compare(const CTreeListNode& other) const;
    // A prefix of the order of Compare (see SortKey); a class that overrides Compare overrides
    // this too, or leaves the key invalid.
    virtual SortKey GetSortKey() const { return {}; }
    // True when the label starts with prefix, ignoring letter case.
    virtual bool MatchesPrefix(std::string_view prefix) const;
    virtual std::optional<NodeImage> GetImage() const { return std::nullopt; }
    virtual bool CreateChildren() { return false; }
    virtual bool ExpandAll();
    // Deletes every child, first to last; false at the first that cannot be deleted.
    virtual bool CollapseChildren();
    virtual void OnSelect(bool /*selected*/) {}
    virtual void OnCheckChanged(bool /*checked*/) {}

    // Kept by the control for its horizontal extent: this row's right edge and the widest
    // right edge in the subtree (-1 for none).
    int RowRight() const { return rowRight_; }
    int WidestInSubtree() const { return widest_; }

protected:
    // Before a change of this node's place in a sorted order: an open batch of the parent is
    // sorted now, under the order the children were added by.
    void OrderKeyChanging();
    // Tells the parent that this node's place in a sorted order may have changed.
    void OrderKeyChanged();

private:
    friend class CTreeListCore;
    friend class CTreeListRoot;
    using ChildIndex = std::multiset<IndexEntry, ChildOrder>;

    void Link(CTreeListNode* child, CTreeListNode* before);
    void Unlink();
    CTreeListNode* SortedSuccessor(const CTreeListNode& child);
    bool BuildIndex();
    void DropIndex();
    bool ListIsSorted() const;
    ChildIndex* Index() const; // null without one
    bool Has(std::uint8_t bit) const { return (bits_ & bit) != 0; }
    void Set(std::uint8_t bit, bool on) {
        bits_ = static_cast<std::uint8_t>(on ? (bits_ | bit) : (bits_ & ~bit));
    }
    void SortBatch();
    void Adopt(CTreeListNode* child); // the levels of the child's subtree
    bool DeleteRowAndSubtree();

    static inline std::size_t live_ = 0;
    static inline std::size_t peak_ = 0;

    static constexpr std::uint8_t kIndexRefused = 0x01; // the list was found unsorted; retried
                                                        // after a change
    static constexpr std::uint8_t kIndexed = 0x02;      // this child is in its parent's index
    static constexpr std::uint8_t kBatchOpen = 0x04;    // children are appended, sorted at the end
    static constexpr std::uint8_t kHasIndex = 0x08;     // an index of the children is kept beside
    static constexpr std::uint8_t kHasColour = 0x10;    // a text colour is kept beside
    static constexpr std::uint8_t kControlRoot = 0x20;  // a control's own root (CTreeListRoot)

    // Laid out so that the small fields share words, and a derived class's first small fields
    // fill the last one. Only a sorted parent with many children has an index, and few nodes a
    // colour: both are kept in tables beside the nodes.
    CTreeListNode* parent_ = nullptr;
    CTreeListNode* next_ = nullptr;
    CTreeListNode* prev_ = nullptr; // of the first child: the last child
    CTreeListNode* firstChild_ = nullptr;
    std::uint32_t childCount_ = 0;
    int level_ = 0;
    int row_ = -1; // valid while the control's rows are up to date
    int rowRight_ = -1;
    int widest_ = 0;
    std::uint16_t flags_ = nodeflag::kInitial;
    std::uint16_t menuId_ = 0;
    std::uint8_t batchDepth_ = 0;
    std::uint8_t bits_ = 0;
};

// The root a control keeps above its top-level nodes: the one node that knows the control.
class CTreeListRoot final : public CTreeListNode {
public:
    explicit CTreeListRoot(CTreeListCore* tree);
    CTreeListCore* Tree() const { return tree_; }

private:
    CTreeListCore* tree_;
};

inline bool ChildOrder::operator()(const IndexEntry& a, const IndexEntry& b) const {
    if (a.key.valid && b.key.valid) {
        if (a.key.high != b.key.high)
            return a.key.high < b.key.high;
        if (a.key.low != b.key.low)
            return a.key.low < b.key.low;
        if (a.key.complete && b.key.complete)
            return a.key.length < b.key.length;
    }
    return a.node->Compare(*b.node) < 0;
}

// ASCII letter case folding for label comparisons.
int CompareNoCase(std::string_view a, std::string_view b);
