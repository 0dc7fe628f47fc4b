// The element file in the toolkit's terms, for the single-object page:
// names as wxString, paths in the encoding of file names, and a file that
// cannot be read reported through the toolkit's error log.
#pragma once

#include <memory>
#include <string>

#include <wx/string.h>

#include "readers/element_file.h"

wxString TrimBlanks(const wxString& text);
wxString CleanName(const wxString& text);
wxString ElementsFileName(const nbOrbitalElements& set);
// SaveElementsFileAt into a directory named in the toolkit's terms; on
// success path names the file written.
bool SaveElementsFile(const nbOrbitalElements& set, const wxString& directory, wxString& path,
                      std::string& error);
// LoadElementsFileAt; without a reason asked for, a file that cannot be
// read or is no well-formed XML is logged as an error with its name, and a
// document that is not an element file gives null without a message.
std::unique_ptr<nbOrbitalElements> LoadElementsFile(const wxString& path,
                                                    std::string* reason = nullptr);
