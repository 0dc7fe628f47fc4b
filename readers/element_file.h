// The single-object element file: one set of orbital elements with the
// object's kind, name and mass as a small XML document, named after the
// object in the data directory. No toolkit is involved, so the simulator,
// the fuzzers and the tests read and write it with the very code the
// single-object page uses. Names and paths are UTF-8 / the file system's
// bytes.
#pragma once

#include <memory>
#include <string>

#include "nbody/elements.h"

// The Julian date of 2000 January 2, 00:00 local time as a local date is
// counted (seconds since 1970 UTC / 86400 + 2440587.5): the perihelion and
// epoch dates of a file that gives none. It moves with the local offset
// from UTC.
extern const double DEFAULT_ELEMENT_JD;

// The largest element file read. A written one is well under a kilobyte; a
// bound on the bytes bounds the reading's time and memory, which grow
// linearly with them.
constexpr long MAX_ELEMENT_FILE_BYTES = 64 * 1024;

// The text without blanks (space, tab, line ends) at either end.
std::string trim_blanks(const std::string& text);
// The text with every space and every "/" replaced by "_": an object name
// fit for a file name and for the simulation's lists.
std::string clean_name(const std::string& text);

// "Asteroid_Vesta.xml": type name, "_", object name, ".xml".
std::string element_file_name(const nbOrbitalElements& set);
// The document of set: the XML declaration, two spaces of indentation per
// level, a final line break, numbers as the "C" locale writes them.
std::string ElementsFileText(const nbOrbitalElements& set);
// Writes the file of set into directory (made when missing), replacing a file
// of that name in one piece. The caller has validated the set; a name with a
// "/" (which would lead into another folder) or with characters XML cannot
// hold is refused. On success path names the file written; on failure
// returns false with the reason in plain words in error, and an old file of
// that name is left as it was.
bool SaveElementsFileAt(const nbOrbitalElements& set, const std::string& directory,
                        std::string& path, std::string& error);

// Reads an element file into a new set, the caller's; null when the file
// yields none, with why not in reason. `unreadable`, if given, tells a file
// that cannot be read or is no well-formed XML from a document that is not
// an element file (another root, no type element first, no "Orbit"). Only
// the type element's own Orbit and Physical children count, in their
// order; missing values read as 0, the dates as DEFAULT_ELEMENT_JD, a
// comet's "M" is ignored, and without a Physical mass the class default
// stands. The set is not validated: a file may hold values the page shows
// but the simulation refuses.
std::unique_ptr<nbOrbitalElements> LoadElementsFileAt(const std::string& path, std::string& reason,
                                                      bool* unreadable = nullptr);
