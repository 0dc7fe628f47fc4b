// The argument-parser fuzz target's seeds and every input a fuzz run failed
// on, through the check the target makes (fuzz/sim_options_check.h).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "fuzz/sim_options_check.h"

namespace {

TEST(FuzzInputs, ArgumentVectorsPassTheArgumentTargetsChecks) {
    std::size_t count = 0;
    for (const std::string& dir : {std::string(ZENORB_FUZZ_CORPUS) + "/sim_options",
                                   std::string(ZENORB_TEST_DATA) + "/fuzz/sim_options"}) {
        if (!std::filesystem::is_directory(dir))
            continue;
        for (const auto& entry : std::filesystem::directory_iterator(dir)) {
            std::ifstream in(entry.path(), std::ios::binary);
            std::stringstream bytes;
            bytes << in.rdbuf();
            EXPECT_EQ(check_sim_arguments(bytes.str()), "") << entry.path();
            ++count;
        }
    }
    EXPECT_GE(count, 5u);
}

} // namespace
