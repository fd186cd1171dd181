#include "common/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// The file a write to `path` must replace: the target of a symbolic link, else the path.
std::string TargetOf(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_symlink(path, ec))
        return path;
    const std::filesystem::path target = std::filesystem::canonical(path, ec);
    return ec ? path : target.string();
}

} // namespace

int ReadWholeFile(const std::string& path, std::string* content, std::size_t limit) {
    content->clear();
    // Not blocking: a pipe or device in the file's place must not hang the program.
    Fd f{::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)};
    if (f.fd < 0)
        return errno;
    struct stat st {};
    if (::fstat(f.fd, &st) != 0)
        return errno;
    if (S_ISDIR(st.st_mode))
        return EISDIR;
    if (!S_ISREG(st.st_mode))
        return EINVAL;
    std::vector<char> buffer(64 * 1024);
    for (;;) {
        const ssize_t n = ::read(f.fd, buffer.data(), buffer.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int err = errno;
            content->clear();
            return err;
        }
        if (n == 0)
            return 0;
        if (content->size() + static_cast<std::size_t>(n) > limit) {
            content->clear();
            return EFBIG;
        }
        content->append(buffer.data(), static_cast<std::size_t>(n));
    }
}

bool ReplaceFileContent(const std::string& path, std::string_view content, std::string* error) {
    const std::string target = TargetOf(path);
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
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0 && ::fchmod(f.fd, old.st_mode & 07777) != 0) {
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
