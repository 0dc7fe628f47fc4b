// The proxy variables libcurl reads from the environment. The download tests
// clear them, so that a proxy set for the machine never sees (or diverts) a
// request meant for 127.0.0.1; the proxy tests set their own for a while.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

inline const char* const PROXY_VARIABLES[] = {"http_proxy",  "HTTP_PROXY", "https_proxy",
                                              "HTTPS_PROXY", "all_proxy",  "ALL_PROXY",
                                              "no_proxy",    "NO_PROXY"};

inline void clear_proxy_environment() {
    for (const char* name : PROXY_VARIABLES)
        ::unsetenv(name);
}

// Sets variables while it lives (all others of the list cleared) and puts
// back what was there before.
class ProxyEnvironment {
public:
    ProxyEnvironment() {
        for (const char* name : PROXY_VARIABLES) {
            const char* value = std::getenv(name);
            saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
        clear_proxy_environment();
    }
    ~ProxyEnvironment() {
        for (const auto& [name, value] : saved_) {
            if (value)
                ::setenv(name, value->c_str(), 1);
            else
                ::unsetenv(name);
        }
    }
    ProxyEnvironment(const ProxyEnvironment&) = delete;
    ProxyEnvironment& operator=(const ProxyEnvironment&) = delete;

    void set(const char* name, const std::string& value) { ::setenv(name, value.c_str(), 1); }

private:
    std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

// Included by a test file, clears the variables before any test runs.
namespace {
[[maybe_unused]] const bool proxy_environment_cleared = (clear_proxy_environment(), true);
}
