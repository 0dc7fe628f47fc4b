// Reading a whole file that is small by nature (a settings-sized document, a
// catalogue list) without being led astray by what stands at its path.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

enum class SmallFileStatus {
    Read,      // all of it was read
    Missing,   // nothing stands at the path (or a folder on it is missing)
    Unreadable // there, but not a regular file, too large, or failed while read
};

// Hands the bytes of path to `chunk`, piece by piece in file order. Only a
// regular file of at most max_bytes is read: a FIFO or a device could block
// or never end, and a file far larger than its kind ever is cannot be one.
// Unless Read, error holds the reason in plain words ("No such file or
// directory", "it is a directory", "it is larger than 16 MiB"), for the
// caller to name the file; what `chunk` received by then must be dropped.
SmallFileStatus read_small_file_chunks(const std::string& path, long max_bytes,
                                       const std::function<void(const char*, std::size_t)>& chunk,
                                       std::string& error);

// Reads all of path into bytes as above; on failure returns false with the
// reason, and bytes is empty.
bool read_small_file(const std::string& path, long max_bytes, std::string& bytes,
                     std::string& error);
