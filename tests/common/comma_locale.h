// Runs a test body under a locale whose decimal separator is a comma, as for
// many of our users, and restores the previous locale afterwards.
#pragma once

#include <clocale>
#include <cstdio>
#include <string>

#include <gtest/gtest.h>

class CommaLocale {
public:
    CommaLocale() : previous_(std::setlocale(LC_ALL, nullptr)) {
        active_ = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
        char text[16];
        std::snprintf(text, sizeof text, "%g", 0.5);
        // Only a live comma locale makes the test mean something.
        active_ = active_ && std::string(text) == "0,5";
    }
    ~CommaLocale() { std::setlocale(LC_ALL, previous_.c_str()); }
    bool active() const { return active_; }

private:
    std::string previous_;
    bool active_ = false;
};
