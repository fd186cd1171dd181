#include "output/InfoPaneOptions.h"

#include "output/SettingsAccess.h"

namespace {

struct SwitchKey {
    const char* key;
    std::int32_t CInfoPaneOptions::*member;
};

// In the order they are saved.
constexpr SwitchKey kSwitches[] = {
    {"ShowEmptyStrings", &CInfoPaneOptions::ShowEmptyStrings},
    {"ShowComments", &CInfoPaneOptions::ShowComments},
    {"ShowSpareBytes", &CInfoPaneOptions::ShowSpareBytes},
    {"ShowUninterpreted", &CInfoPaneOptions::ShowUninterpreted},
    {"ShowSymbols", &CInfoPaneOptions::ShowSymbols},
    {"ShowConvertFromKMBCS", &CInfoPaneOptions::ShowConvertFromKMBCS},
    {"ShowDisplayHighBit", &CInfoPaneOptions::ShowDisplayHighBit},
    {"ShowDateOption", &CInfoPaneOptions::ShowDateOption},
};

} // namespace

void CInfoPaneOptions::Load(const CSettingsAccess& settings) {
    for (const SwitchKey& s : kSwitches)
        if (auto value = settings.ReadInt(kSection, s.key))
            this->*s.member = *value;
}

bool CInfoPaneOptions::Save(CSettingsAccess& settings) const {
    for (const SwitchKey& s : kSwitches)
        if (!settings.WriteInt(kSection, s.key, this->*s.member))
            return false;
    return true;
}
