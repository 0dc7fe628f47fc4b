// Replacing a user's file in one piece, so that a full disk, a file-size
// limit or a crash never leaves half a file where a good one was.
#pragma once

#include <string>

// Writes bytes to a temporary file beside path, flushes it to the disk and
// renames it over path. On failure returns false with the reason in plain
// words ("No space left on device"), for the caller to name the file; the
// old file, if any, stays as it was and no temporary file is
// left. Only regular files are replaced: a path naming a directory, a
// device or a pipe is refused.
bool write_file_atomically(const std::string& path, const std::string& bytes, std::string& error);
