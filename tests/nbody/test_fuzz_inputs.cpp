// The fuzz targets' seeds and every input a fuzz run failed on, through the
// very checks the targets make (fuzz/*_check.h).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/temp_dir.h"
#include "fuzz/catalogue_file_check.h"
#include "fuzz/line_check.h"

namespace {

// The files of the target's seed folder and of its folder of failed inputs.
std::vector<std::filesystem::path> inputs(const std::string& target) {
    std::vector<std::filesystem::path> out;
    for (const std::string& dir : {std::string(ZENORB_FUZZ_CORPUS) + "/" + target,
                                   std::string(ZENORB_TEST_DATA) + "/fuzz/" + target})
        if (std::filesystem::is_directory(dir))
            for (const auto& entry : std::filesystem::directory_iterator(dir))
                out.push_back(entry.path());
    return out;
}

std::string bytes_of(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

TEST(FuzzInputs, CatalogueLinesPassTheLineTargetsChecks) {
    const auto files = inputs("line");
    EXPECT_GE(files.size(), 10u);
    for (const auto& file : files)
        EXPECT_EQ(check_catalogue_line(bytes_of(file)), "") << file;
}

TEST(FuzzInputs, CatalogueFilesPassTheFileTargetsChecks) {
    const auto files = inputs("catalogue_file");
    EXPECT_GE(files.size(), 3u);
    TempDir dir;
    for (const auto& file : files)
        EXPECT_EQ(check_catalogue_file(dir.path(), bytes_of(file)), "") << file;
}

} // namespace
