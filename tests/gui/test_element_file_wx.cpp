// The element file as the single-object page reaches it: names in the
// toolkit's strings, and a file that cannot be read reported in the
// toolkit's error log with its name.
#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>

#include "common/logged_errors.h"
#include "common/temp_dir.h"
#include "gui/element_file_wx.h"

namespace {

TEST(ElementFileWx, AnUnreadableFileIsLoggedOnceWithItsNameUnlessTheReasonIsAskedFor) {
    TempDir dir;
    ASSERT_EQ(::mkfifo((dir.path() + "/pipe.xml").c_str(), 0600), 0);
    dir.write("broken.xml", "<OrbitalElements><Asteroid name=\"A\"><Orbit a=\"3\">"
                            "</Asteroid></OrbitalElements>");
    dir.write("other.xml", "<Settings/>");
    const struct {
        const char* file;
        const char* logged; // null: a readable document that is no element file
    } cases[] = {
        {"missing.xml", "No such file or directory"},
        {"pipe.xml", "not a regular file"},
        {"broken.xml", "XML parsing error: 'mismatched tag'"},
        {"other.xml", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const wxString path = wxString::FromUTF8(dir.path() + "/" + c.file);
        LoggedErrors log;
        std::string reason;
        EXPECT_EQ(LoadElementsFile(path, &reason), nullptr);
        EXPECT_FALSE(reason.empty());
        EXPECT_TRUE(log.messages.empty()) << "asked for, the reason is not logged as well";

        EXPECT_EQ(LoadElementsFile(path), nullptr);
        if (!c.logged) {
            EXPECT_TRUE(log.messages.empty()) << log.messages.front();
            continue;
        }
        ASSERT_EQ(log.messages.size(), 1u);
        EXPECT_NE(log.messages[0].find(path.ToStdString()), std::string::npos) << log.messages[0];
        EXPECT_NE(log.messages[0].find(c.logged), std::string::npos) << log.messages[0];
    }
}

TEST(ElementFileWx, SavedUnderANonAsciiFolderAndNameAndReadBack) {
    TempDir dir;
    const wxString directory = wxString::FromUTF8(dir.path() + "/Sternwarte Zürich");
    const nbOrbitalElementsAsteroid set("Ōumuamua", 2.5, 0.25, 7, 151, 103, 2456789.5, 2456800.5,
                                        30);
    wxString path;
    std::string error;
    ASSERT_TRUE(SaveElementsFile(set, directory, path, error)) << error;
    EXPECT_EQ(path, directory + "/" + wxString::FromUTF8("Asteroid_Ōumuamua.xml"));
    EXPECT_TRUE(
        std::filesystem::is_regular_file(dir.path() + "/Sternwarte Zürich/Asteroid_Ōumuamua.xml"));
    const auto back = LoadElementsFile(path);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->name(), "Ōumuamua");
    EXPECT_EQ(back->a(), 2.5);
}

TEST(ElementFileWx, TrimBlanksAndCleanNameKeepWhatIsNotABlank) {
    EXPECT_EQ(TrimBlanks(" \t my comet/2 \r\n"), "my comet/2");
    EXPECT_EQ(CleanName(TrimBlanks(wxString::FromUTF8(" C/2017 U1 Ōumuamua "))),
              wxString::FromUTF8("C_2017_U1_Ōumuamua"));
}

} // namespace
