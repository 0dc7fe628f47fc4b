// The GUI test program: a real wxApp whose event loop runs the tests, with a
// temporary HOME so that nothing touches the user's own files, and a config
// directory of its own there so that no test reads the user's settings.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <wx/app.h>
#include <wx/init.h>

namespace {

class GuiTestApp : public wxApp {
public:
    bool OnInit() override {
        // Frames come and go between tests; only the tests end the program.
        SetExitOnFrameDelete(false);
        CallAfter([this] {
            status_ = RUN_ALL_TESTS();
            ExitMainLoop();
        });
        return true;
    }

    int OnRun() override {
        wxApp::OnRun();
        return status_;
    }

    // A toolkit assertion is a failed test, not a dialog waiting for a click.
    void OnAssertFailure(const wxChar* file, int line, const wxChar* func, const wxChar* cond,
                         const wxChar* msg) override {
        ADD_FAILURE() << "wxWidgets assertion in " << wxString(func) << " (" << wxString(file)
                      << ":" << line << "): " << wxString(cond) << " " << wxString(msg);
    }

private:
    int status_ = 1;
};

class TemporaryHome {
public:
    TemporaryHome() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "zenorb-gui-test-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            path_ = pattern;
        if (!path_.empty()) {
            setenv("HOME", path_.c_str(), 1);
            for (const char* name : {"XDG_DATA_HOME", "XDG_CACHE_HOME"})
                unsetenv(name);
            setenv("XDG_CONFIG_HOME", (path_ + "/config").c_str(), 1);
        }
    }
    ~TemporaryHome() {
        std::error_code ignored;
        if (!path_.empty())
            std::filesystem::remove_all(path_, ignored);
    }
    bool ok() const { return !path_.empty(); }

private:
    std::string path_;
};

} // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    TemporaryHome home;
    if (!home.ok())
        return 2;
    wxApp::SetInstance(new GuiTestApp);
    return wxEntry(argc, argv);
}
