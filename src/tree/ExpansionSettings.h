// The "ExpandLots" settings: one key "Expand_<letter>" per type, whose type letters replace that
// type's default expansion set. The types whose letter is '*' share the key "Expand_*".
#pragma once

class CSettings;

namespace expansion {

inline constexpr const char* kSection = "ExpandLots";

// Resets every set to its default, then applies the present, non-empty keys.
void LoadSettings(const CSettings& settings);
// Nothing to do: calling it links the start-up hook that loads the program's settings.
void LinkSettingsHook();

} // namespace expansion
