// Where the program keeps its files: the freedesktop data directory.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <wx/filename.h>

#include "gui/data_directory.h"

namespace {

// Sets or clears XDG_DATA_HOME for one test.
class DataHome {
public:
    explicit DataHome(const char* value) {
        if (const char* old = std::getenv("XDG_DATA_HOME"))
            saved_ = old, had_ = true;
        if (value)
            setenv("XDG_DATA_HOME", value, 1);
        else
            unsetenv("XDG_DATA_HOME");
    }
    ~DataHome() {
        if (had_)
            setenv("XDG_DATA_HOME", saved_.c_str(), 1);
        else
            unsetenv("XDG_DATA_HOME");
    }

private:
    std::string saved_;
    bool had_ = false;
};

} // namespace

TEST(DataDirectory, IsCreatedOnFirstUseUnderTheFreedesktopDataHome) {
    namespace fs = std::filesystem;
    {
        DataHome unset(nullptr);
        const fs::path expected =
            fs::path(wxFileName::GetHomeDir().utf8_string()) / ".local/share/zenorb";
        fs::remove_all(expected);
        EXPECT_EQ(fs::path(data_directory().utf8_string()), expected);
        EXPECT_TRUE(fs::is_directory(expected));
    }
    const fs::path custom =
        fs::path(testing::TempDir()) / ("zenorb-xdg-" + std::to_string(getpid()));
    fs::remove_all(custom);
    {
        DataHome set(custom.c_str());
        EXPECT_EQ(fs::path(data_directory().utf8_string()), custom / "zenorb");
        EXPECT_TRUE(fs::is_directory(custom / "zenorb")) << "parents are made too";
    }
    {
        // A relative XDG_DATA_HOME is to be ignored.
        DataHome relative("relative/place");
        EXPECT_EQ(fs::path(data_directory().utf8_string()).parent_path().filename(), "share");
    }
    fs::remove_all(custom);
}
