#include "common/MemorySettings.h"

std::optional<std::string> CMemorySettings::Read(std::string_view section,
                                                 std::string_view key) const {
    lastError_.clear();
    return document_.Get(section, key);
}

std::vector<std::string> CMemorySettings::Keys(std::string_view section) const {
    lastError_.clear();
    return document_.Keys(section);
}

bool CMemorySettings::BeginWrite() {
    if (writesLeft_ == 0) {
        lastError_ = "Couldn't write settings: the settings store refuses further writes";
        return false;
    }
    --writesLeft_;
    ++writes_;
    lastError_.clear();
    return true;
}

bool CMemorySettings::WriteString(std::string_view section, std::string_view key,
                                  std::string_view value) {
    if (!BeginWrite())
        return false;
    if (!document_.Set(section, key, value)) {
        lastError_ = "Couldn't write settings: [" + std::string(section) + "] " + std::string(key) +
                     " is not a name a settings file can hold";
        return false;
    }
    return true;
}

bool CMemorySettings::DeleteKey(std::string_view section, std::string_view key) {
    if (!BeginWrite())
        return false;
    document_.DeleteKey(section, key);
    return true;
}

bool CMemorySettings::DeleteSection(std::string_view section) {
    if (!BeginWrite())
        return false;
    document_.DeleteSection(section);
    return true;
}
