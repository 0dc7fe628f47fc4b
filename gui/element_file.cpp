#include "gui/element_file.h"

#include <filesystem>
#include <system_error>

#include <wx/datetime.h>
#include <wx/filefn.h>
#include <wx/intl.h>
#include <wx/log.h>
#include <wx/mstream.h>
#include <wx/xml/xml.h>

#include "nbody/atomic_write.h"
#include "nbody/format_number.h"
#include "nbody/parse_number.h"
#include "nbody/small_file.h"

const double DEFAULT_ELEMENT_JD = wxDateTime(2, wxDateTime::Jan, 2000).GetJulianDayNumber();

namespace {

const char* const ROOT = "OrbitalElements";
const char* const PHYSICAL = "Physical";
const char* const ORBIT = "Orbit";

bool is_blank(wxUniChar c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

std::string utf8(const wxString& text) {
    return text.utf8_string();
}

// A path as the file system takes it: in the encoding of file names, or as
// UTF-8 where that encoding cannot hold it (a non-ASCII name under "C").
std::string file_system_path(const wxString& path) {
    const wxCharBuffer name = path.fn_str();
    if (name.data() && *name.data())
        return name.data();
    return utf8(path);
}

double number_of(const wxString& text) {
    return leading_number(utf8(TrimBlanks(text)));
}

// A name XML 1.0 can hold: no control characters but tab and line ends, no
// surrogate halves and no U+FFFE or U+FFFF. Anything else makes a file that
// no XML reader (ours included) accepts.
bool fits_xml(const wxString& text) {
    for (wxUniChar c : text) {
        const wxUint32 code = c.GetValue();
        if ((code < 0x20 && code != '\t' && code != '\n' && code != '\r') ||
            (code >= 0xD800 && code <= 0xDFFF) || code == 0xFFFE || code == 0xFFFF)
            return false;
    }
    return true;
}

// What the toolkit logs while this lives (the XML loader's parse error),
// kept instead of shown, so that the caller says it with the file's name.
class LogCapture : public wxLog {
public:
    LogCapture() : previous_(wxLog::SetActiveTarget(this)) {}
    ~LogCapture() override { wxLog::SetActiveTarget(previous_); }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;
    const wxString& first_error() const { return first_error_; }

protected:
    void DoLogRecord(wxLogLevel level, const wxString& message, const wxLogRecordInfo&) override {
        if (level <= wxLOG_Warning && first_error_.empty())
            first_error_ = message;
    }

private:
    wxLog* previous_;
    wxString first_error_;
};

struct Loaded {
    std::unique_ptr<nbOrbitalElements> set;
    std::string reason;
    bool unreadable = false; // the file or its XML, not its contents
};

Loaded load(const wxString& path) {
    Loaded result;
    auto refuse = [&result](const std::string& reason, bool unreadable) {
        result.reason = reason;
        result.unreadable = unreadable;
        return std::move(result);
    };

    std::string bytes, error;
    if (!read_small_file(file_system_path(path), MAX_ELEMENT_FILE_BYTES, bytes, error))
        return refuse(error, true);

    wxMemoryInputStream in(bytes.data(), bytes.size());
    wxXmlDocument document;
    bool parsed = false;
    wxString parse_error;
    {
        LogCapture capture;
        parsed = document.Load(in, "UTF-8");
        parse_error = capture.first_error();
    }
    if (!parsed)
        return refuse(parse_error.empty() ? std::string("it is not well-formed XML")
                                          : utf8(parse_error),
                      true);

    const wxXmlNode* root = document.GetRoot();
    if (!root || root->GetName() != ROOT)
        return refuse("its root element is not OrbitalElements", false);
    // Only the first child counts: a comment before the type element hides it.
    const wxXmlNode* type = root->GetChildren();
    if (!type)
        return refuse("OrbitalElements holds nothing", false);
    const wxString type_name = type->GetName();
    if (type->GetType() != wxXML_ELEMENT_NODE ||
        (type_name != "Asteroid" && type_name != "Comet" && type_name != "Planetary"))
        return refuse("the first thing in OrbitalElements is no Asteroid, Comet or Planetary "
                      "element",
                      false);

    const wxString name = CleanName(TrimBlanks(type->GetAttribute("name", "Unnamed_" + type_name)));
    double mass = nbOrbitalElements::DEFAULT_MASS;
    std::unique_ptr<nbOrbitalElements> set;
    // "Physical" before "Orbit" gives the mass the set is built with, after
    // it changes the mass of the set built; a further "Orbit" starts afresh.
    for (const wxXmlNode* child = type->GetChildren(); child; child = child->GetNext()) {
        if (child->GetType() != wxXML_ELEMENT_NODE)
            continue;
        if (child->GetName() == ORBIT) {
            set = ParseOrbitNode(*child, name, type_name);
            if (set)
                set->set_mass(mass);
        } else if (child->GetName() == PHYSICAL) {
            mass = number_of(child->GetAttribute("mass", format_general(mass, 16)));
            if (set)
                set->set_mass(mass);
        }
    }
    if (!set)
        return refuse("the " + utf8(type_name) + " element holds no Orbit element", false);
    result.set = std::move(set);
    return result;
}

} // namespace

wxString TrimBlanks(const wxString& text) {
    wxString::const_iterator begin = text.begin(), end = text.end();
    while (begin != end && is_blank(*begin))
        ++begin;
    while (end != begin && is_blank(*(end - 1)))
        --end;
    return wxString(begin, end);
}

wxString CleanName(const wxString& text) {
    wxString name(text);
    name.Replace(" ", "_");
    name.Replace("/", "_");
    return name;
}

wxString ElementsFileName(const nbOrbitalElements& set) {
    return wxString::FromUTF8(set.type_name()) + "_" + wxString::FromUTF8(set.name()) + ".xml";
}

std::string ElementsFileText(const nbOrbitalElements& set) {
    wxXmlDocument document;
    document.SetVersion("1.0");
    document.SetFileEncoding("utf-8");
    auto* root = new wxXmlNode(wxXML_ELEMENT_NODE, ROOT);
    document.SetRoot(root);
    // AddChild appends; the constructor taking a parent would prepend.
    auto* type = new wxXmlNode(wxXML_ELEMENT_NODE, wxString::FromUTF8(set.type_name()));
    type->AddAttribute("name", wxString::FromUTF8(set.name()));
    root->AddChild(type);
    auto* physical = new wxXmlNode(wxXML_ELEMENT_NODE, PHYSICAL);
    physical->AddAttribute("mass", format_general(set.mass(), 16));
    type->AddChild(physical);
    auto* orbit = new wxXmlNode(wxXML_ELEMENT_NODE, ORBIT);
    const struct {
        const char* key;
        double value;
    } values[] = {{"a", set.a()},         {"e", set.e()},           {"i", set.i()},
                  {"w", set.w()},         {"omega", set.omega()},   {"Tp", set.Tp()},
                  {"epoch", set.epoch()}, {"M", set.mean_anomaly()}};
    for (const auto& v : values)
        orbit->AddAttribute(v.key, format_fixed(v.value, 16));
    type->AddChild(orbit);

    // An indentation step of 2 gives two spaces per level.
    wxMemoryOutputStream out;
    if (!document.Save(out, 2))
        return std::string();
    std::string bytes(out.GetLength(), '\0');
    out.CopyTo(bytes.data(), bytes.size());
    return bytes;
}

bool SaveElementsFile(const nbOrbitalElements& set, const wxString& directory, wxString& path,
                      std::string& error) {
    const wxString name = wxString::FromUTF8(set.name());
    if (name.empty() != set.name().empty() || !fits_xml(name)) {
        error = "the object name holds characters an XML file cannot hold";
        return false;
    }
    // The page cleans its names; a "/" left in one would lead the file into
    // another folder.
    if (name.Contains("/")) {
        error = "an object name with a \"/\" cannot name a file";
        return false;
    }
    // Made here rather than by the toolkit, which would log its failure.
    std::error_code made;
    std::filesystem::create_directories(file_system_path(directory), made);
    if (made) {
        error = "its folder cannot be made (" + made.message() + ")";
        return false;
    }
    const std::string text = ElementsFileText(set);
    if (text.empty()) {
        error = "the document could not be put together";
        return false;
    }
    const wxString target = directory + wxFILE_SEP_PATH + ElementsFileName(set);
    if (!write_file_atomically(file_system_path(target), text, error))
        return false;
    path = target;
    return true;
}

std::unique_ptr<nbOrbitalElements> LoadElementsFile(const wxString& path, std::string* reason) {
    Loaded loaded = load(path);
    if (reason)
        *reason = loaded.reason;
    else if (loaded.unreadable)
        wxLogError(_("Cannot read the element file %s: %s"), path,
                   wxString::FromUTF8(loaded.reason));
    return std::move(loaded.set);
}

std::unique_ptr<nbOrbitalElements> ParseOrbitNode(const wxXmlNode& node, const wxString& name,
                                                  const wxString& type_name) {
    // Dates left out are DEFAULT_ELEMENT_JD as "%f" writes it.
    const wxString default_jd = format_fixed(DEFAULT_ELEMENT_JD, 6);
    auto value = [&node](const char* key, const wxString& fallback) {
        return number_of(node.GetAttribute(key, fallback));
    };
    const double a = value("a", "0.0"), e = value("e", "0.0"), i = value("i", "0.0"),
                 w = value("w", "0.0"), omega = value("omega", "0.0"), tp = value("Tp", default_jd),
                 epoch = value("epoch", default_jd), m = value("M", "0.0");
    const std::string object = utf8(name);
    if (type_name == "Asteroid")
        return std::make_unique<nbOrbitalElementsAsteroid>(object, a, e, i, w, omega, tp, epoch, m);
    if (type_name == "Comet")
        return std::make_unique<nbOrbitalElementsComet>(object, a, e, i, w, omega, tp, epoch);
    if (type_name == "Planetary")
        return std::make_unique<nbOrbitalElementsPlanetary>(object, a, e, i, w, omega, tp, epoch,
                                                            m);
    return nullptr;
}
