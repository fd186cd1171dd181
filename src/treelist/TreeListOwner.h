// Notifications from the tree list control core to whoever owns it (the tree view, the path
// pane, an option page). Every notification has an empty default.
#pragma once

#include <cstdint>

#include "treelist/TreeListInput.h"

class CTreeListNode;

namespace treelist {

class Owner {
public:
    virtual ~Owner() = default;

    // The selection notifications were sent: node is the newly selected node (or null).
    virtual void OnSelectionChanged(CTreeListNode* /*node*/) {}
    // A right-button click on a node whose popup menu id is not 0.
    virtual void OnPopupMenu(CTreeListNode& /*node*/, std::uint32_t /*menuId*/, Point /*at*/) {}
    // The horizontal extent (pixels) changed; the owner sizes its scroll bar.
    virtual void OnExtentChanged(int /*extent*/) {}
    // The top row changed; the owner moves its vertical scroll bar.
    virtual void OnTopRowChanged(int /*row*/) {}
};

} // namespace treelist
