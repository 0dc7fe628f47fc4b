#include "catalog/sbdb_lookup.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <system_error>

#include <unistd.h>

#include <nlohmann/json.hpp>

#include "nbody/format_number.h"
#include "nbody/parse_number.h"
#include "nbody/small_file.h"
#include "nbody/units.h"

using json = nlohmann::json;

namespace {

// The answer's numbers come as strings ("0.0789"), a few as numbers.
std::optional<double> number_of(const json& value) {
    if (value.is_number())
        return value.get<double>();
    double v = 0;
    if (value.is_string() && parse_double(value.get<std::string>(), v) && std::isfinite(v))
        return v;
    return std::nullopt;
}

std::string text_of(const json& value) {
    if (value.is_string())
        return value.get<std::string>();
    if (value.is_number_integer())
        return std::to_string(value.get<long long>());
    return std::string();
}

std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The "name"/"value" records of the list at key of holder (orbit elements,
// physical parameters), by name; they point into holder.
std::map<std::string, const json*> records(const json& holder, const char* key) {
    std::map<std::string, const json*> out;
    if (!holder.contains(key) || !holder[key].is_array())
        return out;
    const json& list = holder[key];
    for (const json& record : list)
        if (record.is_object() && record.contains("name") && record["name"].is_string() &&
            record.contains("value"))
            out.emplace(record["name"].get<std::string>(), &record["value"]);
    return out;
}

LookupResult failed(LookupResult::Status status, const std::string& reason) {
    LookupResult result;
    result.status = status;
    result.reason = reason;
    return result;
}

LookupResult several(const json& answer) {
    LookupResult result;
    result.status = LookupResult::Status::Several;
    if (answer.contains("list") && answer["list"].is_array())
        for (const json& entry : answer["list"]) {
            if (!entry.is_object() || !entry.contains("pdes"))
                continue;
            LookupMatch match{trimmed(text_of(entry["pdes"])),
                              entry.contains("name") ? trimmed(text_of(entry["name"])) : ""};
            if (!match.designation.empty())
                result.matches.push_back(std::move(match));
        }
    if (result.matches.empty())
        return failed(LookupResult::Status::Failed,
                      "the database named several objects but listed none");
    return result;
}

// Percent-encodes all but the unreserved characters of a URL.
std::string encoded(const std::string& text) {
    std::string out;
    for (const unsigned char c : text) {
        if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~') {
            out.push_back(static_cast<char>(c));
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", c);
            out += hex;
        }
    }
    return out;
}

// A file of our own for the answer, removed whatever happens.
class AnswerFile {
public:
    AnswerFile() {
        std::error_code ignored;
        std::string pattern =
            (std::filesystem::temp_directory_path(ignored) / "zenorb-lookup-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            dir_ = pattern;
    }
    ~AnswerFile() {
        if (dir_.empty())
            return;
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    bool ok() const { return !dir_.empty(); }
    std::string path() const { return dir_ + "/answer.json"; }

private:
    std::string dir_;
};

} // namespace

std::string sbdb_base_url() {
    const char* setting = std::getenv("ZENORB_SBDB_URL");
    return setting && *setting ? std::string(setting) : std::string(SBDB_API_URL);
}

std::string sbdb_query_url(const std::string& base, const std::string& name) {
    return base + "?sstr=" + encoded(trimmed(name)) + "&phys-par=1";
}

LookupResult parse_sbdb_answer(const std::string& text) {
    const json answer = json::parse(text, nullptr, false);
    if (answer.is_discarded() || !answer.is_object())
        return failed(LookupResult::Status::Failed, "the answer is not the database's");

    if (answer.contains("code") && text_of(answer["code"]) == "300")
        return several(answer);
    if (!answer.contains("object") || !answer.contains("orbit")) {
        const std::string message =
            answer.contains("message") ? trimmed(text_of(answer["message"])) : "";
        if (message.find("not found") != std::string::npos)
            return failed(LookupResult::Status::NotFound, "no such object in the database");
        if (!message.empty())
            return failed(LookupResult::Status::Failed, "the database says: " + message);
        return failed(LookupResult::Status::Failed, "the answer is not the database's");
    }

    const json& object = answer["object"];
    const json& orbit = answer["orbit"];
    if (!object.is_object() || !orbit.is_object())
        return failed(LookupResult::Status::Failed, "the answer is not the database's");
    const std::string full_name =
        trimmed(object.contains("fullname") ? text_of(object["fullname"]) : "");
    const std::string designation = trimmed(object.contains("des") ? text_of(object["des"]) : "");
    const std::string kind = object.contains("kind") ? text_of(object["kind"]) : "";
    const std::string name = full_name.empty() ? designation : full_name;
    if (name.empty())
        return failed(LookupResult::Status::Failed, "the answer names no object");

    const auto elements = records(orbit, "elements");
    auto element = [&elements](const char* key) -> std::optional<double> {
        const auto found = elements.find(key);
        return found == elements.end() ? std::nullopt : number_of(*found->second);
    };
    std::optional<double> epoch =
        orbit.contains("epoch") ? number_of(orbit["epoch"]) : element("epoch");
    const auto e = element("e"), i = element("i"), om = element("om"), w = element("w"),
               tp = element("tp"), q = element("q");
    if (!e || !i || !om || !w || !tp || !epoch)
        return failed(LookupResult::Status::Failed,
                      "the answer lacks some of the elements e, i, om, w, tp and the epoch");

    LookupResult result;
    result.full_name = name;
    if (!(*e < 1)) {
        result.status = LookupResult::Status::Refused;
        result.reason = name + " is on an open orbit (e = " + format_fixed(*e, 6) +
                        "): the simulation carries closed orbits only (e < 1)";
        return result;
    }
    std::optional<double> a = element("a");
    if (!a && q)
        a = *q / (1 - *e);
    if (!a)
        return failed(LookupResult::Status::Failed, "the answer gives neither a nor q");

    const bool comet = !kind.empty() && kind[0] == 'c';
    std::unique_ptr<nbOrbitalElements> set;
    if (comet)
        set = std::make_unique<nbOrbitalElementsComet>(name, *a, *e, *i, *w, *om, *tp, *epoch);
    else
        set = std::make_unique<nbOrbitalElementsAsteroid>(name, *a, *e, *i, *w, *om, *tp, *epoch,
                                                          element("ma").value_or(0));

    const auto physical = records(answer, "phys_par");
    const auto gm = physical.find("GM");
    if (gm != physical.end())
        if (const auto value = number_of(*gm->second); value && *value > 0)
            // km^3/s^2 to kg with the simulation's own G, so that the body
            // pulls with the database's GM.
            set->set_mass(*value * 1e9 / GRAVITATIONAL_CONSTANT);

    if (!set->validate()) {
        result.status = LookupResult::Status::Refused;
        result.reason = name + " has elements the simulation cannot place at their epoch";
        return result;
    }
    result.status = LookupResult::Status::Found;
    result.set = std::move(set);
    return result;
}

LookupResult lookup_object(const std::string& name, const FetchOptions& options,
                           FetchControl* control) {
    if (trimmed(name).empty())
        return failed(LookupResult::Status::Failed, "no name to look up");
    AnswerFile file;
    if (!file.ok())
        return failed(LookupResult::Status::Failed, "no room for the answer");
    // An answer is a few kilobytes: a server that sends without end is cut
    // off at the limit rather than filling the disk.
    FetchOptions limited = options;
    if (limited.limits.max_bytes == 0 || limited.limits.max_bytes > LOOKUP_MAX_BYTES)
        limited.limits.max_bytes = LOOKUP_MAX_BYTES;
    const FetchResult fetched =
        fetch_url(sbdb_query_url(sbdb_base_url(), name), file.path(), limited, control);
    if (!fetched.ok) {
        // The database may say "several" and "none" with its HTTP status
        // as well; the transfer keeps no such body, only the status.
        if (fetched.reason == "HTTP 300")
            return failed(LookupResult::Status::Failed,
                          "several objects match; type more of the name or the designation");
        if (fetched.reason == "HTTP 404")
            return failed(LookupResult::Status::NotFound, "no such object in the database");
        return failed(LookupResult::Status::Failed, fetched.reason);
    }
    std::string bytes, error;
    if (!read_small_file(file.path(), LOOKUP_MAX_BYTES, bytes, error))
        return failed(LookupResult::Status::Failed, "the answer is too large or unreadable");
    return parse_sbdb_answer(bytes);
}
