#include "gui/element_file_wx.h"

#include <wx/filefn.h>
#include <wx/intl.h>
#include <wx/log.h>

namespace {

// A path as the file system takes it: in the encoding of file names, or as
// UTF-8 where that encoding cannot hold it (a non-ASCII name under "C").
std::string file_system_path(const wxString& path) {
    const wxCharBuffer name = path.fn_str();
    if (name.data() && *name.data())
        return name.data();
    return path.utf8_string();
}

} // namespace

wxString TrimBlanks(const wxString& text) {
    return wxString::FromUTF8(trim_blanks(text.utf8_string()));
}

wxString CleanName(const wxString& text) {
    return wxString::FromUTF8(clean_name(text.utf8_string()));
}

wxString ElementsFileName(const nbOrbitalElements& set) {
    return wxString::FromUTF8(element_file_name(set));
}

bool SaveElementsFile(const nbOrbitalElements& set, const wxString& directory, wxString& path,
                      std::string& error) {
    std::string written;
    if (!SaveElementsFileAt(set, file_system_path(directory), written, error))
        return false;
    path = directory + wxFILE_SEP_PATH + ElementsFileName(set);
    return true;
}

std::unique_ptr<nbOrbitalElements> LoadElementsFile(const wxString& path, std::string* reason) {
    std::string why;
    bool unreadable = false;
    std::unique_ptr<nbOrbitalElements> set =
        LoadElementsFileAt(file_system_path(path), why, &unreadable);
    if (reason)
        *reason = why;
    else if (unreadable)
        wxLogError(_("Cannot read the element file %s: %s"), path, wxString::FromUTF8(why));
    return set;
}
