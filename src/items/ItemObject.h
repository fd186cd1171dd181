// Items that refer to a database object: one note object node as the child.
#pragma once

#include "items/ItemNode.h"

class TNItemObject : public TNItem {
public:
    using TNItem::TNItem;

    bool IsExpandable() const override { return true; }
    void AddChildren() override;
};
