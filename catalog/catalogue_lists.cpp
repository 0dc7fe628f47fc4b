#include "catalog/catalogue_lists.h"

#include <algorithm>
#include <ctime>
#include <fstream>

#include "nbody/factory.h"

namespace {

const CatalogueList lists[CATALOGUE_LISTS] = {
    {"Comets", nbFactory::COMETS_FILE, "iau/Ephemerides/Comets/Soft06Cmt.txt", true},
    {"Bright", nbFactory::BRIGHT_FILE, "iau/Ephemerides/Bright/YYYY/Soft06Bright.txt", false},
    {"Unusual", nbFactory::UNUSUAL_FILE, "iau/Ephemerides/Unusual/Soft06Unusual.txt", false},
    {"Critical", nbFactory::CRITICAL_FILE, "iau/Ephemerides/CritList/Soft06CritList.txt", false},
};

// A few words on what a body that holds no element line is, so that the
// reason names what came instead of the list.
std::string what_came(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string head(512, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    if (head.size() >= 2 && static_cast<unsigned char>(head[0]) == 0x1f &&
        static_cast<unsigned char>(head[1]) == 0x8b)
        return "gzip-compressed data";
    if (std::any_of(head.begin(), head.end(), [](char c) { return c == '\0'; }))
        return "binary data";
    const std::size_t first = head.find_first_not_of(" \t\r\n");
    if (first != std::string::npos && head[first] == '<')
        return "an HTML or XML document";
    return "text";
}

} // namespace

const CatalogueList& catalogue_list(int index) {
    return lists[index];
}

std::string catalogue_list_url(const CatalogueList& list, const std::string& server, int year) {
    std::string path = list.path;
    const std::size_t at = path.find("YYYY");
    if (at != std::string::npos)
        path.replace(at, 4, std::to_string(year));
    std::string url = server;
    if (url.empty() || url.back() != '/')
        url += '/';
    return url + path;
}

int current_year() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local.tm_year + 1900;
}

FetchOptions catalogue_list_options(const CatalogueList& list, const FetchOptions& base) {
    FetchOptions options = base;
    const std::int64_t reader_limit = nbFactory::MAX_FILE_BYTES;
    options.limits.max_bytes = base.limits.max_bytes > 0
                                   ? std::min<std::int64_t>(base.limits.max_bytes, reader_limit)
                                   : reader_limit;
    const bool comets = list.comets;
    options.check_body = [comets](const std::string& body) -> std::string {
        const CatalogueFileRead read = inspect_catalogue_file(body, comets);
        if (read.status != CatalogueFileRead::Status::Read)
            return "what came cannot be read as a list (" + read.reason + ")";
        if (read.added == 0)
            return std::string("no ") + (comets ? "comet" : "asteroid") +
                   " element line in what came (" + what_came(body) + ")";
        return std::string();
    };
    return options;
}

FetchResult download_catalogue_list(const CatalogueList& list, const std::string& url,
                                    const std::string& directory, const FetchOptions& base,
                                    FetchControl* control) {
    return fetch_url(url, directory + "/" + list.file, catalogue_list_options(list, base), control);
}
