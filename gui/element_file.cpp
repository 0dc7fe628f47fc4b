#include "gui/element_file.h"

#include <cstring>
#include <filesystem>
#include <system_error>

#include <expat.h>

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

struct Loaded {
    std::unique_ptr<nbOrbitalElements> set;
    std::string reason;
    bool unreadable = false; // the file or its XML, not its contents
};

bool is_blank_byte(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

std::string trim_blanks(const std::string& text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && is_blank_byte(text[begin]))
        ++begin;
    while (end > begin && is_blank_byte(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

double number_of(const char* text) {
    return leading_number(trim_blanks(text));
}

// An attribute of expat's name-value list, or null.
const char* attribute(const char** attributes, const char* key) {
    for (const char** a = attributes; a[0]; a += 2)
        if (std::strcmp(a[0], key) == 0)
            return a[1];
    return nullptr;
}

std::unique_ptr<nbOrbitalElements> parse_orbit(const char** attributes, const std::string& name,
                                               const std::string& type_name) {
    // Dates left out are DEFAULT_ELEMENT_JD as "%f" writes it.
    const std::string default_jd = format_fixed(DEFAULT_ELEMENT_JD, 6);
    auto value = [attributes](const char* key, const std::string& fallback) {
        const char* given = attribute(attributes, key);
        return number_of(given ? given : fallback.c_str());
    };
    const double a = value("a", "0.0"), e = value("e", "0.0"), i = value("i", "0.0"),
                 w = value("w", "0.0"), omega = value("omega", "0.0"), tp = value("Tp", default_jd),
                 epoch = value("epoch", default_jd), m = value("M", "0.0");
    if (type_name == "Asteroid")
        return std::make_unique<nbOrbitalElementsAsteroid>(name, a, e, i, w, omega, tp, epoch, m);
    if (type_name == "Comet")
        return std::make_unique<nbOrbitalElementsComet>(name, a, e, i, w, omega, tp, epoch);
    if (type_name == "Planetary")
        return std::make_unique<nbOrbitalElementsPlanetary>(name, a, e, i, w, omega, tp, epoch, m);
    return nullptr;
}

// One pass of expat over the document, keeping only what an element file
// uses: the root, its first child, and that child's Orbit and Physical
// elements in their order. Nothing is concatenated or kept per node, so the
// time is linear in the bytes whatever the document holds. The verdict
// waits for the end: a document that is not well-formed anywhere gives no
// set.
class ElementFileReader {
public:
    void start(const char* element, const char** attributes) {
        ++depth_;
        if (depth_ == 1) {
            root_is_ours_ = std::strcmp(element, ROOT) == 0;
            return;
        }
        if (depth_ == 2) {
            if (!first_child_seen_) {
                first_child_seen_ = true;
                type_name_ = element;
                in_type_ =
                    type_name_ == "Asteroid" || type_name_ == "Comet" || type_name_ == "Planetary";
                if (in_type_) {
                    const char* given = attribute(attributes, "name");
                    name_ = clean(trim_blanks(given ? given : "Unnamed_" + type_name_));
                }
                type_is_first_ = in_type_;
            } else {
                in_type_ = false;
            }
            return;
        }
        if (depth_ != 3 || !in_type_)
            return;
        // "Physical" before "Orbit" gives the mass the set is built with,
        // after it changes the mass of the set built; a further "Orbit"
        // starts afresh.
        if (std::strcmp(element, ORBIT) == 0) {
            set_ = parse_orbit(attributes, name_, type_name_);
            if (set_)
                set_->set_mass(mass_);
        } else if (std::strcmp(element, PHYSICAL) == 0) {
            const char* given = attribute(attributes, "mass");
            if (given)
                mass_ = number_of(given);
            if (set_)
                set_->set_mass(mass_);
        }
    }

    void end() {
        if (depth_ == 2)
            in_type_ = false;
        --depth_;
    }

    // Blanks between elements are no node; anything else first in the root
    // (text, a comment, a CDATA section, a processing instruction) hides the
    // type element.
    void text(const char* data, int length) {
        if (depth_ == 1 && !first_child_seen_)
            for (int k = 0; k < length; ++k)
                if (!is_blank_byte(data[k])) {
                    first_child_seen_ = true;
                    break;
                }
    }
    void other_node() {
        if (depth_ == 1)
            first_child_seen_ = true;
    }

    // After a well-formed document: the set, or why there is none.
    Loaded verdict() {
        Loaded result;
        if (!root_is_ours_)
            result.reason = "its root element is not OrbitalElements";
        else if (!first_child_seen_)
            result.reason = "OrbitalElements holds nothing";
        else if (!type_is_first_)
            result.reason = "the first thing in OrbitalElements is no Asteroid, Comet or "
                            "Planetary element";
        else if (!set_)
            result.reason = "the " + type_name_ + " element holds no Orbit element";
        else
            result.set = std::move(set_);
        return result;
    }

private:
    static std::string clean(std::string name) {
        for (char& c : name)
            if (c == ' ' || c == '/')
                c = '_';
        return name;
    }

    int depth_ = 0;
    bool root_is_ours_ = false;
    bool first_child_seen_ = false;
    bool type_is_first_ = false;
    bool in_type_ = false; // inside the root's first child, a type element
    std::string type_name_;
    std::string name_;
    double mass_ = nbOrbitalElements::DEFAULT_MASS;
    std::unique_ptr<nbOrbitalElements> set_;
};

Loaded load(const std::string& path) {
    auto refuse = [](const std::string& reason) {
        Loaded result;
        result.reason = reason;
        result.unreadable = true;
        return result;
    };

    std::string bytes, error;
    if (!read_small_file(path, MAX_ELEMENT_FILE_BYTES, bytes, error))
        return refuse(error);

    struct FreeParser {
        void operator()(XML_Parser parser) const { XML_ParserFree(parser); }
    };
    std::unique_ptr<XML_ParserStruct, FreeParser> parser(XML_ParserCreate(nullptr));
    if (!parser)
        return refuse("out of memory");
    XML_Parser p = parser.get();
    // Entities that expand without end are stopped by expat's own guard
    // against amplification, on by default.
    ElementFileReader reader;
    XML_SetUserData(p, &reader);
    XML_SetElementHandler(
        p,
        [](void* self, const XML_Char* element, const XML_Char** attributes) {
            static_cast<ElementFileReader*>(self)->start(element, attributes);
        },
        [](void* self, const XML_Char*) { static_cast<ElementFileReader*>(self)->end(); });
    XML_SetCharacterDataHandler(p, [](void* self, const XML_Char* data, int length) {
        static_cast<ElementFileReader*>(self)->text(data, length);
    });
    XML_SetCommentHandler(p, [](void* self, const XML_Char*) {
        static_cast<ElementFileReader*>(self)->other_node();
    });
    XML_SetStartCdataSectionHandler(
        p, [](void* self) { static_cast<ElementFileReader*>(self)->other_node(); });
    XML_SetProcessingInstructionHandler(p, [](void* self, const XML_Char*, const XML_Char*) {
        static_cast<ElementFileReader*>(self)->other_node();
    });
    if (XML_Parse(p, bytes.data(), static_cast<int>(bytes.size()), XML_TRUE) != XML_STATUS_OK)
        return refuse("XML parsing error: '" + std::string(XML_ErrorString(XML_GetErrorCode(p))) +
                      "' at line " + std::to_string(XML_GetCurrentLineNumber(p)));
    return reader.verdict();
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

std::unique_ptr<nbOrbitalElements> LoadElementsFileAt(const std::string& path,
                                                      std::string& reason) {
    Loaded loaded = load(path);
    reason = loaded.reason;
    return std::move(loaded.set);
}

std::unique_ptr<nbOrbitalElements> LoadElementsFile(const wxString& path, std::string* reason) {
    Loaded loaded = load(file_system_path(path));
    if (reason)
        *reason = loaded.reason;
    else if (loaded.unreadable)
        wxLogError(_("Cannot read the element file %s: %s"), path,
                   wxString::FromUTF8(loaded.reason));
    return std::move(loaded.set);
}
