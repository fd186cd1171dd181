// A set of node type ids: a fixed 64-bit set (two 32-bit words, bit t of word t/32), with the
// text form used by the settings (one type letter per member).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "tree/NodeTypes.h"

class CTypeSet {
public:
    constexpr CTypeSet() = default;
    CTypeSet(std::initializer_list<unsigned> ids);

    // Every registered type (0..42).
    static CTypeSet All();

    void Clear() { words_[0] = words_[1] = 0; }
    void Fill() { *this = All(); }
    void Add(unsigned id);
    void Remove(unsigned id);
    bool Contains(unsigned id) const;
    void RemoveAll(const CTypeSet& other); // this minus other
    void AddAll(const CTypeSet& other);
    void Invert(); // within 0..42
    bool IsFull() const { return *this == All(); }
    bool IsEmpty() const { return words_[0] == 0 && words_[1] == 0; }
    // True when a member is also in a or in b; either may be omitted.
    bool Intersects(const CTypeSet* a, const CTypeSet* b = nullptr) const;

    // Members in increasing id order, letters; types whose letter is '*' are skipped.
    std::string ToLetters() const;
    // Each character names the first type with that letter; unknown characters name type 0.
    static CTypeSet FromLetters(std::string_view text);

    std::uint32_t Word(unsigned i) const { return i < 2 ? words_[i] : 0; }
    friend bool operator==(const CTypeSet&, const CTypeSet&) = default;

private:
    std::uint32_t words_[2] = {0, 0};
};
