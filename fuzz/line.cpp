// One catalogue line read as an asteroid and as a comet (line_check.h).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_target.h"
#include "fuzz/line_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return abort_on_fault(check_catalogue_line(fuzz_input(data, size)));
}
