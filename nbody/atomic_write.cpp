#include "nbody/atomic_write.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool fail(std::string& error, int err) {
    error = std::strerror(err);
    return false;
}

bool write_all(int fd, const char* data, std::size_t n) {
    while (n > 0) {
        const ssize_t written = ::write(fd, data, n);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = EIO;
            return false;
        }
        data += written;
        n -= static_cast<std::size_t>(written);
    }
    return true;
}

} // namespace

bool write_file_atomically(const std::string& path, const std::string& bytes, std::string& error) {
    if (path.empty()) {
        error = "no file name";
        return false;
    }
    struct stat old {};
    const bool exists = ::stat(path.c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode)) {
        error = "it is not a regular file";
        return false;
    }

    // Beside the target, so that the rename stays on one file system.
    std::string pattern = path + ".tmp-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0)
        return fail(error, errno);
    const std::string temp(name.data());

    // A replaced file keeps its permissions; a new one is readable by all,
    // like any file the user writes (mkstemp makes it private).
    const mode_t mode = exists ? (old.st_mode & 07777) : 0644;
    int err = 0;
    if (!write_all(fd, bytes.data(), bytes.size()))
        err = errno;
    else if (::fchmod(fd, mode) != 0 || ::fsync(fd) != 0)
        err = errno;
    if (::close(fd) != 0 && err == 0)
        err = errno;
    if (err == 0 && ::rename(temp.c_str(), path.c_str()) != 0)
        err = errno;
    if (err != 0) {
        ::unlink(temp.c_str());
        return fail(error, err);
    }
    return true;
}
