// The program's settings: sections of keys with string or integer values.
//
// Everything that remembers something between runs reads and writes through this interface;
// CIniSettings keeps the values in the settings file, CMemorySettings in memory (tests, or a
// run without a usable settings file). Section and key names match without regard to letter
// case. Reads never fail: a missing key, an unreadable file or an unusable value gives the
// caller's default. Writes return false on failure and LastError() then names the file and the
// problem; the value is then not stored, and everything else the file held is kept.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CSettings {
public:
    virtual ~CSettings() = default;

    // The stored text, or nothing when the key (or the whole store) is absent.
    virtual std::optional<std::string> Read(std::string_view section,
                                            std::string_view key) const = 0;
    virtual bool WriteString(std::string_view section, std::string_view key,
                             std::string_view value) = 0;
    // Deleting what is not there succeeds.
    virtual bool DeleteKey(std::string_view section, std::string_view key) = 0;
    virtual bool DeleteSection(std::string_view section) = 0;
    // The keys of a section in stored order.
    virtual std::vector<std::string> Keys(std::string_view section) const = 0;
    // The failure of the last operation ("Couldn't ..."), empty when it succeeded.
    virtual std::string LastError() const = 0;

    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view fallback = {}) const;
    // Decimal, or hexadecimal after "0x", with an optional sign; text after the number is
    // ignored. No number, or one beyond the range of long, gives the fallback.
    long GetInt(std::string_view section, std::string_view key, long fallback) const;
    bool WriteInt(std::string_view section, std::string_view key, long value);

    // Parses an integer as GetInt does.
    static std::optional<long> ParseInt(std::string_view text);
};
