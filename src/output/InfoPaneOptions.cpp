#include "output/InfoPaneOptions.h"

#include "common/Settings.h"

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

void CInfoPaneOptions::Load(const CSettings& settings) {
    for (const SwitchKey& s : kSwitches)
        this->*s.member = std::int32_t(settings.GetInt(kSection, s.key, this->*s.member));
}

bool CInfoPaneOptions::Save(CSettings& settings) const {
    for (const SwitchKey& s : kSwitches)
        if (!settings.WriteInt(kSection, s.key, this->*s.member))
            return false;
    return true;
}
