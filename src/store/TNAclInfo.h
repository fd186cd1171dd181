// The general information of an access control list: flags, administration server, history.
#pragma once

#include "store/api/Handles.h"
#include "store/api/Memory.h"
#include "tree/NoteNode.h"

class TNAclInfo : public CNoteNode {
public:
    explicit TNAclInfo(store::MemHandle acl);

    void WriteBegin(CFieldWriter& writer) override;
    void WriteFields(CFieldWriter& writer) override;
    void WriteEnd(CFieldWriter& writer) override;

private:
    store::MemHandle acl_;
};
