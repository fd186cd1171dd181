// What the user chose in the Select Notes dialog: which notes a selected document set shows.
#pragma once

#include <cstdint>
#include <string>

#include "store/api/Status.h"
#include "store/api/Time.h"

struct NoteSelector {
    enum DateOption : int { kSince = 0, kInTheLast = 1 };

    std::string formula;         // selection formula source; empty: every note
    bool onlyModified = false;   // restrict to notes modified since the date below
    int dateOption = kInTheLast; // kSince: dateText is a date; kInTheLast: a period
    std::string dateText = "90 days";
    bool documents = true;
    bool designElements = false;
    bool deletionStubs = false;
    bool limitOn = false;
    std::int32_t limit = 15;

    // Equal when they select the same notes: the date is compared only when it is in force,
    // the limit only when it is on; the formula text compares case-sensitively.
    friend bool operator==(const NoteSelector& a, const NoteSelector& b);

    // The note classes searched for: 0x7FFF, 0x7FFE, 0x0001 or 0 (no kind chosen).
    std::uint16_t ClassMask() const;
    bool ShowNotes() const { return documents || designElements; }
    bool ShowDeletionStubs() const { return deletionStubs; }

    // The label of the set, e.g. "All Documents" or "Notes in the last 30 days (at most 15)".
    std::string Description() const;

    // The earliest modification time of the notes selected, from the current time. Not only
    // modified: the store's earliest time. Failures (a date text that is no date or period)
    // return their status and leave *since unchanged; an unknown date option changes nothing.
    store::Status SinceTime(store::TimeDate* since) const;
    // The same, counting a period back from `now`.
    store::Status SinceTime(const store::TimeDate& now, store::TimeDate* since) const;
};
