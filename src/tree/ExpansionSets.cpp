#include "tree/ExpansionSets.h"

#include <array>

namespace expansion {
namespace {

CTypeSet Range(unsigned first, unsigned last) {
    CTypeSet s;
    for (unsigned t = first; t <= last; ++t) {
        s.Add(t);
    }
    return s;
}

std::array<CTypeSet, kNodeTypeCount>& Sets() {
    static std::array<CTypeSet, kNodeTypeCount> sets = [] {
        std::array<CTypeSet, kNodeTypeCount> s;
        for (unsigned t = 0; t < kNodeTypeCount; ++t) {
            s[t] = DefaultFor(t);
        }
        return s;
    }();
    return sets;
}

} // namespace

CTypeSet DefaultFor(unsigned type) {
    CTypeSet s;
    if (type >= kNodeTypeCount) {
        return s;
    }
    s.Add(type);
    CTypeSet notes = Range(19, 31);
    notes.Add(33);
    switch (type) {
    case 2:
    case 5:
        s.Add(8);
        break;
    case 4:
        s.AddAll(CTypeSet{5, 8});
        break;
    case 9:
    case 10:
        s.AddAll(CTypeSet{13, 14, 18, 32, 34, 36});
        break;
    case 12:
    case 18:
    case 36:
        s.AddAll(notes);
        break;
    case 14:
        s.AddAll(CTypeSet{16, 17});
        break;
    case 32:
        s.Add(33);
        break;
    default:
        if (notes.Contains(type)) {
            s.Add(39);
        }
        break;
    }
    return s;
}

const CTypeSet& SetFor(unsigned type) {
    static const CTypeSet kEmpty;
    return type < kNodeTypeCount ? Sets()[type] : kEmpty;
}

void Replace(unsigned type, const CTypeSet& set) {
    if (type < kNodeTypeCount) {
        Sets()[type] = set;
    }
}

void ResetToDefaults() {
    for (unsigned t = 0; t < kNodeTypeCount; ++t) {
        Sets()[t] = DefaultFor(t);
    }
}

} // namespace expansion
