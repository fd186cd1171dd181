// An item name shared by every node of an item of that name: a database has few distinct item
// names and many items, so each node holds a pointer to one counted copy instead of its own
// string. The copy lives while a node holds it, and does not move.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

class CSharedName {
public:
    explicit CSharedName(std::string_view name);
    ~CSharedName();
    CSharedName(const CSharedName&) = delete;
    CSharedName& operator=(const CSharedName&) = delete;

    std::string_view View() const;
    // Distinct names held now: for tests.
    static std::size_t Distinct();

    struct Entry; // the pool's copy of a name and its number of holders

private:
    const Entry* entry_;
};
