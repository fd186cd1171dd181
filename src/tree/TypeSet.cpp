#include "tree/TypeSet.h"

CTypeSet::CTypeSet(std::initializer_list<unsigned> ids) {
    for (unsigned id : ids) {
        Add(id);
    }
}

CTypeSet CTypeSet::All() {
    CTypeSet s;
    s.words_[0] = 0xFFFFFFFFu;
    s.words_[1] = (1u << (kNodeTypeCount - 32)) - 1;
    return s;
}

// Ids outside the 64-bit set are ignored rather than shifting by more than the word width.
void CTypeSet::Add(unsigned id) {
    if (id < 64) {
        words_[id / 32] |= 1u << (id % 32);
    }
}

void CTypeSet::Remove(unsigned id) {
    if (id < 64) {
        words_[id / 32] &= ~(1u << (id % 32));
    }
}

bool CTypeSet::Contains(unsigned id) const {
    return id < 64 && (words_[id / 32] & (1u << (id % 32))) != 0;
}

void CTypeSet::RemoveAll(const CTypeSet& other) {
    words_[0] &= ~other.words_[0];
    words_[1] &= ~other.words_[1];
}

void CTypeSet::AddAll(const CTypeSet& other) {
    words_[0] |= other.words_[0];
    words_[1] |= other.words_[1];
}

void CTypeSet::Invert() {
    const CTypeSet all = All();
    words_[0] = ~words_[0] & all.words_[0];
    words_[1] = ~words_[1] & all.words_[1];
}

bool CTypeSet::Intersects(const CTypeSet* a, const CTypeSet* b) const {
    for (const CTypeSet* s : {a, b}) {
        if (s && ((words_[0] & s->words_[0]) || (words_[1] & s->words_[1]))) {
            return true;
        }
    }
    return false;
}

std::string CTypeSet::ToLetters() const {
    std::string text;
    for (unsigned id = 0; id < kNodeTypeCount; ++id) {
        const char letter = TypeLetter(id);
        if (Contains(id) && letter != '*') {
            text.push_back(letter);
        }
    }
    return text;
}

CTypeSet CTypeSet::FromLetters(std::string_view text) {
    CTypeSet s;
    for (char c : text) {
        s.Add(TypeFromLetter(c));
    }
    return s;
}
