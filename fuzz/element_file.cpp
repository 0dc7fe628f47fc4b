// A whole element file made of the input (element_file_check.h).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include <wx/init.h>

#include "fuzz/element_file_check.h"

namespace {

std::string directory;
wxInitializer* toolkit = nullptr;

void remove_directory() {
    ::unlink((directory + "/input.xml").c_str());
    ::rmdir(directory.c_str());
    delete toolkit;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    toolkit = new wxInitializer;
    if (!toolkit->IsOk()) {
        std::fputs("cannot initialise the toolkit\n", stderr);
        std::abort();
    }
    char name[] = "/tmp/zenorb-fuzz-elements-XXXXXX";
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
        check_element_file(directory, std::string(reinterpret_cast<const char*>(data), size));
    if (!fault.empty()) {
        std::fprintf(stderr, "%s\n", fault.c_str());
        std::abort();
    }
    return 0;
}
