#include "tree/ExpansionSettings.h"

#include <string>

#include "common/Hooks.h"
#include "common/ProgramSettings.h"
#include "tree/ExpansionSets.h"

namespace expansion {

void LoadSettings(const CSettings& settings) {
    ResetToDefaults();
    for (unsigned t = 0; t < kNodeTypeCount; ++t) {
        const std::string key = std::string("Expand_") + TypeLetter(t);
        const std::string value = settings.GetString(kSection, key);
        if (!value.empty()) {
            Replace(t, CTypeSet::FromLetters(value));
        }
    }
}

namespace {
void LoadProgramSettings(void*) {
    LoadSettings(ProgramSettings());
}
const hooks::CRegistration g_hook(LoadProgramSettings, nullptr, hooks::kStartup);
} // namespace

void LinkSettingsHook() {}

} // namespace expansion
