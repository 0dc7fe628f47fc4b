#include "readers/atomic_write.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// What stands at a path that is no regular file, for the reason.
std::string kind_of(mode_t mode) {
    if (S_ISDIR(mode))
        return "a directory";
    if (S_ISFIFO(mode))
        return "a named pipe";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "a device";
    if (S_ISSOCK(mode))
        return "a socket";
    return "something else";
}

// "<anything>.tmp-<digits>-<digits>": the names AtomicFile makes.
bool is_temporary_name(const std::string& name) {
    const std::size_t mark = name.rfind(".tmp-");
    if (mark == std::string::npos || mark == 0)
        return false;
    std::size_t k = mark + 5;
    auto digits = [&name, &k] {
        const std::size_t from = k;
        while (k < name.size() && name[k] >= '0' && name[k] <= '9')
            ++k;
        return k > from;
    };
    if (!digits() || k >= name.size() || name[k] != '-')
        return false;
    ++k;
    return digits() && k == name.size();
}

} // namespace

AtomicFile::AtomicFile(const std::string& path) : path_(path) {
    if (path.empty()) {
        reason_ = "no file name";
        return;
    }
    struct stat link {};
    if (::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        // Renaming over the link would put a plain file in its place: the
        // new version goes where the link leads, beside its target.
        std::unique_ptr<char, decltype(&std::free)> target(::realpath(path.c_str(), nullptr),
                                                           &std::free);
        if (!target) {
            reason_ = errno == ENOENT ? "it is a symbolic link to nothing"
                                      : "it is a symbolic link that cannot be followed (" +
                                            std::string(std::strerror(errno)) + ")";
            return;
        }
        path_ = target.get();
    }
    struct stat old {};
    const bool exists = ::stat(path_.c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode)) {
        reason_ = "it is " + kind_of(old.st_mode) + ", not a regular file";
        return;
    }
    // A name of this process's own, created afresh: the user's umask gives
    // a new file its mode, as for any file the user writes.
    static std::atomic<unsigned> serial{0};
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        temp_ = path_ + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(++serial);
        fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ < 0 && errno != EEXIST)
            break;
    }
    if (fd_ < 0) {
        // Said apart from a failed write: a file that exists (/proc/version)
        // would otherwise read "No such file or directory".
        temp_.clear();
        reason_ =
            "no new file can be made in its folder (" + std::string(std::strerror(errno)) + ")";
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
    if (::rename(temp_.c_str(), path_.c_str()) != 0) {
        reason_ = "it cannot be replaced (" + std::string(std::strerror(errno)) + ")";
        return false;
    }
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

int remove_stale_temporaries(const std::string& directory, std::chrono::seconds age) {
    struct CloseDir {
        void operator()(DIR* d) const { ::closedir(d); }
    };
    std::unique_ptr<DIR, CloseDir> dir(::opendir(directory.empty() ? "." : directory.c_str()));
    if (!dir)
        return 0;
    const int dir_fd = ::dirfd(dir.get());
    const std::time_t before = std::time(nullptr) - static_cast<std::time_t>(age.count());
    int removed = 0;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (!is_temporary_name(name))
            continue;
        struct stat info {};
        if (::fstatat(dir_fd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(info.st_mode) || info.st_mtime >= before)
            continue;
        if (::unlinkat(dir_fd, name.c_str(), 0) == 0)
            ++removed;
    }
    return removed;
}
