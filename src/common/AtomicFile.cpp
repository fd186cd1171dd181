#include "common/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/PlainFile.h"

namespace {

std::string Reason(int err) {
    return std::strerror(err);
}

// Closes the descriptor when it leaves scope unless released.
struct Fd {
    int fd = -1;
    ~Fd() {
        if (fd >= 0)
            ::close(fd);
    }
    int release() {
        const int f = fd;
        fd = -1;
        return f;
    }
};

bool WriteAll(int fd, std::string_view data, int* err) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            *err = errno;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// The file a write to `path` must replace: the end of its chain of symbolic links, even when
// no file is there yet, so that a link is written through and never replaced.
bool TargetOf(const std::string& path, std::string* target, std::string* error) {
    namespace fs = std::filesystem;
    fs::path p = path;
    for (int links = 0;; ++links) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(p, ec))) {
            *target = p.string();
            return true;
        }
        if (links == 40) {
            *error = "it is a loop of symbolic links, so it is left unchanged";
            return false;
        }
        const fs::path next = fs::read_symlink(p, ec);
        if (ec) {
            *error =
                "the symbolic link " + p.string() + " could not be read (" + ec.message() + ")";
            return false;
        }
        p = next.is_absolute() ? next : p.parent_path() / next;
    }
}

// Why an existing file must not be replaced, or empty: the user marked it read-only (no write
// permission for anyone; the superuser could write it all the same, and must not), or we may
// not write it.
std::string Unwritable(const std::string& file, const struct stat& st) {
    if ((st.st_mode & 0222) == 0)
        return "it is read-only, so it is left unchanged";
    if (::faccessat(AT_FDCWD, file.c_str(), W_OK, AT_EACCESS) != 0)
        return "it cannot be written (" + Reason(errno) + "), so it is left unchanged";
    return {};
}

} // namespace

int ReadWholeFile(const std::string& path, std::string* content, std::size_t limit) {
    return ReadPlainFile(path, content, limit);
}

bool ReplaceFileContent(const std::string& path, std::string_view content, std::string* error) {
    std::string target;
    if (!TargetOf(path, &target, error))
        return false;
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists) {
        if (std::string why = Unwritable(target, old); !why.empty()) {
            *error = std::move(why);
            return false;
        }
    }
    const std::filesystem::path dir = std::filesystem::path(target).parent_path();
    std::string temp = target + ".XXXXXX";
    Fd f{::mkstemp(temp.data())};
    if (f.fd < 0) {
        *error = "a temporary file could not be created in " +
                 (dir.empty() ? std::string(".") : dir.string()) + " (" + Reason(errno) + ")";
        return false;
    }
    int err = 0;
    auto fail = [&](const char* step) {
        *error = "the temporary file " + temp + " could not be " + step + " (" + Reason(err) + ")";
        if (f.fd >= 0)
            ::close(f.release());
        ::unlink(temp.c_str());
        return false;
    };
    if (exists && ::fchmod(f.fd, old.st_mode & 07777) != 0) {
        err = errno;
        return fail("given the permissions of the old one");
    }
    if (!WriteAll(f.fd, content, &err))
        return fail("written");
    if (::fsync(f.fd) != 0) {
        err = errno;
        return fail("flushed to the disk");
    }
    if (::close(f.release()) != 0) {
        err = errno;
        return fail("closed");
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        err = errno;
        *error = "the temporary file could not be renamed to " + target + " (" + Reason(err) + ")";
        ::unlink(temp.c_str());
        return false;
    }
    // Make the rename itself durable; the new content is in place whatever this reports.
    Fd d{::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    if (d.fd >= 0)
        ::fsync(d.fd);
    return true;
}
