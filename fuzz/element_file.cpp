// A whole element file made of the input (element_file_check.h).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "fuzz/element_file_check.h"
#include "fuzz/fuzz_target.h"

namespace {

std::string directory;

void remove_directory() {
    ::unlink((directory + "/input.xml").c_str());
    ::rmdir(directory.c_str());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    directory = make_work_directory("zenorb-fuzz-elements");
    std::atexit(remove_directory);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return abort_on_fault(check_element_file(directory, fuzz_input(data, size)));
}
