// The single-object element file: one set of orbital elements with the
// object's kind, name and mass as a small XML document, named after the
// object in the data directory. No window is involved, so the simulator and
// the tests read and write it with the very code the single-object page uses.
#pragma once

#include <memory>
#include <string>

#include <wx/string.h>

#include "nbody/elements.h"

// The Julian date of 2000 January 2, 00:00 local time as the toolkit counts
// a local date (milliseconds since 1970 UTC / 86400000 + 2440587.5): the
// perihelion and epoch dates of a file that gives none. It moves with the
// local offset from UTC.
extern const double DEFAULT_ELEMENT_JD;

// The largest element file read. A written one is well under a kilobyte; a
// bound on the bytes bounds the reading's time and memory, which grow
// linearly with them.
constexpr long MAX_ELEMENT_FILE_BYTES = 64 * 1024;

// The text without blanks (space, tab, line ends) at either end.
wxString TrimBlanks(const wxString& text);
// The text with every space and every "/" replaced by "_": an object name
// fit for a file name and for the simulation's lists.
wxString CleanName(const wxString& text);

// "Asteroid_Vesta.xml": type name, "_", object name, ".xml".
wxString ElementsFileName(const nbOrbitalElements& set);
// The document of set: the XML declaration, two spaces of indentation per
// level, a final line break, numbers as the "C" locale writes them.
std::string ElementsFileText(const nbOrbitalElements& set);
// Writes the file of set into directory (made when missing), replacing a file
// of that name in one piece. The caller has validated the set; a name with a
// "/" (which would lead into another folder) or with characters XML cannot
// hold is refused. On success path names the file written; on failure
// returns false with the reason in plain words in error, and an old file of
// that name is left as it was.
bool SaveElementsFile(const nbOrbitalElements& set, const wxString& directory, wxString& path,
                      std::string& error);

// Reads an element file into a new set, the caller's; null when the file
// yields none. Why not goes into reason when one is asked for. Otherwise a
// file that cannot be read or is no well-formed XML is reported through the
// toolkit's error log, and a document that is not an element file (another
// root, no type element first, no "Orbit") gives null without a message.
// Only the type element's own Orbit and Physical children count, in their
// order; missing values read as 0, the dates as DEFAULT_ELEMENT_JD, a
// comet's "M" is ignored, and without a Physical mass the class default
// stands. The set is not validated: a file may hold values the page shows
// but the simulation refuses.
std::unique_ptr<nbOrbitalElements> LoadElementsFile(const wxString& path,
                                                    std::string* reason = nullptr);
// The same for a path given as the file system's bytes (a command-line
// argument), which no conversion of encodings may change: the reason, if
// any, goes into reason and nothing is logged.
std::unique_ptr<nbOrbitalElements> LoadElementsFileAt(const std::string& path, std::string& reason);
