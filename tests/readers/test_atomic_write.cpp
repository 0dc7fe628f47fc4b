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
#include "readers/atomic_write.h"

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
        {dir.path(), "it is a directory, not a regular file"},
        {fifo, "it is a named pipe, not a regular file"},
        {"/dev/null", "it is a device, not a regular file"},
        {dir.path() + "/no/such/folder/x.png",
         "no new file can be made in its folder (No such file or directory)"},
        // A file that exists, in a folder where nothing new can be made.
        {"/proc/version", "no new file can be made in its folder"},
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

// A link is written through, never replaced by a plain file; where it leads
// nowhere or to a folder the write is refused and nothing changes.
TEST(AtomicWrite, SymbolicLinksAreWrittenThroughOrRefused) {
    TempDir dir;
    const std::filesystem::path root = dir.path();
    std::filesystem::create_directories(root / "real");
    dir.write("real/list.txt", "old");
    std::filesystem::create_symlink("real/list.txt", root / "link.txt");
    std::filesystem::create_symlink(root / "link.txt", root / "chain.txt");
    std::filesystem::create_symlink("real/missing.txt", root / "dangling.txt");
    std::filesystem::create_symlink("real", root / "to-folder.txt");

    std::string error;
    ASSERT_TRUE(write_file_atomically((root / "link.txt").string(), "new", error)) << error;
    EXPECT_TRUE(std::filesystem::is_symlink(root / "link.txt"));
    EXPECT_EQ(slurp((root / "real/list.txt").string()), "new");
    ASSERT_TRUE(write_file_atomically((root / "chain.txt").string(), "newer", error)) << error;
    EXPECT_TRUE(std::filesystem::is_symlink(root / "chain.txt"));
    EXPECT_TRUE(std::filesystem::is_symlink(root / "link.txt"));
    EXPECT_EQ(slurp((root / "real/list.txt").string()), "newer");

    struct Case {
        const char* link;
        const char* reason;
    } refused[] = {
        {"dangling.txt", "it is a symbolic link to nothing"},
        {"to-folder.txt", "it is a directory, not a regular file"},
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(c.link);
        EXPECT_FALSE(write_file_atomically((root / c.link).string(), "bytes", error));
        EXPECT_EQ(error, c.reason);
        EXPECT_TRUE(std::filesystem::is_symlink(root / c.link));
    }
    EXPECT_EQ(files_in(dir.path()), (std::set<std::string>{"real", "link.txt", "chain.txt",
                                                           "dangling.txt", "to-folder.txt"}));
    EXPECT_EQ(files_in((root / "real").string()), std::set<std::string>{"list.txt"});
}

// What a killed write leaves is cleared once it is surely nobody's; nothing
// else in the folder is touched.
TEST(AtomicWrite, StaleTemporariesOfTheOwnPatternAloneAreRemoved) {
    TempDir dir;
    const std::filesystem::path root = dir.path();
    const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::hours(2);
    struct Entry {
        const char* name;
        bool aged;
        bool removed;
    } entries[] = {
        {"zenorb_comets.txt.tmp-123-4", true, true},
        {"Asteroid_Vesta.xml.tmp-99999-12", true, true},
        {"zenorb_comets.txt.tmp-124-1", false, false}, // perhaps a write in progress
        {"zenorb_comets.txt", true, false},
        {"notes.tmp-1-2.txt", true, false},
        {"list.tmp-12", true, false},
        {"list.tmp-a-1", true, false},
        {"list.tmp--1", true, false},
        {".tmp-1-2", true, false},
        {"backup.tmp", true, false},
    };
    for (const Entry& e : entries) {
        dir.write(e.name, "x");
        if (e.aged)
            std::filesystem::last_write_time(root / e.name, old);
    }
    // Of the pattern, but no regular files.
    std::filesystem::create_directory(root / "folder.tmp-1-1");
    std::filesystem::create_symlink("zenorb_comets.txt", root / "link.tmp-1-1");

    EXPECT_EQ(remove_stale_temporaries(dir.path()), 2);
    std::set<std::string> left = {"folder.tmp-1-1", "link.tmp-1-1"};
    for (const Entry& e : entries)
        if (!e.removed)
            left.insert(e.name);
    EXPECT_EQ(files_in(dir.path()), left);
    EXPECT_EQ(remove_stale_temporaries(dir.path() + "/no-such-folder"), 0);
}
