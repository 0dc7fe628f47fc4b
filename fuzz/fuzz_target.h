// What every fuzz target does around its check: a fault is printed and the
// run aborts (libFuzzer then keeps the input), and targets that read files
// get a private folder, removed when the process ends.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

inline int abort_on_fault(const std::string& fault) {
    if (!fault.empty()) {
        std::fprintf(stderr, "%s\n", fault.c_str());
        std::abort();
    }
    return 0;
}

// A new folder /tmp/STEM-XXXXXX; aborts when none can be made.
inline std::string make_work_directory(const std::string& stem) {
    std::string name = "/tmp/" + stem + "-XXXXXX";
    if (!::mkdtemp(name.data())) {
        std::perror("mkdtemp");
        std::abort();
    }
    return name;
}

inline std::string fuzz_input(const unsigned char* data, std::size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}
