#include "items/SharedName.h"

#include <unordered_set>

struct CSharedName::Entry {
    std::string name;
    mutable std::size_t holders = 0;
};

namespace {

using Entry = CSharedName::Entry;

struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
    std::size_t operator()(const Entry& e) const { return (*this)(std::string_view(e.name)); }
};

struct Equal {
    using is_transparent = void;
    static std::string_view Of(std::string_view s) { return s; }
    static std::string_view Of(const Entry& e) { return e.name; }
    template <class A, class B> bool operator()(const A& a, const B& b) const {
        return Of(a) == Of(b);
    }
};

// Set nodes do not move, so neither does a name while it is held. Never destroyed: nodes may
// outlive static objects at exit.
using Pool = std::unordered_set<Entry, Hash, Equal>;
Pool& ThePool() {
    static Pool& pool = *new Pool();
    return pool;
}

} // namespace

CSharedName::CSharedName(std::string_view name) {
    Pool& pool = ThePool();
    auto at = pool.find(name);
    if (at == pool.end())
        at = pool.insert(Entry{std::string(name), 0}).first;
    ++at->holders;
    entry_ = &*at;
}

CSharedName::~CSharedName() {
    if (--entry_->holders == 0)
        ThePool().erase(ThePool().find(std::string_view(entry_->name)));
}

std::string_view CSharedName::View() const {
    return entry_->name;
}

std::size_t CSharedName::Distinct() {
    return ThePool().size();
}
