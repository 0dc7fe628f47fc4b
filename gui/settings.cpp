#include "gui/settings.h"

#include <cmath>
#include <filesystem>
#include <string>

#include <fcntl.h>
#include <unistd.h>

#include <wx/fileconf.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/mstream.h>
#include <wx/utils.h>

#include "nbody/small_file.h"
#include "readers/atomic_write.h"

namespace {

// Far above what the program writes (well under a kilobyte), so that a
// file this large is not one of its own.
const long MAX_FILE_BYTES = 64 * 1024;

// The display options and their keys, in the check boxes' order.
struct OptionKey {
    const char* key;
    bool DisplayOptions::*member;
};
const OptionKey OPTION_KEYS[] = {
    {"Display/Orbits", &DisplayOptions::orbits},
    {"Display/FadeOrbits", &DisplayOptions::fade_orbits},
    {"Display/Names", &DisplayOptions::names},
    {"Display/SatelliteNames", &DisplayOptions::satellite_names},
    {"Display/Sun", &DisplayOptions::sun},
    {"Display/Axes", &DisplayOptions::axes},
    {"Display/Simplified", &DisplayOptions::simplified},
    {"Display/ActualSizes", &DisplayOptions::actual_sizes},
};

bool is_key_char(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '.' || c == '-';
}

// Whether the bytes read as the lines of a settings file: a comment, a
// group header or a key with its value each, in UTF-8, and no NUL.
bool looks_like_settings(const std::string& bytes) {
    if (bytes.find('\0') != std::string::npos)
        return false;
    if (!bytes.empty() && wxString::FromUTF8(bytes.data(), bytes.size()).empty())
        return false;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        start = end + 1;
        const size_t first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos)
            continue;
        line = line.substr(first, line.find_last_not_of(" \t\r") - first + 1);
        if (line[0] == '#' || line[0] == ';')
            continue;
        if (line[0] == '[') {
            if (line.back() != ']')
                return false;
            continue;
        }
        const size_t equals = line.find('=');
        if (equals == std::string::npos || equals == 0)
            return false;
        const size_t key_end = line.find_last_not_of(" \t", equals - 1);
        for (size_t i = 0; i <= key_end; ++i)
            if (!is_key_char(line[i]))
                return false;
    }
    return true;
}

bool read_bool(const wxFileConfig& config, const char* key, bool& value) {
    wxString text;
    if (!config.Read(key, &text))
        return false;
    text.Trim().Trim(false);
    if (text != "0" && text != "1")
        return false;
    value = text == "1";
    return true;
}

bool read_long(const wxFileConfig& config, const char* key, long low, long high, long& value) {
    wxString text;
    long number = 0;
    if (!config.Read(key, &text) || !text.Trim().Trim(false).ToLong(&number) || number < low ||
        number > high)
        return false;
    value = number;
    return true;
}

bool read_double(const wxFileConfig& config, const char* key, double low, double high,
                 double& value) {
    wxString text;
    double number = 0;
    // Always with a point, whatever the locale: the file is the program's own.
    if (!config.Read(key, &text) || !text.Trim().Trim(false).ToCDouble(&number) ||
        !std::isfinite(number) || number < low || number > high)
        return false;
    value = number;
    return true;
}

void read_text(const wxFileConfig& config, const char* key, wxString& value) {
    wxString text;
    if (config.Read(key, &text))
        value = text;
}

} // namespace

bool ZenorbSettings::operator==(const ZenorbSettings& o) const {
    for (const OptionKey& option : OPTION_KEYS)
        if (options.*option.member != o.options.*option.member)
            return false;
    return window_size == o.window_size && has_position == o.has_position &&
           (!has_position || window_position == o.window_position) && maximised == o.maximised &&
           step_days == o.step_days && refresh_ms == o.refresh_ms &&
           high_accuracy == o.high_accuracy && tracked == o.tracked && object_a == o.object_a &&
           object_b == o.object_b && picture_folder == o.picture_folder &&
           film_folder == o.film_folder && restore_folder == o.restore_folder;
}

wxString ZenorbSettings::config_directory() {
    // As for the data directory: wx 3.2 keeps the classic ~/.zenorb even
    // under the XDG layout, so the freedesktop rule is applied here.
    wxString base;
    if (!wxGetEnv("XDG_CONFIG_HOME", &base) || !wxIsAbsolutePath(base))
        base = wxFileName::GetHomeDir() + "/.config";
    return base + "/zenorb";
}

bool ZenorbSettings::load(const wxString& dir, wxString& warning) {
    const std::string path = (dir + "/" + FILE_NAME).utf8_string();
    std::error_code ignored;
    if (std::filesystem::symlink_status(path, ignored).type() ==
        std::filesystem::file_type::not_found)
        return true;
    std::string bytes, error;
    if (!read_small_file(path, MAX_FILE_BYTES, bytes, error)) {
        warning = "Settings not read from " + wxString::FromUTF8(path) + ": " +
                  wxString::FromUTF8(error) + "; the defaults are used";
        return false;
    }
    if (!looks_like_settings(bytes)) {
        warning = "Settings file " + wxString::FromUTF8(path) +
                  " is damaged and was ignored; the defaults are used";
        return false;
    }

    wxMemoryInputStream stream(bytes.data(), bytes.size());
    wxLogNull quiet; // a fault of the file is ours to report, in one line
    wxFileConfig config(stream, wxConvUTF8);
    // Folders are paths as written, not templates.
    config.SetExpandEnvVars(false);

    long number = 0;
    long width = 0, height = 0;
    if (read_long(config, "Window/Width", 1, MAX_WINDOW_SIDE, width) &&
        read_long(config, "Window/Height", 1, MAX_WINDOW_SIDE, height))
        window_size = wxSize(width, height);
    long x = 0, y = 0;
    if (read_long(config, "Window/X", -MAX_COORDINATE, MAX_COORDINATE, x) &&
        read_long(config, "Window/Y", -MAX_COORDINATE, MAX_COORDINATE, y)) {
        has_position = true;
        window_position = wxPoint(x, y);
    }
    read_bool(config, "Window/Maximised", maximised);
    for (const OptionKey& option : OPTION_KEYS)
        read_bool(config, option.key, options.*option.member);
    read_double(config, "Simulation/TimestepDays", MIN_STEP_DAYS, MAX_STEP_DAYS, step_days);
    if (read_long(config, "Simulation/RefreshMs", MIN_REFRESH_MS, MAX_REFRESH_MS, number))
        refresh_ms = static_cast<int>(number);
    read_bool(config, "Simulation/HighAccuracy", high_accuracy);
    read_text(config, "Bodies/Tracked", tracked);
    read_text(config, "Bodies/ObjectA", object_a);
    read_text(config, "Bodies/ObjectB", object_b);
    read_text(config, "Folders/Picture", picture_folder);
    read_text(config, "Folders/Film", film_folder);
    read_text(config, "Folders/Restore", restore_folder);
    return true;
}

bool ZenorbSettings::can_write(const wxString& dir) {
    wxLogNull quiet; // the caller says it once, in its own words
    if (!wxFileName::DirExists(dir) && !wxFileName::Mkdir(dir, 0777, wxPATH_MKDIR_FULL))
        return false;
    const std::string probe =
        (dir + "/." + FILE_NAME + ".probe-" + std::to_string(::getpid())).utf8_string();
    const int fd = ::open(probe.c_str(), O_CREAT | O_WRONLY | O_EXCL, 0600);
    if (fd < 0)
        return false;
    ::close(fd);
    ::unlink(probe.c_str());
    return true;
}

bool ZenorbSettings::save(const wxString& dir, wxString& error) const {
    // Not tied to any file: written to memory, then to the disk in one piece.
    wxFileConfig config(wxEmptyString, wxEmptyString, wxEmptyString, wxEmptyString, 0);
    config.SetExpandEnvVars(false);
    if (window_size.x > 0 && window_size.y > 0) {
        config.Write("Window/Width", static_cast<long>(window_size.x));
        config.Write("Window/Height", static_cast<long>(window_size.y));
    }
    if (has_position) {
        config.Write("Window/X", static_cast<long>(window_position.x));
        config.Write("Window/Y", static_cast<long>(window_position.y));
    }
    config.Write("Window/Maximised", maximised);
    for (const OptionKey& option : OPTION_KEYS)
        config.Write(option.key, options.*option.member);
    config.Write("Simulation/TimestepDays", wxString::FromCDouble(step_days));
    config.Write("Simulation/RefreshMs", static_cast<long>(refresh_ms));
    config.Write("Simulation/HighAccuracy", high_accuracy);
    config.Write("Bodies/Tracked", tracked);
    config.Write("Bodies/ObjectA", object_a);
    config.Write("Bodies/ObjectB", object_b);
    config.Write("Folders/Picture", picture_folder);
    config.Write("Folders/Film", film_folder);
    config.Write("Folders/Restore", restore_folder);

    wxMemoryOutputStream stream;
    if (!config.Save(stream, wxConvUTF8)) {
        error = "the settings could not be put into words";
        return false;
    }
    std::string bytes(stream.GetLength(), '\0');
    stream.CopyTo(bytes.data(), bytes.size());

    wxLogNull quiet; // the reason is given back, not shown
    if (!wxFileName::DirExists(dir) && !wxFileName::Mkdir(dir, 0777, wxPATH_MKDIR_FULL)) {
        error = "the folder " + dir + " cannot be made";
        return false;
    }
    std::string reason;
    const wxString path = dir + "/" + FILE_NAME;
    if (!write_file_atomically(path.utf8_string(), bytes, reason)) {
        error = path + ": " + wxString::FromUTF8(reason);
        return false;
    }
    return true;
}
