// Replacing user files in one piece: what is left behind when writing fails.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "common/temp_dir.h"
#include "nbody/atomic_write.h"

TEST(AtomicWrite, ReplacesTheFileWholeAndKeepsItsPermissions) {
    TempDir dir;
    const std::string path = dir.path() + "/picture.png";
    std::string error;
    ASSERT_TRUE(write_file_atomically(path, std::string("first\0one", 9), error)) << error;
    EXPECT_EQ(slurp(path), std::string("first\0one", 9));
    struct stat made {};
    ASSERT_EQ(::stat(path.c_str(), &made), 0);
    const mode_t mask = ::umask(022);
    ::umask(mask);
    EXPECT_EQ(made.st_mode & 0777, 0666u & ~mask) << "a new file as the umask says";

    ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
    ASSERT_TRUE(write_file_atomically(path, "second", error)) << error;
    EXPECT_EQ(slurp(path), "second");
    ASSERT_EQ(::stat(path.c_str(), &made), 0);
    EXPECT_EQ(made.st_mode & 0777, 0600u) << "a replaced file keeps its permissions";
    EXPECT_EQ(files_in(dir.path()), std::set<std::string>{"picture.png"});
}

TEST(AtomicWrite, RefusesWhatIsNotARegularFileAndNamesTheReason) {
    TempDir dir;
    const std::string fifo = dir.path() + "/pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    struct Case {
        std::string path;
        const char* reason;
    } cases[] = {
        {dir.path(), "not a regular file"},
        {fifo, "not a regular file"},
        {"/dev/null", "not a regular file"},
        {dir.path() + "/no/such/folder/x.png", "No such file or directory"},
        {"", "no file name"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(write_file_atomically(c.path, "bytes", error)) << c.path;
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.path << ": " << error;
    }
    struct stat device {};
    ASSERT_EQ(::stat("/dev/null", &device), 0);
    EXPECT_TRUE(S_ISCHR(device.st_mode)) << "the device was replaced";
    EXPECT_EQ(files_in(dir.path()), std::set<std::string>{"pipe"});
}

// A file-size limit stops the write half-way: the old file must survive
// whole and the partial one go. Run in a child, so that the limit stays there.
TEST(AtomicWrite, AFailedWriteLeavesTheOldFileAndNoPartialOne) {
    TempDir dir;
    const std::string path = dir.path() + "/kept.txt";
    dir.write("kept.txt", "the good old contents");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::string error;
        const bool ok = write_file_atomically(path, std::string(100000, 'x'), error);
        ::_exit(ok ? 2 : error.find("too large") != std::string::npos ? 0 : 3);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "2: reported success; 3: another reason";
    EXPECT_EQ(slurp(path), "the good old contents");
    EXPECT_EQ(files_in(dir.path()), std::set<std::string>{"kept.txt"});
}
