// Where the settings file lives.
//
// DELVEX_SETTINGS, when set and not empty, is the full path of the file. Otherwise the file is
// "dvxtool.ini" in the directory "delvex" of $XDG_CONFIG_HOME (used only when it is an absolute
// path), else of ~/.config.
#pragma once

#include <string>

constexpr const char* kSettingsFileName = "dvxtool.ini";

struct SettingsLocation {
    std::string path;  // empty when no location can be formed
    std::string error; // why, when path is empty
};

// From the given variables (null or empty means unset).
SettingsLocation LocateSettingsFile(const char* delvexSettings, const char* xdgConfigHome,
                                    const char* home);
// From the process environment.
SettingsLocation LocateSettingsFile();
