// What ffprobe (FFmpeg's own reader, not ours) finds in a film file: the
// codec, size, decoded frame count and duration of its video stream.
#pragma once

#include <cstdint>
#include <cstdio>
#include <locale>
#include <map>
#include <sstream>
#include <string>
#include <vector>

struct FilmProbe {
    bool readable = false; // ffprobe opened the file and found a video stream
    std::string codec;
    int width = 0;
    int height = 0;
    long frames = -1; // decoded, not as the header claims
    double seconds = -1;
    std::string errors; // what ffprobe said about the file
};

inline FilmProbe probe_film(const std::string& path) {
    const std::string command = "ffprobe -v error -count_frames -select_streams v:0 "
                                "-show_entries stream=codec_name,width,height,nb_read_frames"
                                ":format=duration -of default=noprint_wrappers=1 '" +
                                path + "' 2>&1";
    FilmProbe probe;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return probe;
    std::string text;
    char buffer[4096];
    std::size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        text.append(buffer, n);
    const int status = pclose(pipe);
    std::map<std::string, std::string> values;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos || line.find(' ') < eq)
            probe.errors += line + "\n";
        else
            values[line.substr(0, eq)] = line.substr(eq + 1);
    }
    probe.readable = status == 0 && values.count("codec_name");
    probe.codec = values["codec_name"];
    auto number = [&](const char* key, double fallback) {
        // The C locale's point, whatever the test's locale.
        std::istringstream in(values.count(key) ? values[key] : "");
        in.imbue(std::locale::classic());
        double v = 0;
        return in >> v ? v : fallback;
    };
    probe.width = int(number("width", 0));
    probe.height = int(number("height", 0));
    probe.frames = long(number("nb_read_frames", -1));
    probe.seconds = number("duration", -1);
    return probe;
}

// The first frame of a film decoded by ffmpeg, as RGB bytes row by row;
// empty when there is none.
inline std::vector<std::uint8_t> first_film_frame(const std::string& path) {
    const std::string command =
        "ffmpeg -v error -i '" + path + "' -frames:v 1 -f rawvideo -pix_fmt rgb24 - 2>/dev/null";
    std::vector<std::uint8_t> out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return out;
    std::uint8_t buffer[4096];
    std::size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.insert(out.end(), buffer, buffer + n);
    pclose(pipe);
    return out;
}
