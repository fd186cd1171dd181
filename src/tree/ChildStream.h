// A node's children handed to a walk one at a time, for a dump of a set too large to hold as
// nodes all at once: each child is made when the walk asks for it, its subtree is written, and
// it is deleted again before the next one is made.
#pragma once

#include <cstddef>
#include <string>

class CTreeListNode;

// Below holdAtMost children a node may keep them all; above it, what it gathers to order them
// is sorted within sortBudget bytes of memory.
struct ChildStreamLimits {
    std::size_t holdAtMost = 128;
    std::size_t sortBudget = std::size_t(256) << 10;
};

class CChildStream {
public:
    virtual ~CChildStream() = default;
    // Deletes the child handed out before, attaches the next one to the parent, in the order
    // the parent's own expansion gives its children, and returns it; null at the end or when
    // the stream failed.
    virtual CTreeListNode* Next() = 0;
    // Empty unless the stream failed; names the problem.
    virtual const std::string& Error() const = 0;
};
