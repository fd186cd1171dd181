// Settings kept in a settings file (see IniDocument.h for its form).
//
// The file is read on first use and read again whenever it has changed on the disk. Each write
// reads the file afresh, changes the one line and replaces the whole file at once (see
// ReplaceFileContent), so what other programs or the user wrote in the meantime is kept and no
// failure leaves a half-written file. The file's directory is created when first written.
//
// A missing file reads as empty. A file that exists but cannot be read (permissions, a
// directory in its place, more than kMaxSettingsFileSize bytes) reads as empty too, and is never
// written over: writes then fail, so that nothing it holds is lost.
#pragma once

#include <cstddef>
#include <ctime>
#include <sys/types.h>

#include "common/IniDocument.h"
#include "common/Settings.h"

constexpr std::size_t kMaxSettingsFileSize = 16 * 1024 * 1024;

class CIniSettings : public CSettings {
public:
    // An empty path makes every operation fail with `locateError` (see SettingsLocation.h).
    explicit CIniSettings(std::string path, std::string locateError = {});

    const std::string& Path() const { return path_; }

    std::optional<std::string> Read(std::string_view section, std::string_view key) const override;
    bool WriteString(std::string_view section, std::string_view key,
                     std::string_view value) override;
    bool DeleteKey(std::string_view section, std::string_view key) override;
    bool DeleteSection(std::string_view section) override;
    std::vector<std::string> Keys(std::string_view section) const override;
    std::string LastError() const override { return lastError_; }

private:
    // What tells that the file changed since it was read.
    struct Stamp {
        bool exists = false;
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        timespec modified{};
        bool operator==(const Stamp& o) const;
    };
    // Brings document_ up to date with the file (always reading it when `force`). False, with
    // lastError_ set, when the file is there but cannot be read.
    bool Refresh(bool force) const;
    template <class Change> bool Modify(Change change);

    std::string path_;
    std::string locateError_;
    mutable CIniDocument document_;
    mutable std::string text_; // the file's content as last read or written
    mutable bool loaded_ = false;
    mutable bool readable_ = true;
    mutable Stamp stamp_;
    mutable std::string lastError_;
};
