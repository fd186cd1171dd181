// Settings held in memory only, with the same rules as the settings file (case-insensitive
// names, only storable names accepted). A run without a usable settings file works on one;
// tests use one and can make writes fail from a given write on.
#pragma once

#include <cstddef>
#include <limits>

#include "common/IniDocument.h"
#include "common/Settings.h"

class CMemorySettings : public CSettings {
public:
    std::optional<std::string> Read(std::string_view section, std::string_view key) const override;
    bool WriteString(std::string_view section, std::string_view key,
                     std::string_view value) override;
    bool DeleteKey(std::string_view section, std::string_view key) override;
    bool DeleteSection(std::string_view section) override;
    std::vector<std::string> Keys(std::string_view section) const override;
    std::string LastError() const override { return lastError_; }

    // The next `count` writes (WriteString, WriteInt, deletions) succeed; later ones fail.
    void FailWritesAfter(std::size_t count) { writesLeft_ = count; }
    // Number of writes that succeeded so far.
    std::size_t WriteCount() const { return writes_; }
    // The whole content in the settings file's form.
    std::string Text() const { return document_.Serialize(); }
    void SetText(std::string_view text) { document_.Parse(text); }

private:
    bool BeginWrite();

    CIniDocument document_;
    std::size_t writesLeft_ = std::numeric_limits<std::size_t>::max();
    std::size_t writes_ = 0;
    mutable std::string lastError_;
};
