// The element-file fuzz target's seeds and every input a fuzz run failed on,
// through the very check the target makes (fuzz/element_file_check.h).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/fuzz_inputs.h"
#include "common/temp_dir.h"
#include "fuzz/element_file_check.h"

namespace {

TEST(FuzzInputs, ElementFilesPassTheElementFileTargetsChecks) {
    const auto files = fuzz_inputs("element_file");
    EXPECT_GE(files.size(), 5u);
    TempDir dir;
    for (const auto& file : files)
        EXPECT_EQ(check_element_file(dir.path(), slurp(file.string())), "") << file;
}

} // namespace
