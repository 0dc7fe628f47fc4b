// The element-file fuzz target's seeds and every input a fuzz run failed on,
// through the very check the target makes (fuzz/element_file_check.h).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/temp_dir.h"
#include "fuzz/element_file_check.h"

namespace {

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

TEST(FuzzInputs, ElementFilesPassTheElementFileTargetsChecks) {
    const auto files = inputs("element_file");
    EXPECT_GE(files.size(), 5u);
    TempDir dir;
    for (const auto& file : files)
        EXPECT_EQ(check_element_file(dir.path(), bytes_of(file)), "") << file;
}

} // namespace
