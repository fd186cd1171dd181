// The key-value view of the settings file that option holders read and write through.
//
// Sections and keys are matched without regard to letter case by implementations. Reads give
// nothing for a missing or unreadable key, so that the caller's built-in default applies.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class CSettingsAccess {
public:
    virtual ~CSettingsAccess() = default;
    virtual std::optional<std::int32_t> ReadInt(std::string_view section,
                                                std::string_view key) const = 0;
    virtual std::optional<std::string> ReadString(std::string_view section,
                                                  std::string_view key) const = 0;
    // False when the value could not be stored.
    virtual bool WriteInt(std::string_view section, std::string_view key, std::int32_t value) = 0;
    virtual bool WriteString(std::string_view section, std::string_view key,
                             std::string_view value) = 0;
};
