// A fresh directory under the system's temporary folder, removed with all
// its files when the test ends.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include <unistd.h>

#include <gtest/gtest.h>

class TempDir {
public:
    TempDir() {
        const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
        path_ = std::filesystem::temp_directory_path() /
                ("zenorb-" + std::string(test ? test->name() : "test") + "-" +
                 std::to_string(::getpid()));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string path() const { return path_.string(); }
    void write(const std::string& file, const std::string& content) const {
        std::ofstream(path_ / file, std::ios::binary) << content;
    }
    void copy_from(const std::string& source, const std::string& file) const {
        std::filesystem::copy_file(source, path_ / file,
                                   std::filesystem::copy_options::overwrite_existing);
    }

private:
    std::filesystem::path path_;
};

// The bytes of a file; empty when it cannot be read.
inline std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every name in a folder: what a failed write may have left behind.
inline std::set<std::string> files_in(const std::string& dir) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        names.insert(entry.path().filename().string());
    return names;
}
