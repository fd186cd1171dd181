#include "common/IniSettings.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <utility>

#include <sys/stat.h>

#include "common/AtomicFile.h"

namespace {

std::string ReadFailure(const std::string& path, int err) {
    if (err == EFBIG)
        return "Couldn't read settings file " + path + ": it is larger than " +
               std::to_string(kMaxSettingsFileSize / (1024 * 1024)) + " MiB";
    if (err == EINVAL)
        return "Couldn't read settings file " + path + ": it is not a regular file";
    return "Couldn't read settings file " + path + ": " + std::strerror(err);
}

} // namespace

bool CIniSettings::Stamp::operator==(const Stamp& o) const {
    return exists == o.exists && device == o.device && inode == o.inode && size == o.size &&
           modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec;
}

CIniSettings::CIniSettings(std::string path, std::string locateError)
    : path_(std::move(path)), locateError_(std::move(locateError)) {
    if (path_.empty() && locateError_.empty())
        locateError_ = "Couldn't locate the settings file";
}

bool CIniSettings::Refresh(bool force) const {
    if (path_.empty()) {
        lastError_ = locateError_;
        return false;
    }
    Stamp now;
    struct stat st {};
    if (::stat(path_.c_str(), &st) == 0) {
        now.exists = true;
        now.device = st.st_dev;
        now.inode = st.st_ino;
        now.size = st.st_size;
        now.modified = st.st_mtim;
    } else if (errno != ENOENT && errno != ENOTDIR) {
        const int err = errno;
        document_.Parse({});
        text_.clear();
        readable_ = false;
        loaded_ = false;
        lastError_ = ReadFailure(path_, err);
        return false;
    }
    if (loaded_ && !force && now == stamp_) {
        lastError_ = readable_ ? std::string() : lastError_;
        return readable_;
    }
    std::string text;
    const int err = now.exists ? ReadWholeFile(path_, &text, kMaxSettingsFileSize) : 0;
    loaded_ = true;
    stamp_ = now;
    readable_ = err == 0 || err == ENOENT;
    text_ = readable_ ? std::move(text) : std::string();
    document_.Parse(text_);
    lastError_ = readable_ ? std::string() : ReadFailure(path_, err);
    return readable_;
}

std::optional<std::string> CIniSettings::Read(std::string_view section,
                                              std::string_view key) const {
    Refresh(false);
    return document_.Get(section, key);
}

std::vector<std::string> CIniSettings::Keys(std::string_view section) const {
    Refresh(false);
    return document_.Keys(section);
}

template <class Change> bool CIniSettings::Modify(Change change) {
    if (!Refresh(true)) {
        if (!path_.empty())
            lastError_ = "Couldn't write settings file " + path_ +
                         ": it could not be read, so it is left unchanged (" + lastError_ + ")";
        return false;
    }
    CIniDocument changed = document_;
    if (!change(changed))
        return false;
    std::string text = changed.Serialize();
    if (text == text_)
        return true;
    const std::filesystem::path dir = std::filesystem::path(path_).parent_path();
    std::error_code ec;
    if (!dir.empty() && !std::filesystem::is_directory(dir, ec)) {
        std::filesystem::create_directories(dir, ec);
        if (ec) {
            lastError_ = "Couldn't create the settings directory " + dir.string() + " for " +
                         path_ + ": " + ec.message();
            return false;
        }
    }
    std::string detail;
    if (!ReplaceFileContent(path_, text, &detail)) {
        lastError_ = "Couldn't write settings file " + path_ + ": " + detail;
        return false;
    }
    document_ = std::move(changed);
    text_ = std::move(text);
    // Take the new stamp so the next read does not parse what was just written again.
    loaded_ = false;
    Refresh(false);
    return true;
}

bool CIniSettings::WriteString(std::string_view section, std::string_view key,
                               std::string_view value) {
    return Modify([&](CIniDocument& doc) {
        if (doc.Set(section, key, value))
            return true;
        lastError_ = "Couldn't write settings file " + path_ + ": [" + std::string(section) + "] " +
                     std::string(key) + " is not a name a settings file can hold";
        return false;
    });
}

bool CIniSettings::DeleteKey(std::string_view section, std::string_view key) {
    return Modify([&](CIniDocument& doc) {
        doc.DeleteKey(section, key);
        return true;
    });
}

bool CIniSettings::DeleteSection(std::string_view section) {
    return Modify([&](CIniDocument& doc) {
        doc.DeleteSection(section);
        return true;
    });
}
