#include "common/SettingsLocation.h"

#include <cstdlib>

namespace {

bool Set(const char* v) {
    return v && *v;
}

} // namespace

SettingsLocation LocateSettingsFile(const char* delvexSettings, const char* xdgConfigHome,
                                    const char* home) {
    if (Set(delvexSettings))
        return {delvexSettings, {}};
    const std::string tail = std::string("/delvex/") + kSettingsFileName;
    if (Set(xdgConfigHome) && xdgConfigHome[0] == '/')
        return {xdgConfigHome + tail, {}};
    if (Set(home))
        return {std::string(home) + "/.config" + tail, {}};
    return {{},
            "Couldn't locate the settings file: none of DELVEX_SETTINGS, XDG_CONFIG_HOME and HOME "
            "is set"};
}

SettingsLocation LocateSettingsFile() {
    return LocateSettingsFile(std::getenv("DELVEX_SETTINGS"), std::getenv("XDG_CONFIG_HOME"),
                              std::getenv("HOME"));
}
