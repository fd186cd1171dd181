#include "common/ProgramSettings.h"

#include "common/IniSettings.h"
#include "common/SettingsLocation.h"

namespace {

CSettings* g_override = nullptr;

CIniSettings& FileSettings() {
    static CIniSettings settings = [] {
        SettingsLocation where = LocateSettingsFile();
        return CIniSettings(std::move(where.path), std::move(where.error));
    }();
    return settings;
}

} // namespace

CSettings& ProgramSettings() {
    return g_override ? *g_override : FileSettings();
}

CSettings* OverrideProgramSettings(CSettings* settings) {
    CSettings* previous = g_override;
    g_override = settings;
    return previous;
}
