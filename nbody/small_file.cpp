#include "nbody/small_file.h"

#include <cerrno>
#include <cstring>

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

} // namespace

bool read_small_file(const std::string& path, long max_bytes, std::string& bytes,
                     std::string& error) {
    bytes.clear();
    auto fail = [&](const std::string& reason) {
        bytes.clear();
        error = reason;
        return false;
    };
    if (path.empty())
        return fail("no file name");
    // Without O_NONBLOCK, opening a FIFO waits for a writer that may never come.
    const Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0)
        return fail(std::strerror(errno));
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0)
        return fail(std::strerror(errno));
    if (S_ISDIR(info.st_mode))
        return fail("it is a directory");
    if (!S_ISREG(info.st_mode))
        return fail("it is not a regular file");
    const std::string too_large = "it is larger than " + std::to_string(max_bytes) + " bytes";
    if (info.st_size > max_bytes)
        return fail(too_large);

    char buffer[8192];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return fail(std::strerror(errno));
        if (n == 0)
            break;
        // The size was checked, but a file may grow while it is read.
        if (static_cast<long>(bytes.size()) + n > max_bytes)
            return fail(too_large);
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    return true;
}
