#include "tree/MenuTexts.h"

#include <map>

namespace menutexts {
namespace {

constexpr std::size_t kMaxMenuString = 200;
constexpr const char* kBogus = "!!Bogus Menu Text!!";

struct Cache {
    const CMenuStringSource* source = nullptr;
    std::map<std::uint32_t, Texts> texts;
};

Cache& TheCache() {
    static Cache cache;
    return cache;
}

// Replaces the first %s with the name; any other text is kept as it is (no printf: the menu
// string comes from resources, the name from the registry).
std::string WithName(const std::string& pattern, std::string_view name) {
    std::string out = pattern;
    if (const auto at = out.find("%s"); at != std::string::npos) {
        out.replace(at, 2, name);
    }
    return out;
}

} // namespace

void SetSource(const CMenuStringSource* source) {
    TheCache().source = source;
    TheCache().texts.clear();
}

const Texts& For(std::uint32_t id) {
    auto& cache = TheCache();
    if (const auto at = cache.texts.find(id); at != cache.texts.end()) {
        return at->second;
    }
    std::optional<std::string> text;
    if (cache.source) {
        text = cache.source->FindMenuString(id);
    }
    Texts t;
    if (!text) {
        t.named = t.plain = kBogus;
    } else {
        if (text->size() > kMaxMenuString) {
            text->resize(kMaxMenuString);
        }
        const auto bar = text->find('|');
        t.named = text->substr(0, bar);
        t.plain = bar == std::string::npos ? *text : text->substr(bar + 1);
    }
    return cache.texts.emplace(id, std::move(t)).first->second;
}

void UpdateNamed(CCmdUI& ui, NodeTypeId type) {
    const Texts& t = For(ui.id);
    const char* name = NodeTypeOf(type).name;
    if (name) {
        ui.text = WithName(t.named, name);
        ui.enabled = true;
    } else {
        ui.text = t.plain;
        ui.enabled = false;
    }
}

void UpdatePlain(CCmdUI& ui) {
    ui.text = For(ui.id).plain;
    ui.enabled = false;
}

} // namespace menutexts
