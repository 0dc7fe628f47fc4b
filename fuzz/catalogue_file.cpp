// A whole catalogue file made of the input (catalogue_file_check.h).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "fuzz/catalogue_file_check.h"

namespace {

std::string directory;

void remove_directory() {
    ::unlink((directory + "/" + nbFactory::COMETS_FILE).c_str());
    ::rmdir(directory.c_str());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char name[] = "/tmp/zenorb-fuzz-catalogue-XXXXXX";
    if (!::mkdtemp(name)) {
        std::perror("mkdtemp");
        std::abort();
    }
    directory = name;
    std::atexit(remove_directory);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string fault =
        check_catalogue_file(directory, std::string(reinterpret_cast<const char*>(data), size));
    if (!fault.empty()) {
        std::fprintf(stderr, "%s\n", fault.c_str());
        std::abort();
    }
    return 0;
}
