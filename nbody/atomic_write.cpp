#include "nbody/atomic_write.h"

#include <atomic>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

AtomicFile::AtomicFile(const std::string& path) : path_(path) {
    if (path.empty()) {
        reason_ = "no file name";
        return;
    }
    struct stat old {};
    const bool exists = ::stat(path.c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode)) {
        reason_ = "it is not a regular file";
        return;
    }
    // A name of this process's own, created afresh: the user's umask gives
    // a new file its mode, as for any file the user writes.
    static std::atomic<unsigned> serial{0};
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        temp_ = path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(++serial);
        fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ < 0 && errno != EEXIST)
            break;
    }
    if (fd_ < 0) {
        temp_.clear();
        fail(errno);
        return;
    }
    // A replaced file keeps its permissions.
    if (exists && ::fchmod(fd_, old.st_mode & 07777) != 0)
        fail(errno);
}

AtomicFile::~AtomicFile() {
    if (fd_ >= 0)
        ::close(fd_);
    if (!temp_.empty() && !committed_)
        ::unlink(temp_.c_str());
}

bool AtomicFile::fail(int err) {
    if (reason_.empty())
        reason_ = std::strerror(err);
    return false;
}

bool AtomicFile::write(const char* data, std::size_t size) {
    if (!ok())
        return false;
    while (size > 0) {
        const ssize_t written = ::write(fd_, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return fail(written == 0 ? EIO : errno);
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool AtomicFile::commit() {
    if (!ok())
        return false;
    if (::fsync(fd_) != 0)
        return fail(errno);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0)
        return fail(errno);
    if (::rename(temp_.c_str(), path_.c_str()) != 0)
        return fail(errno);
    committed_ = true;
    // The rename itself reaches the disk with its directory.
    const std::size_t slash = path_.find_last_of('/');
    const std::string dir = slash == std::string::npos ? "." : path_.substr(0, slash + 1);
    const int dir_fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir_fd >= 0) {
        ::fsync(dir_fd);
        ::close(dir_fd);
    }
    return true;
}

bool write_file_atomically(const std::string& path, const std::string& bytes, std::string& error) {
    AtomicFile file(path);
    if (file.write(bytes.data(), bytes.size()) && file.commit())
        return true;
    error = file.reason();
    return false;
}
