// A set of notes of a database: its children are what one store search returns, made anew at
// every expansion.
#pragma once

#include <cstdint>

#include "output/CompiledFormula.h"
#include "store/api/Search.h"
#include "store/api/Time.h"
#include "tree/NoteNode.h"

class TNDatabase;

class TNDocSetBase : public CNoteNode {
public:
    bool IsExpandable() const override { return true; }
    // Runs the search; a failure follows the notes found so far as an error node, a cancel as
    // one cancel node.
    void AddChildren() override;

    // One search result: a note node, a deletion stub node, nothing, or the end of the search
    // (a cancel, or the limit reached).
    static store::Status CallbackVLTSearch(void* node, const store::SEARCH_MATCH* match,
                                           const store::ITEM_TABLE* summary);

    TNDatabase* GetDatabase() const { return database_; }
    std::uint16_t ClassMask() const { return classMask_; }
    bool ShowsNotes() const { return showNotes_; }
    bool ShowsDeletionStubs() const { return showStubs_; }
    // The children the last search made.
    std::uint32_t Made() const { return made_; }

protected:
    explicit TNDocSetBase(TNDatabase* database);

    TNDatabase* database_;
    CompiledFormula formula_;
    std::uint16_t searchFlags_ = 3;
    std::uint16_t classMask_ = 1;
    bool hasSince_ = false;
    store::TimeDate since_;
    bool showNotes_ = true;
    bool showStubs_ = false;
    bool limitOn_ = false;
    std::uint32_t limit_ = 0;
    std::uint32_t made_ = 0;
    bool endedHere_ = false; // the callback ended the search (a cancel node, or the limit)
};
