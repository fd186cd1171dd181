// The header information of an open note: times, parent and responses, flags, and whether it
// holds objects, a signature or a seal.
#pragma once

#include "store/api/Handles.h"
#include "tree/NoteNode.h"

class TNDocumentInfo : public CNoteNode {
public:
    // The note is the parent's; this node never closes it.
    explicit TNDocumentInfo(store::NoteHandle note);

    void WriteBegin(CFieldWriter& writer) override;
    void WriteFields(CFieldWriter& writer) override;
    void WriteEnd(CFieldWriter& writer) override;

private:
    store::NoteHandle note_;
};
