#include "readers/element_file.h"

#include <cstring>
#include <ctime>
#include <filesystem>
#include <system_error>

#include <expat.h>

#include "nbody/format_number.h"
#include "nbody/parse_number.h"
#include "nbody/small_file.h"
#include "readers/atomic_write.h"
#include "readers/utf8_text.h"

namespace {

double local_midnight_jd(int year, int month, int day) {
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_isdst = -1; // whatever the zone's rule says for that day
    return static_cast<double>(std::mktime(&local)) / 86400.0 + 2440587.5;
}

} // namespace

const double DEFAULT_ELEMENT_JD = local_midnight_jd(2000, 1, 2);

namespace {

const char* const ROOT = "OrbitalElements";
const char* const PHYSICAL = "Physical";
const char* const ORBIT = "Orbit";

// A name XML 1.0 can hold, as UTF-8: no control characters but tab and line
// ends, no U+FFFE or U+FFFF, and no malformed bytes (surrogate halves among
// them). Anything else makes a file that no XML reader (ours included)
// accepts.
bool fits_xml(const std::string& text) {
    bool fits = true;
    each_character(
        text,
        [&fits](char32_t code, const std::string&) {
            if ((code < 0x20 && code != '\t' && code != '\n' && code != '\r') || code == 0xFFFE ||
                code == 0xFFFF)
                fits = false;
        },
        [&fits] { fits = false; });
    return fits;
}

// An attribute value between double quotes: the markup characters and the
// blanks an attribute would otherwise lose to normalisation, as references.
std::string attribute_text(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '\t':
            out += "&#x9;";
            break;
        case '\n':
            out += "&#xA;";
            break;
        case '\r':
            out += "&#xD;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

struct Loaded {
    std::unique_ptr<nbOrbitalElements> set;
    std::string reason;
    bool unreadable = false; // the file or its XML, not its contents
};

bool is_blank_byte(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
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
                    name_ = clean_name(trim_blanks(given ? given : "Unnamed_" + type_name_));
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

std::string trim_blanks(const std::string& text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && is_blank_byte(text[begin]))
        ++begin;
    while (end > begin && is_blank_byte(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

std::string clean_name(const std::string& text) {
    std::string name(text);
    for (char& c : name)
        if (c == ' ' || c == '/')
            c = '_';
    return name;
}

std::string element_file_name(const nbOrbitalElements& set) {
    return set.type_name() + "_" + set.name() + ".xml";
}

std::string ElementsFileText(const nbOrbitalElements& set) {
    std::string text = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<";
    text += ROOT;
    text += ">\n  <" + set.type_name() + " name=\"" + attribute_text(set.name()) + "\">\n    <";
    text += PHYSICAL;
    text += " mass=\"" + format_general(set.mass(), 16) + "\"/>\n    <";
    text += ORBIT;
    const struct {
        const char* key;
        double value;
    } values[] = {{"a", set.a()},         {"e", set.e()},           {"i", set.i()},
                  {"w", set.w()},         {"omega", set.omega()},   {"Tp", set.Tp()},
                  {"epoch", set.epoch()}, {"M", set.mean_anomaly()}};
    for (const auto& v : values)
        text += std::string(" ") + v.key + "=\"" + format_fixed(v.value, 16) + "\"";
    text += "/>\n  </" + set.type_name() + ">\n</";
    text += ROOT;
    text += ">\n";
    return text;
}

bool SaveElementsFileAt(const nbOrbitalElements& set, const std::string& directory,
                        std::string& path, std::string& error) {
    const std::string& name = set.name();
    if (!fits_xml(name)) {
        error = "the object name holds characters an XML file cannot hold";
        return false;
    }
    // The page cleans its names; a "/" left in one would lead the file into
    // another folder.
    if (name.find('/') != std::string::npos) {
        error = "an object name with a \"/\" cannot name a file";
        return false;
    }
    std::error_code made;
    std::filesystem::create_directories(directory, made);
    if (made) {
        error = "its folder cannot be made (" + made.message() + ")";
        return false;
    }
    const std::string target = directory + "/" + element_file_name(set);
    if (!write_file_atomically(target, ElementsFileText(set), error))
        return false;
    path = target;
    return true;
}

std::unique_ptr<nbOrbitalElements> LoadElementsFileAt(const std::string& path, std::string& reason,
                                                      bool* unreadable) {
    Loaded loaded = load(path);
    reason = loaded.reason;
    if (unreadable)
        *unreadable = loaded.unreadable;
    return std::move(loaded.set);
}
