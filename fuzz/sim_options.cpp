// The simulator's argument parser on an argument vector (sim_options_check.h).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_target.h"
#include "fuzz/sim_options_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return abort_on_fault(check_sim_arguments(fuzz_input(data, size)));
}
