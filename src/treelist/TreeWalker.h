// Walks a subtree, or every row of a control, depth-first. It may report each node on the way
// in and again on the way out, may expand collapsed nodes on the way in (and collapses them
// again on the way out), and may delete the node it just reported and go on.
#pragma once

#include "treelist/TreeListNode.h"

class CTreeListCore;

class CTreeWalker {
public:
    static constexpr unsigned kReportBoth = 0x1;      // report every node in and out
    static constexpr unsigned kExpandCollapsed = 0x2; // create the children of collapsed nodes

    CTreeWalker(CTreeListNode& start, unsigned flags);   // the node and its subtree
    CTreeWalker(CTreeListCore& control, unsigned flags); // every top-level node and below

    // Limits the walk to n levels below the start (a whole-control walk starts above level 0).
    void SetDepth(int n) { depth_ = n; }
    // The next node, or null at the end; goingIn tells which way it is reported.
    CTreeListNode* Next(bool* goingIn = nullptr);
    // The walk does not enter the children of the node just reported.
    void SkipChildren();
    // Deletes the node just reported with its subtree; Next goes on with what would have
    // followed it.
    void DeleteCurrent();

private:
    bool Advance();
    int Depth(const CTreeListNode& n) const { return n.GetLevel() - start_->GetLevel(); }

    CTreeListNode* start_;
    bool whole_;
    bool both_;
    bool expand_;
    CTreeListNode* cur_ = nullptr;
    bool in_ = true;
    bool first_ = true;
    bool ended_ = false;
    bool skip_ = false;
    int autoLevel_ = -1;
    int depth_ = 32767;
    bool hasPending_ = false;
    CTreeListNode* pending_ = nullptr;
    bool pendingIn_ = false;
};
