// The computations of forms' window titles, kept for the forms most recently asked for, so
// that labelling many documents of one form reads its design note once.
//
// Each entry binds (database identifier, form name) to the computation of the form's
// "$WindowTitle" formula, or to none when the form has no such formula. The least recently
// used entry makes room for a new one.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "store/api/Handles.h"
#include "store/api/Status.h"
#include "store/api/Time.h"

class CDesignTitleCache {
public:
    static constexpr std::size_t kEntries = 10;

    CDesignTitleCache() = default;
    ~CDesignTitleCache() { Clear(); }
    CDesignTitleCache(const CDesignTitleCache&) = delete;
    CDesignTitleCache& operator=(const CDesignTitleCache&) = delete;

    // The computation of the window title of the form named formName (exact bytes) in the
    // database; *compute is 0 when the form has no window title formula. The computation stays
    // the cache's. Fails with the status of reading the identifier or finding, opening or
    // reading the form.
    store::Status Lookup(store::DbHandle db, const std::string& formName,
                         store::ComputeHandle* compute);
    // Stops every cached computation and forgets every entry; due before the store ends.
    void Clear();

    // How many entries hold a form now, and whether one holds this form of this database.
    std::size_t Used() const;
    bool Holds(store::DbHandle db, const std::string& formName) const;

private:
    struct Entry {
        store::TimeDate dbId;
        std::string form;
        store::ComputeHandle compute = 0;
        std::uint64_t lastUse = 0; // 0: never used
    };
    std::array<Entry, kEntries> entries_{};
    std::uint64_t clock_ = 0; // counts lookups: a strict order of use, no ties
};

// The cache the whole program shares. The shut-down sequence calls Clear() before it ends the
// store.
CDesignTitleCache& DesignTitleCache();

// Starts a computation of the "$WindowTitle" formula of an open note; *compute is 0 when the
// note has no such item of formula type.
store::Status StartWindowTitle(store::NoteHandle note, store::ComputeHandle* compute);
