// What is left of a deleted note: its identity and class. It has no children.
#pragma once

#include <cstdint>

#include "store/api/Search.h"
#include "tree/NoteNode.h"

class TNDeletionStub : public CNoteNode {
public:
    // The stub bit (15) of the match's class is cleared in the copy kept.
    TNDeletionStub(const store::SEARCH_MATCH& match, CNodeDocument* document);

    std::uint16_t GetNoteClass() const { return match_.noteClass; }
    store::NoteId GetNoteId() const { return store::SearchMatchNoteId(match_); }

    void OnOptionsChanged(std::uint32_t flags) override;
    void WriteBegin(CFieldWriter& writer) override;
    void WriteFields(CFieldWriter& writer) override;
    void WriteEnd(CFieldWriter& writer) override;

private:
    void MakeLabel();
    store::SEARCH_MATCH match_;
};
