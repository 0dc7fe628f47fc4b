// The Minor Planet Center's four element lists as the program fetches them:
// where each lives on the server, which local file it replaces, and the
// checks a download makes before it does. The dialog and zenorb-sim's
// --download share this, so both fetch the same lists the same way.
#pragma once

#include <string>

#include "catalog/http_fetch.h"

// The Minor Planet Center's web server; the lists' paths follow it.
inline constexpr const char* mpc_server_url = "https://www.minorplanetcenter.net/";

struct CatalogueList {
    const char* label; // "Comets", "Bright", "Unusual", "Critical"
    const char* file;  // the local file in the data directory
    const char* path;  // after the server's URL; YYYY is the year
    bool comets;       // comet lines, otherwise asteroid lines
};

// Comets, Bright, Unusual, Critical, in this order.
inline constexpr int CATALOGUE_LISTS = 4;
const CatalogueList& catalogue_list(int index);

// The list's address under server ("https://host/" or "https://host"; a
// missing final "/" is added); the bright list's is the one of `year`.
std::string catalogue_list_url(const CatalogueList& list, const std::string& server, int year);
// The current year of the local calendar, for the bright list.
int current_year();

// The options of a list's download: base, with the size limit of the
// catalogue's reader (a larger list could never be read) and a check that
// the body holds element lines of the list's kind, so that an HTML page, a
// compressed or binary body or the other kind of list never replaces it.
FetchOptions catalogue_list_options(const CatalogueList& list,
                                    const FetchOptions& base = FetchOptions());

// Fetches url into the list's file in directory with those options.
FetchResult download_catalogue_list(const CatalogueList& list, const std::string& url,
                                    const std::string& directory,
                                    const FetchOptions& base = FetchOptions(),
                                    FetchControl* control = nullptr);
