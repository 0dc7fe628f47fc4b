// Looking an object up by name in JPL's Small-Body Database: the query
// through the catalogue download's transfer, the JSON answer read into a set
// of orbital elements. No toolkit, so that the simulator and the page share it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "catalog/http_fetch.h"
#include "nbody/elements.h"

// The database's query address; the environment variable ZENORB_SBDB_URL
// replaces it (the query string is appended to either).
inline constexpr const char* SBDB_API_URL = "https://ssd-api.jpl.nasa.gov/sbdb.api";
// The largest answer taken: one object's answer is a few kilobytes.
constexpr long LOOKUP_MAX_BYTES = 1 << 20;

// SBDB_API_URL, or ZENORB_SBDB_URL where that is set and not empty.
std::string sbdb_base_url();
// base followed by the query for name with the physical parameters (for the
// mass), the name percent-encoded.
std::string sbdb_query_url(const std::string& base, const std::string& name);

// One object of an answer that matched several.
struct LookupMatch {
    std::string designation; // what a second query asks for
    std::string name;        // may be empty
};

struct LookupResult {
    enum class Status {
        Found,    // set holds the object's elements
        Several,  // matches holds the candidates
        NotFound, // the database knows no such object
        Refused,  // found, but its orbit is one the simulation cannot carry
        Failed    // no answer, or one that is not the database's
    };
    Status status = Status::Failed;
    std::unique_ptr<nbOrbitalElements> set;
    std::vector<LookupMatch> matches;
    // The object's full name where one was found; why not otherwise, in
    // plain words for the user.
    std::string full_name;
    std::string reason;
};

// Reads an answer of the database's API. A comet ("kind" c...) gives a comet
// set, anything else an asteroid set with its mean anomaly; the elements
// are the answer's osculating ones (heliocentric ecliptic J2000), the
// mass GM/G where the answer gives GM. An orbit with e >= 1, or one the
// simulation cannot place at its epoch, is refused with the reason.
LookupResult parse_sbdb_answer(const std::string& json);

// Queries the database (sbdb_base_url()) for name and reads the answer.
// Blocks; safe on any thread. A transfer that fails says why as the
// download does ("could not connect", "timed out", ...).
LookupResult lookup_object(const std::string& name, const FetchOptions& options = FetchOptions(),
                           FetchControl* control = nullptr);
