// Makes a directory read-only for this thread while it lives, also when the
// tests run as root: root writes anywhere through CAP_DAC_OVERRIDE, so that
// capability is lowered from the thread's effective set (and raised again
// afterwards; it stays in the permitted set).
#pragma once

#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <fcntl.h>

#include <cstring>
#include <string>

class ReadOnlyDirectory {
public:
    explicit ReadOnlyDirectory(const std::string& path) : path_(path) {
        if (::chmod(path_.c_str(), 0555) != 0)
            return;
        if (::geteuid() == 0) {
            if (::syscall(SYS_capget, &header_, saved_) != 0)
                return;
            __user_cap_data_struct lowered[2];
            std::memcpy(lowered, saved_, sizeof lowered);
            lowered[CAP_TO_INDEX(CAP_DAC_OVERRIDE)].effective &= ~CAP_TO_MASK(CAP_DAC_OVERRIDE);
            if (::syscall(SYS_capset, &header_, lowered) != 0)
                return;
            lowered_ = true;
        }
        // Only a directory that refuses a new file makes a test mean something.
        const std::string probe = path_ + "/.probe";
        const int fd = ::open(probe.c_str(), O_CREAT | O_WRONLY | O_EXCL, 0644);
        if (fd >= 0) {
            ::close(fd);
            ::unlink(probe.c_str());
        } else {
            active_ = true;
        }
    }
    ~ReadOnlyDirectory() {
        if (lowered_)
            ::syscall(SYS_capset, &header_, saved_);
        ::chmod(path_.c_str(), 0755);
    }
    ReadOnlyDirectory(const ReadOnlyDirectory&) = delete;
    ReadOnlyDirectory& operator=(const ReadOnlyDirectory&) = delete;

    bool active() const { return active_; }

private:
    std::string path_;
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2]{};
    bool lowered_ = false;
    bool active_ = false;
};
