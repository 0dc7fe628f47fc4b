// What must hold for any element file: reading it gives a set or a reason,
// never a crash; a set has one of the three kinds, a clean name and finite
// values; written out and read again it comes back the same (to the digits
// the file keeps); and a set that validates gives a finite body at its
// epoch. Shared by the fuzz target and the regression test of the inputs it
// found; returns the first fault, or "".
#pragma once

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include "fuzz/finite_body.h"
#include "readers/element_file.h"

inline bool write_bytes(const std::string& path, const std::string& bytes) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    return std::fclose(out) == 0 && written;
}

// Whether a value came back as the file keeps it: 16 decimals, which hold
// every double of magnitude 1 or more exactly (17 significant digits).
inline bool same_to_16_decimals(double before, double after) {
    return std::fabs(before) >= 1 ? before == after : std::fabs(before - after) <= 1.2e-16;
}

inline std::string check_elements_set(const nbOrbitalElements& set) {
    const std::string type = set.type_name();
    if (type != "Asteroid" && type != "Comet" && type != "Planetary")
        return "a set of no known kind";
    const std::string& name = set.name();
    if (name.find(' ') != std::string::npos || name.find('/') != std::string::npos)
        return "a name with a space or a slash";
    auto blank = [](char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
    };
    if (!name.empty() && (blank(name.front()) || blank(name.back())))
        return "a name with blanks at an end";
    for (double v : {set.a(), set.e(), set.i(), set.w(), set.omega(), set.Tp(), set.epoch(),
                     set.mean_anomaly(), set.mass()})
        if (!std::isfinite(v))
            return "a value that is not finite";
    if (type == "Comet" && set.mean_anomaly() != 0)
        return "a comet with a mean anomaly";
    return "";
}

inline std::string check_element_file(const std::string& directory, const std::string& bytes) {
    const std::string path = directory + "/input.xml";
    if (!write_bytes(path, bytes))
        return "cannot write " + path;
    std::string reason;
    std::unique_ptr<nbOrbitalElements> set = LoadElementsFileAt(path, reason);
    if (!set)
        return reason.empty() ? "no set and no reason" : "";
    std::string fault = check_elements_set(*set);
    if (!fault.empty())
        return fault;

    // The set as the page would save it, read back.
    const std::string text = ElementsFileText(*set);
    if (text.rfind("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<OrbitalElements>\n", 0) != 0 ||
        text.size() < 20 || text.compare(text.size() - 19, 19, "</OrbitalElements>\n") != 0)
        return "a written file without the declaration, the root or the final line break";
    if (!write_bytes(path, text))
        return "cannot write " + path;
    std::unique_ptr<nbOrbitalElements> back = LoadElementsFileAt(path, reason);
    if (!back)
        return "a written file cannot be read back: " + reason;
    if (back->type_name() != set->type_name() || back->name() != set->name())
        return "the kind or the name changed in a written file";
    const double before[] = {set->a(),     set->e(),  set->i(),     set->w(),
                             set->omega(), set->Tp(), set->epoch(), set->mean_anomaly()};
    const double after[] = {back->a(),     back->e(),  back->i(),     back->w(),
                            back->omega(), back->Tp(), back->epoch(), back->mean_anomaly()};
    for (int k = 0; k < 8; ++k)
        if (!same_to_16_decimals(before[k], after[k]))
            return "a value changed in a written file";
    if (std::fabs(back->mass() - set->mass()) > 1e-15 * std::fabs(set->mass()))
        return "the mass changed in a written file";

    if (set->validate()) {
        std::unique_ptr<nbBody> body = set->create_body(set->epoch());
        if (!body || !finite_body(*body))
            return "a valid set gives no finite body at its epoch";
    }
    return "";
}
