// The information block of an open database: class, identifier, replica information,
// modification times and options, each read on its own so one failure hides only its part.
#pragma once

#include "store/api/Handles.h"
#include "tree/NoteNode.h"

class TNDatabaseInfo : public CNoteNode {
public:
    // The handle is the parent's; this node never closes it.
    explicit TNDatabaseInfo(store::DbHandle db);

    void WriteBegin(CFieldWriter& writer) override;
    void WriteFields(CFieldWriter& writer) override;
    void WriteEnd(CFieldWriter& writer) override;

private:
    store::DbHandle db_;
};
