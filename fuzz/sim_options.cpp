// The simulator's argument parser on an argument vector (sim_options_check.h).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/sim_options_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string fault =
        check_sim_arguments(std::string(reinterpret_cast<const char*>(data), size));
    if (!fault.empty()) {
        std::fprintf(stderr, "%s\n", fault.c_str());
        std::abort();
    }
    return 0;
}
