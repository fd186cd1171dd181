#include "store/NoteSelectorMru.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>

#include "common/ProgramSettings.h"
#include "common/Settings.h"

namespace {

std::string Key(std::size_t slot, const char* name) {
    return std::string(1, char('a' + slot)) + "_" + name;
}

// Reads `count` numbers separated by ';' from the start of the text, each with optional leading
// blanks and sign; what follows the last number is ignored. Nothing unless every number is there
// and each fits in an int.
template <std::size_t N> std::optional<std::array<long, N>> Numbers(const std::string& text) {
    std::array<long, N> out{};
    const char* p = text.c_str();
    for (std::size_t i = 0; i < N; ++i) {
        if (i > 0) {
            if (*p != ';')
                return std::nullopt;
            ++p;
        }
        if (*p == '\0')
            return std::nullopt;
        char* end = nullptr;
        errno = 0;
        const long v = std::strtol(p, &end, 10);
        if (end == p || errno == ERANGE || v < std::numeric_limits<int>::min() ||
            v > std::numeric_limits<int>::max())
            return std::nullopt;
        out[i] = v;
        p = end;
    }
    return out;
}

std::optional<NoteSelector> LoadSlot(const CSettings& s, std::size_t slot) {
    const char* section = NoteSelectorMru::kSection;
    NoteSelector sel;
    sel.formula = s.GetString(section, Key(slot, "Formula"), "");
    sel.dateText = s.GetString(section, Key(slot, "Date"), "30 days");
    const auto date = Numbers<2>(s.GetString(section, Key(slot, "DateOpt"), "0;1"));
    const auto flags = Numbers<3>(s.GetString(section, Key(slot, "Flags"), "1;0;0"));
    const auto limit = Numbers<2>(s.GetString(section, Key(slot, "Limit"), "0;15"));
    if (!date || !flags || !limit)
        return std::nullopt;
    sel.onlyModified = (*date)[0] != 0;
    sel.dateOption = int((*date)[1]);
    sel.documents = (*flags)[0] != 0;
    sel.designElements = (*flags)[1] != 0;
    sel.deletionStubs = (*flags)[2] != 0;
    sel.limitOn = (*limit)[0] != 0;
    sel.limit = std::int32_t((*limit)[1]);
    return sel;
}

} // namespace

void NoteSelectorMru::Load(const CSettings& settings) {
    order_.clear();
    const std::string index = settings.GetString(kSection, "Index", "");
    const std::size_t count = std::min(index.size(), kCapacity);
    for (std::size_t i = 0; i < count; ++i) {
        const int slot = index[i] - 'a';
        const bool known = slot >= 0 && std::size_t(slot) < count;
        if (!known || std::find(order_.begin(), order_.end(), std::size_t(slot)) != order_.end())
            break;
        order_.push_back(std::size_t(slot));
    }
    // Slots are read in slot order; the first broken one ends the list there.
    for (std::size_t slot = 0; slot < count; ++slot) {
        if (std::find(order_.begin(), order_.end(), slot) == order_.end())
            continue;
        const std::optional<NoteSelector> sel = LoadSlot(settings, slot);
        if (!sel) {
            std::erase_if(order_, [slot](std::size_t s) { return s >= slot; });
            break;
        }
        slots_[slot] = *sel;
    }
}

bool NoteSelectorMru::Add(const NoteSelector& selector, CSettings& settings) {
    auto found = std::find_if(order_.begin(), order_.end(),
                              [&](std::size_t s) { return slots_[s] == selector; });
    std::size_t slot;
    if (found != order_.end()) {
        slot = *found;
        order_.erase(found);
    } else if (order_.size() < kCapacity) {
        slot = 0;
        while (std::find(order_.begin(), order_.end(), slot) != order_.end())
            ++slot;
        slots_[slot] = selector;
    } else {
        slot = order_.back();
        order_.pop_back();
        slots_[slot] = selector;
    }
    order_.insert(order_.begin(), slot);
    return Save(slot, settings);
}

bool NoteSelectorMru::Save(std::size_t slot, CSettings& settings) const {
    std::string index;
    for (std::size_t s : order_)
        index += char('a' + s);
    const NoteSelector& sel = slots_[slot];
    auto pair = [](long a, long b) { return std::to_string(a) + ";" + std::to_string(b); };
    return settings.WriteString(kSection, "Index", index) &&
           settings.WriteString(kSection, Key(slot, "Formula"), sel.formula) &&
           settings.WriteString(kSection, Key(slot, "Date"), sel.dateText) &&
           settings.WriteString(kSection, Key(slot, "DateOpt"),
                                pair(sel.onlyModified, sel.dateOption)) &&
           settings.WriteString(kSection, Key(slot, "Flags"),
                                std::to_string(sel.documents) + ";" +
                                    pair(sel.designElements, sel.deletionStubs)) &&
           settings.WriteString(kSection, Key(slot, "Limit"), pair(sel.limitOn, sel.limit));
}

NoteSelectorMru& ProgramNoteSelectorMru() {
    static NoteSelectorMru mru = [] {
        NoteSelectorMru m;
        m.Load(ProgramSettings());
        return m;
    }();
    return mru;
}
