#include "common/PlainFile.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// 0 for a plain file, else the errno that OpenPlainFile reports for it.
int KindError(const struct stat& st) {
    return S_ISREG(st.st_mode) ? 0 : S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
}

} // namespace

int OpenPlainFile(const std::string& path, int* err) {
    // Look first, so that a device is not even opened (opening one may do something).
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        *err = errno;
        return -1;
    }
    if ((*err = KindError(st)) != 0)
        return -1;
    // Not blocking while opening: a pipe swapped in meanwhile would wait for a writer forever.
    // The kind is then taken from the descriptor itself, which nothing can swap.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        *err = errno;
        return -1;
    }
    if (::fstat(fd, &st) != 0 || (*err = KindError(st)) != 0) {
        if (*err == 0)
            *err = errno;
        ::close(fd);
        return -1;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return fd;
}

int ReadPlainFile(const std::string& path, std::string* content, std::size_t limit) {
    content->clear();
    int err = 0;
    const int fd = OpenPlainFile(path, &err);
    if (fd < 0)
        return err;
    std::vector<char> buffer(64 * 1024);
    for (;;) {
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            err = errno;
            break;
        }
        if (n == 0)
            break;
        if (content->size() + static_cast<std::size_t>(n) > limit) {
            err = EFBIG;
            break;
        }
        content->append(buffer.data(), static_cast<std::size_t>(n));
    }
    ::close(fd);
    if (err != 0)
        content->clear();
    return err;
}

std::string PlainFileError(int err) {
    return err == EINVAL ? std::string("not a plain file") : std::string(std::strerror(err));
}
