// The fuzz targets' seeds and every input a fuzz run failed on, through the
// very checks the targets make (fuzz/*_check.h).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/fuzz_inputs.h"
#include "common/temp_dir.h"
#include "fuzz/catalogue_file_check.h"
#include "fuzz/line_check.h"

namespace {

TEST(FuzzInputs, CatalogueLinesPassTheLineTargetsChecks) {
    const auto files = fuzz_inputs("line");
    EXPECT_GE(files.size(), 10u);
    for (const auto& file : files)
        EXPECT_EQ(check_catalogue_line(slurp(file.string())), "") << file;
}

TEST(FuzzInputs, CatalogueFilesPassTheFileTargetsChecks) {
    const auto files = fuzz_inputs("catalogue_file");
    EXPECT_GE(files.size(), 3u);
    TempDir dir;
    for (const auto& file : files)
        EXPECT_EQ(check_catalogue_file(dir.path(), slurp(file.string())), "") << file;
}

} // namespace
