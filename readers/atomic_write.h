// Replacing a user's file in one piece, so that a full disk, a file-size
// limit, a broken download or a crash never leaves half a file where a good
// one was.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>

// A new version of the file at path, written to a temporary file beside it
// (so that the final rename stays on one file system) and put in its place
// only by commit. Until then, and whenever a step fails, the old file stays
// as it was; the temporary file is removed unless committed. Only regular
// files are replaced: a path naming a directory, a device or a pipe is
// refused. A symbolic link is written through: the file it leads to is
// replaced and the link stays (a link that leads nowhere is refused). A
// replaced file keeps its permissions.
class AtomicFile {
public:
    explicit AtomicFile(const std::string& path);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // False once anything has failed; reason() says why in plain words
    // ("No space left on device"), for the caller to name the file.
    bool ok() const { return reason_.empty(); }
    const std::string& reason() const { return reason_; }

    bool write(const char* data, std::size_t size);
    // The new version's file before commit: what was written so far can be
    // read there (writes are not buffered), to check it before it replaces
    // the old one.
    const std::string& pending_path() const { return temp_; }
    // Flushes the new version to the disk, renames it over the old one and
    // flushes the directory, so that a reader sees one version or the other.
    bool commit();

private:
    bool fail(int err);

    std::string path_; // the file replaced, a link's target for a link
    std::string temp_;
    int fd_ = -1;
    bool committed_ = false;
    std::string reason_;
};

// The whole of bytes through an AtomicFile; false with its reason.
bool write_file_atomically(const std::string& path, const std::string& bytes, std::string& error);

// Removes the temporary files an AtomicFile left in directory when its
// process was killed: only names of its pattern ("<file>.tmp-<pid>-<n>"),
// only regular files, only those last changed more than `age` ago (a younger
// one may be another process's write in progress). Returns how many went.
int remove_stale_temporaries(const std::string& directory,
                             std::chrono::seconds age = std::chrono::hours(1));
