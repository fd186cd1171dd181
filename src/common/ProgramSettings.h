// The settings of this run of the program.
#pragma once

#include "common/Settings.h"

// The settings file at its usual location (see SettingsLocation.h), opened on first use. When
// no location can be formed, every write fails with a message saying so and reads give the
// defaults.
CSettings& ProgramSettings();

// Makes `settings` (borrowed, may be null to return to the file) the program's settings; used
// by tests and by a run that must not touch the user's file. Returns the previous override.
CSettings* OverrideProgramSettings(CSettings* settings);
