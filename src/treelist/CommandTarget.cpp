#include "treelist/CommandTarget.h"

const CommandMap& CCommandTarget::GetCommandMap() const {
    static const CommandMap kEmpty{nullptr, {}};
    return kEmpty;
}

// The most derived entry wins, as the maps are searched from the derived class upwards.
const CommandEntry* CCommandTarget::Find(std::uint32_t id, bool wantHandler) const {
    for (const CommandMap* map = &GetCommandMap(); map; map = map->base) {
        for (const auto& e : map->entries) {
            if (e.id == id && (wantHandler ? e.handler != nullptr : true)) {
                return &e;
            }
        }
    }
    return nullptr;
}

bool CCommandTarget::OnCommand(std::uint32_t id) {
    const CommandEntry* e = Find(id, true);
    if (!e) {
        return false;
    }
    e->handler(*this);
    return true;
}

bool CCommandTarget::OnUpdateCommand(CCmdUI& ui) {
    const CommandEntry* e = Find(ui.id, false);
    if (!e) {
        return false;
    }
    if (e->update) {
        e->update(*this, ui);
    } else {
        ui.enabled = e->handler != nullptr;
    }
    return true;
}
