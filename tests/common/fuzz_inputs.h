// The inputs of a fuzz target that the normal tests run through its check:
// its seed folder (fuzz/corpus/TARGET) and the inputs a run once failed on
// (tests/data/fuzz/TARGET). The test program defines ZENORB_FUZZ_CORPUS and
// ZENORB_TEST_DATA.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

inline std::vector<std::filesystem::path> fuzz_inputs(const std::string& target) {
    std::vector<std::filesystem::path> out;
    for (const std::string& dir : {std::string(ZENORB_FUZZ_CORPUS) + "/" + target,
                                   std::string(ZENORB_TEST_DATA) + "/fuzz/" + target})
        if (std::filesystem::is_directory(dir))
            for (const auto& entry : std::filesystem::directory_iterator(dir))
                out.push_back(entry.path());
    return out;
}
