// A set of notes of a database: its children are what one store search returns, made anew at
// every expansion.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

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
    // A dump's way through the set: one search gathers what orders the children and makes them
    // again, and they are handed out one at a time (store/DocSetStream.h).
    std::unique_ptr<CChildStream> StreamChildren(const ChildStreamLimits& limits) override;

    // What a child of the set was made from, so that the same node can be made again.
    enum class ChildKind : std::uint8_t { Note, Stub, Damaged, Cancel, Failure };
    // The search with this set's formula and classes, each result to the callback; made_ and
    // the end flag start anew.
    store::Status RunSearch(store::SearchCallback callback, void* context);
    // The child one search result makes (null for none), as AddChildren adds it; *stop is what
    // the callback returns (not 0: the search ends here).
    CNoteNode* MakeChild(const store::SEARCH_MATCH& match, const store::ITEM_TABLE* summary,
                         ChildKind* kind, store::Status* stop);
    // The child that follows the results when the search ended with status (a cancel the
    // callback did not see, a failure), or null.
    CNoteNode* EndChild(store::Status status, ChildKind* kind) const;
    // The same child once more. For a note child, noteClass is the class it read the first time
    // (0: read it again) and `label`, when given, the label it had then.
    CNoteNode* MakeChildAgain(ChildKind kind, const store::SEARCH_MATCH& match,
                              const store::ITEM_TABLE* summary, store::Status status,
                              std::uint16_t noteClass = 0,
                              std::optional<std::string_view> label = std::nullopt) const;

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
