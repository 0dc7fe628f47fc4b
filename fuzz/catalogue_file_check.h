// What must hold for any catalogue file: a regular file is always read, as
// comets and as asteroids, and every set it adds is valid and gives a finite
// body at its epoch. Shared by the fuzz target and the regression test of the
// inputs it found; returns the first fault, or "".
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

#include "fuzz/finite_body.h"
#include "nbody/factory.h"

inline std::string check_read(const std::string& directory, bool comets, std::size_t line_ends) {
    nbFactory factory;
    const CatalogueFileRead read =
        factory.read_catalogue_file(directory, nbFactory::COMETS_FILE, comets);
    if (read.status != CatalogueFileRead::Status::Read)
        return "a regular file was not read: " + read.reason;
    if (read.added < 0 || static_cast<std::size_t>(read.added) != factory.catalogue_size())
        return "the count of added sets is not the catalogue's";
    if (factory.catalogue_size() > line_ends + 1)
        return "more sets than lines";
    for (auto it = factory.catalogue_begin(); it != factory.catalogue_end(); ++it) {
        const nbOrbitalElements& set = **it;
        if (!set.valid())
            return "an invalid set joined the catalogue";
        std::unique_ptr<nbBody> body = set.create_body(set.epoch());
        if (!body || !finite_body(*body))
            return "a catalogue set gives no finite body at its epoch";
    }
    return "";
}

// Writes `bytes` as the comet file of `directory` and reads it both ways.
inline std::string check_catalogue_file(const std::string& directory, const std::string& bytes) {
    const std::string path = directory + "/" + nbFactory::COMETS_FILE;
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out)
        return "cannot write " + path;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    if (std::fclose(out) != 0 || !written)
        return "cannot write " + path;
    std::size_t line_ends = 0;
    for (char c : bytes)
        line_ends += c == '\n' || c == '\r';
    std::string fault = check_read(directory, true, line_ends);
    if (!fault.empty())
        return "as comets: " + fault;
    fault = check_read(directory, false, line_ends);
    return fault.empty() ? "" : "as asteroids: " + fault;
}
