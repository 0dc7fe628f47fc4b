#include "nbody/small_file.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// Whole mebibytes read better than their bytes.
std::string size_in_words(long bytes) {
    if (bytes >= (1L << 20) && bytes % (1L << 20) == 0)
        return std::to_string(bytes >> 20) + " MiB";
    return std::to_string(bytes) + " bytes";
}

} // namespace

SmallFileStatus read_small_file_chunks(const std::string& path, long max_bytes,
                                       const std::function<void(const char*, std::size_t)>& chunk,
                                       std::string& error) {
    auto unreadable = [&error](const std::string& reason) {
        error = reason;
        return SmallFileStatus::Unreadable;
    };
    // Without O_NONBLOCK, opening a FIFO waits for a writer that may never come.
    const Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0) {
        error = std::strerror(errno);
        return errno == ENOENT || errno == ENOTDIR ? SmallFileStatus::Missing
                                                   : SmallFileStatus::Unreadable;
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0)
        return unreadable(std::strerror(errno));
    if (S_ISDIR(info.st_mode))
        return unreadable("it is a directory");
    if (!S_ISREG(info.st_mode))
        return unreadable("it is not a regular file");
    const std::string too_large = "it is larger than " + size_in_words(max_bytes);
    if (info.st_size > max_bytes)
        return unreadable(too_large);

    std::vector<char> buffer(1 << 16);
    long total = 0;
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return unreadable(std::strerror(errno));
        if (n == 0)
            break;
        // The size was checked, but a file may grow while it is read.
        total += n;
        if (total > max_bytes)
            return unreadable(too_large);
        chunk(buffer.data(), static_cast<std::size_t>(n));
    }
    return SmallFileStatus::Read;
}

bool read_small_file(const std::string& path, long max_bytes, std::string& bytes,
                     std::string& error) {
    bytes.clear();
    if (path.empty()) {
        error = "no file name";
        return false;
    }
    const SmallFileStatus status = read_small_file_chunks(
        path, max_bytes, [&bytes](const char* data, std::size_t size) { bytes.append(data, size); },
        error);
    if (status == SmallFileStatus::Read)
        return true;
    bytes.clear();
    return false;
}
