// The ten most recently used note selectors, kept in the settings.
//
// Settings, section "Document Selector MRU":
//   Index       one letter per entry, most recent first: 'a' + slot number
//   <c>_Formula   formula text                          (slot letter c; absent: empty)
//   <c>_Date      date text                             (absent: "30 days")
//   <c>_DateOpt   "only modified;date option"           (absent: "0;1")
//   <c>_Flags     "documents;design elements;stubs"     (absent: "1;0;0")
//   <c>_Limit     "limit on;limit"                      (absent: "0;15")
// Entries live in fixed slots; the order list names the used slots, each once. A new entry
// takes the lowest free slot while fewer than ten are used, else the least recent one's slot.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "store/NoteSelector.h"

class CSettings;

class NoteSelectorMru {
public:
    static constexpr std::size_t kCapacity = 10;
    static constexpr const char* kSection = "Document Selector MRU";

    // Reads the list from the settings. Broken entries end the list without a word: an index
    // letter that names no slot of the list or repeats one cuts the list before it; a slot whose
    // values lack a number drops that slot and every later slot.
    void Load(const CSettings& settings);

    std::size_t Count() const { return order_.size(); }
    // The entry at recency position i (0: most recent); i < Count().
    const NoteSelector& At(std::size_t i) const { return slots_[order_[i]]; }

    // Makes the selector the most recent entry: an equal entry moves to the front and keeps
    // what it holds, else the selector takes a slot. Then writes the index and the slot's keys,
    // stopping at the first write that fails; returns whether all were written.
    bool Add(const NoteSelector& selector, CSettings& settings);

private:
    bool Save(std::size_t slot, CSettings& settings) const;

    std::array<NoteSelector, kCapacity> slots_;
    std::vector<std::size_t> order_; // used slot numbers, most recent first
};

// The program's list, loaded from the program's settings on first use.
NoteSelectorMru& ProgramNoteSelectorMru();
