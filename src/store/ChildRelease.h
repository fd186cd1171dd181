// Nodes that lend a store handle to their children destroy those children before they give the
// handle back, so that no child outlives what it borrows.
#pragma once

#include "treelist/TreeListNode.h"

inline void DestroyChildren(CTreeListNode& node) {
    // A child unlinks itself from its parent (and its control) when destroyed.
    while (CTreeListNode* child = node.GetFirstChild())
        delete child;
}
