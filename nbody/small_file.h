// Reading a whole file that is small by nature (a settings-sized document)
// without being led astray by what stands at its path.
#pragma once

#include <string>

// Reads all of path into bytes. Only a regular file of at most max_bytes is
// read: a FIFO or a device could block or never end, and a file far larger
// than its kind ever is cannot be one. On failure returns false with the
// reason in plain words ("No such file or directory", "it is a directory"),
// for the caller to name the file; bytes is then empty.
bool read_small_file(const std::string& path, long max_bytes, std::string& bytes,
                     std::string& error);
