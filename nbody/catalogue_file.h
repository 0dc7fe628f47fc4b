// Reading a local catalogue file: one element set per line, comets or
// asteroids, read whole or not at all.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "nbody/elements.h"

// The largest catalogue file read, bytes: real lists are a few MB, and a
// file that keeps growing or never ends must not cost without end.
constexpr long MAX_CATALOGUE_FILE_BYTES = 16L << 20;

// What reading one catalogue file came to.
struct CatalogueFileRead {
    enum class Status {
        Read,      // read to its end; `added` sets joined the catalogue
        Missing,   // no such file: nothing added, nothing to report
        Unreadable // there but not a regular file, too large, or failed while
                   // being read: nothing of it joined the catalogue
    };
    std::string file;
    Status status = Status::Missing;
    long added = 0;
    std::string reason; // why an unreadable file could not be read
    // Element lines of a file read that were left out for a physical bound
    // (a perihelion inside the Sun), and the first of them with its reason.
    long refused = 0;
    std::string first_refused;
};

// Reads the element lines of the file at path, comets or asteroids; a line
// ends at a line feed or a carriage return, and a line that gives no set is
// skipped. Only a regular file is read, and the sets are appended to `sets`
// only when the result says Read: the catalogue never holds part of a file.
// `added` counts them; `file` is left for the caller to name.
CatalogueFileRead read_catalogue_sets(const std::string& path, bool comets,
                                      std::vector<std::unique_ptr<nbOrbitalElements>>& sets);

// What read_catalogue_sets would make of the file at path, without keeping
// a set: Read with the number of element lines of the kind in `added`, or
// Missing, or Unreadable with the reason. A download checks with it that what
// arrived is a list the catalogue can read before it replaces the old one.
CatalogueFileRead inspect_catalogue_file(const std::string& path, bool comets);
