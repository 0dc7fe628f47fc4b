// What must hold for any argument vector of the simulator: accepted options
// lie in the ranges its usage text gives, refused ones say why. The vector
// is the input split at NUL bytes. Shared by the fuzz target and the
// regression test of the inputs it found; returns the first fault, or "".
#pragma once

#include <string>
#include <vector>

#include "tools/sim_options.h"

inline std::string check_sim_arguments(const std::string& bytes) {
    std::vector<std::string> words(1, "zenorb-sim");
    if (!bytes.empty()) {
        words.emplace_back();
        for (char c : bytes) {
            if (c == '\0')
                words.emplace_back();
            else
                words.back().push_back(c);
        }
    }
    std::vector<const char*> argv;
    for (const std::string& w : words)
        argv.push_back(w.c_str());
    argv.push_back(nullptr);

    SimOptions options;
    std::string error;
    if (!parse_sim_options(static_cast<int>(words.size()), argv.data(), options, error))
        return error.empty() ? "a refused argument vector gave no message" : "";
    if (!error.empty())
        return "an accepted argument vector gave a message";
    // 00:00 of -4712-01-01 is JD -0.5; 10000-01-01 is JD 5373484.5.
    if (options.jd && !(*options.jd >= -0.5 && *options.jd <= 5373484.5))
        return "start date out of range";
    if (!(options.step_days >= 0.001 && options.step_days <= 30))
        return "step out of range";
    if (options.steps < 0 || options.steps > 1000000000L || options.every < 0 ||
        options.every > 1000000000L)
        return "step count out of range";
    if (options.width < 16 || options.width > 8192 || options.height < 16 || options.height > 8192)
        return "picture size out of range";
    if (options.fps < 1 || options.fps > 240)
        return "film frame rate out of range";
    if (options.fps != 30 && options.film_file.empty())
        return "--fps accepted without --film";
    if (!options.download_dir.empty() &&
        (!options.film_file.empty() || !options.frames_dir.empty()))
        return "--download accepted with a film";
    if (!options.add_names.empty() && options.catalogue_dir.empty())
        return "--add accepted without --catalogue";
    if (!options.server.empty() &&
        (options.download_dir.empty() ||
         (options.server.rfind("http://", 0) != 0 && options.server.rfind("https://", 0) != 0)))
        return "--server accepted without --download or an http(s) address";
    if (!options.download_dir.empty() &&
        (options.steps != 0 || options.jd || !options.element_files.empty() ||
         !options.catalogue_dir.empty() || !options.png_file.empty() || options.accurate))
        return "--download accepted with options of a simulation";
    for (const std::string& file : options.element_files)
        if (file.empty())
            return "an empty element file name accepted";
    for (const std::string& w : words) {
        double jd = 0;
        if (parse_iso_date(w, jd) && !(jd >= -0.5 && jd <= 5373484.5))
            return "a date out of range: " + w;
    }
    return "";
}
