// The Help menu's facts: the toolkit named as it runs, the guide found
// where the build and the installation put it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <wx/filename.h>

#include "gui/about.h"

TEST(About, NamesTheProgramAndTheToolkitAsBuilt) {
    const wxAboutDialogInfo info = about_info();
    EXPECT_EQ(info.GetName(), "Zenorb");
    // The version the build was made as, set in one place for the program,
    // the package and the manual pages.
    EXPECT_EQ(info.GetVersion(), ZENORB_VERSION);
    const wxString description = toolkit_description();
    EXPECT_TRUE(description.StartsWith(
        wxString::Format("wxWidgets %d.%d.%d", wxMAJOR_VERSION, wxMINOR_VERSION, wxRELEASE_NUMBER)))
        << description;
    EXPECT_TRUE(description.Contains("-GTK")) << description;
    EXPECT_TRUE(description.EndsWith("-Unicode build")) << description;
}

// GTK's box shows a missing-picture sign where the info has no icon.
TEST(About, CarriesTheProgramsIconAtItsLargeSize) {
    const wxAboutDialogInfo info = about_info();
    ASSERT_TRUE(info.HasIcon());
    const wxIcon icon = info.GetIcon();
    ASSERT_TRUE(icon.IsOk());
    EXPECT_EQ(icon.GetWidth(), 64);
    EXPECT_EQ(icon.GetHeight(), 64);
}

TEST(About, TheGuideIsFoundBesideTheProgramOrInTheInstalledDocs) {
    namespace fs = std::filesystem;
    const fs::path root =
        fs::path(testing::TempDir()) / ("zenorb-guide-" + std::to_string(getpid()));
    fs::remove_all(root);
    fs::create_directories(root / "build");
    fs::create_directories(root / "prefix/bin");
    fs::create_directories(root / "prefix/share/doc/zenorb");
    std::ofstream(root / "build/guide.html") << "<html></html>";
    std::ofstream(root / "prefix/share/doc/zenorb/guide.html") << "<html></html>";
    fs::create_directories(root / "bare/bin");

    auto found = [](const fs::path& exe_dir) {
        return fs::path(find_user_guide(exe_dir.string()).utf8_string());
    };
    EXPECT_EQ(found(root / "build"), root / "build/guide.html");
    EXPECT_EQ(found(root / "prefix/bin"), root / "prefix/share/doc/zenorb/guide.html");
    EXPECT_TRUE(found(root / "bare/bin").empty());
    fs::remove_all(root);
}
