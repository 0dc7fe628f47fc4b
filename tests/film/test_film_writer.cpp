// Films written by FilmWriter and read back by FFmpeg's own tools: what a
// player finds in them, including after the writing stopped early.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "common/film_probe.h"
#include "common/temp_dir.h"
#include "film/film_writer.h"

namespace {

int bytes_per_pixel(PixelLayout layout) {
    return layout == PixelLayout::Rgb ? 3 : 4;
}

// Pixels of one layout, filled by colour.
struct Picture {
    int width, height;
    PixelLayout layout;
    std::vector<std::uint8_t> bytes;

    Picture(int w, int h, PixelLayout l = PixelLayout::Rgb)
        : width(w), height(h), layout(l), bytes(std::size_t(w) * h * bytes_per_pixel(l), 0) {}

    void set(int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        std::uint8_t* p = &bytes[(std::size_t(y) * width + x) * bytes_per_pixel(layout)];
        if (layout == PixelLayout::Bgrx) {
            p[0] = b, p[1] = g, p[2] = r, p[3] = 0;
        } else {
            p[0] = r, p[1] = g, p[2] = b;
            if (layout == PixelLayout::Rgba)
                p[3] = 255;
        }
    }
    void fill(int x0, int y0, int x1, int y1, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                set(x, y, r, g, b);
    }
    FilmFrame frame() const {
        return FilmFrame{bytes.data(), width, height, width * bytes_per_pixel(layout), layout};
    }
};

std::string expected_codec() {
    return FilmWriter::available_codec() == "libx264" ? "h264" : "mpeg4";
}

// A film of `count` copies of picture; the writer's reason on failure.
std::string write_film(const std::string& path, int w, int h, int fps, const Picture& picture,
                       int count, const std::string& encoder = "") {
    FilmWriter film;
    std::string error;
    if (!film.open(path, w, h, fps, error, encoder))
        return error;
    for (int k = 0; k < count; ++k)
        if (!film.add(picture.frame(), error))
            return error;
    return film.finish(error) ? "" : error;
}

// Lossy coding moves colours a little; which primary a pixel shows does not.
char primary_at(const std::vector<std::uint8_t>& rgb, int width, int x, int y) {
    const std::size_t at = (std::size_t(y) * width + x) * 3;
    if (at + 2 >= rgb.size())
        return '?';
    const int r = rgb[at], g = rgb[at + 1], b = rgb[at + 2];
    if (r > 180 && g < 80 && b < 80)
        return 'r';
    if (g > 180 && r < 80 && b < 80)
        return 'g';
    if (b > 180 && r < 80 && g < 80)
        return 'b';
    if (r > 180 && g > 180 && b > 180)
        return 'w';
    if (r < 40 && g < 40 && b < 40)
        return 'k';
    return '?';
}

TEST(FilmWriter, FilmsHaveTheCodecSizeFrameCountAndDurationAsked) {
    struct Case {
        int width, height, fps, frames;
        PixelLayout layout;
        int film_width, film_height; // odd sizes get one pixel more
        const char* encoder;         // empty: the best there is
        const char* codec;           // empty: the best there is
    };
    const Case cases[] = {
        {64, 48, 10, 12, PixelLayout::Rgb, 64, 48, "", ""},
        {65, 49, 25, 30, PixelLayout::Bgrx, 66, 50, "", ""},
        {32, 33, 30, 1, PixelLayout::Rgba, 32, 34, "", ""},
        // The encoder of FFmpeg builds without libx264.
        {65, 49, 25, 30, PixelLayout::Bgrx, 66, 50, "mpeg4", "mpeg4"},
    };
    TempDir dir;
    for (const Case& c : cases) {
        const std::string path = dir.path() + "/film.mp4";
        Picture picture(c.width, c.height, c.layout);
        picture.fill(0, 0, c.width / 2, c.height, 200, 100, 50);
        ASSERT_EQ(write_film(path, c.width, c.height, c.fps, picture, c.frames, c.encoder), "");
        const FilmProbe probe = probe_film(path);
        ASSERT_TRUE(probe.readable) << probe.errors;
        EXPECT_EQ(probe.codec, *c.codec ? c.codec : expected_codec());
        EXPECT_EQ(probe.width, c.film_width) << c.width;
        EXPECT_EQ(probe.height, c.film_height) << c.height;
        EXPECT_EQ(probe.frames, c.frames) << c.width;
        EXPECT_NEAR(probe.seconds, double(c.frames) / c.fps, 0.5 / c.fps) << c.width;
        EXPECT_EQ(probe.errors, "");
    }
}

TEST(FilmWriter, EveryPixelLayoutKeepsItsColours) {
    TempDir dir;
    for (PixelLayout layout : {PixelLayout::Rgb, PixelLayout::Rgba, PixelLayout::Bgrx}) {
        // Red, green and blue bands, wide enough for chroma subsampling.
        Picture picture(96, 32, layout);
        picture.fill(0, 0, 32, 32, 255, 0, 0);
        picture.fill(32, 0, 64, 32, 0, 255, 0);
        picture.fill(64, 0, 96, 32, 0, 0, 255);
        const std::string path = dir.path() + "/colours.mp4";
        ASSERT_EQ(write_film(path, 96, 32, 10, picture, 2), "");
        const std::vector<std::uint8_t> rgb = first_film_frame(path);
        ASSERT_EQ(rgb.size(), 96u * 32 * 3);
        EXPECT_EQ(std::string() + primary_at(rgb, 96, 16, 16) + primary_at(rgb, 96, 48, 16) +
                      primary_at(rgb, 96, 80, 16),
                  "rgb")
            << int(layout);
    }
}

TEST(FilmWriter, AFrameOfAnotherSizeIsCentredOnTheFilm) {
    TempDir dir;
    const std::string path = dir.path() + "/sizes.mp4";
    FilmWriter film;
    std::string error;
    ASSERT_TRUE(film.open(path, 64, 48, 10, error)) << error;
    // Larger: red all round a green middle of the film's size.
    Picture larger(128, 96);
    larger.fill(0, 0, 128, 96, 255, 0, 0);
    larger.fill(32, 24, 96, 72, 0, 255, 0);
    ASSERT_TRUE(film.add(larger.frame(), error)) << error;
    // Smaller: white in the middle, black round it.
    Picture smaller(32, 24);
    smaller.fill(0, 0, 32, 24, 255, 255, 255);
    ASSERT_TRUE(film.add(smaller.frame(), error)) << error;
    EXPECT_EQ(film.frames(), 2);
    ASSERT_TRUE(film.finish(error)) << error;

    const std::vector<std::uint8_t> rgb = first_film_frame(path);
    ASSERT_EQ(rgb.size(), 64u * 48 * 3);
    for (auto [x, y] : {std::pair{2, 2}, {61, 2}, {2, 45}, {61, 45}, {32, 24}})
        EXPECT_EQ(primary_at(rgb, 64, x, y), 'g') << x << "," << y;
    const FilmProbe probe = probe_film(path);
    EXPECT_EQ(probe.frames, 2);
    EXPECT_EQ(probe.width, 64);
    // The second frame, through ffmpeg's frame selection.
    const std::string second = dir.path() + "/second.mp4";
    ASSERT_EQ(
        std::system(("ffmpeg -v error -y -i '" + path +
                     "' -vf select='eq(n\\,1)' -frames:v 1 -c:v mpeg4 -q:v 1 '" + second + "'")
                        .c_str()),
        0);
    const std::vector<std::uint8_t> small = first_film_frame(second);
    ASSERT_EQ(small.size(), 64u * 48 * 3);
    EXPECT_EQ(primary_at(small, 64, 32, 24), 'w');
    EXPECT_EQ(primary_at(small, 64, 3, 3), 'k');
    EXPECT_EQ(primary_at(small, 64, 60, 44), 'k');
}

TEST(FilmWriter, WhatCannotBeStartedIsAReasonAndNoFile) {
    TempDir dir;
    FilmWriter film;
    std::string error;
    const std::string missing = dir.path() + "/no/such/folder/film.mp4";
    EXPECT_FALSE(film.open(missing, 64, 48, 10, error));
    EXPECT_NE(error.find(missing), std::string::npos) << error;
    EXPECT_NE(error.find("No such file or directory"), std::string::npos) << error;

    struct Case {
        int width, height, fps;
        const char* says;
    };
    const Case cases[] = {{0, 48, 10, "0x48"},
                          {64, -1, 10, "64x-1"},
                          {64, 48, 0, "0 frames"},
                          {64, 48, 1000, "1000 frames"}};
    for (const Case& c : cases) {
        const std::string path = dir.path() + "/bad.mp4";
        error.clear();
        EXPECT_FALSE(film.open(path, c.width, c.height, c.fps, error)) << c.says;
        EXPECT_NE(error.find(c.says), std::string::npos) << error;
        EXPECT_FALSE(std::filesystem::exists(path)) << c.says;
        EXPECT_FALSE(film.is_open());
    }
    EXPECT_FALSE(film.open(dir.path() + "/x.mp4", 64, 48, 10, error, "no-such-encoder"));
    EXPECT_NE(error.find("no encoder 'no-such-encoder'"), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(dir.path() + "/x.mp4"));
    Picture picture(64, 48);
    EXPECT_FALSE(film.add(picture.frame(), error));
    EXPECT_EQ(error, "no film is open");
}

TEST(FilmWriter, AFilmGoesIntoARegularFileOnly) {
    TempDir dir;
    struct Case {
        std::string path;
        const char* kind;
    };
    const Case cases[] = {{"/dev/full", "a device"}, {dir.path(), "a directory"}};
    for (const Case& c : cases) {
        FilmWriter film;
        std::string error;
        EXPECT_FALSE(film.open(c.path, 64, 48, 10, error)) << c.path;
        EXPECT_EQ(error, "cannot write a film to '" + c.path + "': it is " + c.kind +
                             ", not a regular file");
    }
    EXPECT_TRUE(std::filesystem::is_directory(dir.path()));
}

// A different picture each frame, so that frames cost bytes.
Picture moving(int k) {
    Picture picture(160, 120);
    std::uint32_t noise = 2463534242u + k;
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 160; ++x) {
            noise ^= noise << 13, noise ^= noise >> 17, noise ^= noise << 5;
            picture.set(x, y, noise & 0xff, (noise >> 8) & 0xff, (noise >> 16) & 0xff);
        }
    return picture;
}

// Runs `write` in a child process (its own limits, its own death); the
// frames it accepted come back through a pipe.
template <class Write> long in_child(Write write) {
    int ends[2];
    if (pipe(ends) != 0)
        return -1;
    const pid_t child = fork();
    if (child == 0) {
        close(ends[0]);
        const long accepted = write();
        if (::write(ends[1], &accepted, sizeof accepted) != sizeof accepted)
            _exit(3);
        _exit(0);
    }
    close(ends[1]);
    long accepted = -1;
    if (read(ends[0], &accepted, sizeof accepted) != sizeof accepted)
        accepted = -1;
    close(ends[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return accepted;
}

TEST(FilmWriter, AFileSizeLimitLeavesAPlayableFilmOfTheFramesBefore) {
    TempDir dir;
    const std::string path = dir.path() + "/limited.mp4";
    const std::string reason_file = dir.path() + "/reason.txt";
    const int fps = 10;
    const long accepted = in_child([&]() -> long {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{300 * 1024, 300 * 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
        FilmWriter film;
        std::string error;
        if (!film.open(path, 160, 120, fps, error))
            return -2;
        for (int k = 0; k < 1000; ++k)
            if (!film.add(moving(k).frame(), error)) {
                if (FILE* f = fopen(reason_file.c_str(), "w")) {
                    fputs(error.c_str(), f);
                    fclose(f);
                }
                return film.frames();
            }
        return -3; // the limit was never reached
    });
    ASSERT_GT(accepted, 2 * fps);
    std::string reason(256, '\0');
    if (FILE* f = fopen(reason_file.c_str(), "r")) {
        reason.resize(fread(reason.data(), 1, reason.size(), f));
        fclose(f);
    }
    EXPECT_NE(reason.find("File too large"), std::string::npos) << reason;
    EXPECT_NE(reason.find(path), std::string::npos) << reason;

    const FilmProbe probe = probe_film(path);
    ASSERT_TRUE(probe.readable) << probe.errors;
    EXPECT_EQ(probe.codec, expected_codec());
    // The whole fragments of a second each, and what of the one being
    // written reached the file; at most the fragment in memory is lost.
    EXPECT_LE(probe.frames, accepted);
    EXPECT_GE(probe.frames, accepted - 2 * fps);
    EXPECT_GE(probe.frames, fps);
}

TEST(FilmWriter, AFileThatCannotTakeTheHeaderIsNoFilmAndIsRemoved) {
    TempDir dir;
    const std::string path = dir.path() + "/empty.mp4";
    const std::string reason_file = dir.path() + "/reason.txt";
    const long opened = in_child([&]() -> long {
        signal(SIGXFSZ, SIG_IGN);
        std::string error;
        {
            FilmWriter film;
            const rlimit limit{0, RLIM_INFINITY};
            setrlimit(RLIMIT_FSIZE, &limit);
            if (film.open(path, 64, 48, 10, error))
                return 1;
        }
        const rlimit unlimited{RLIM_INFINITY, RLIM_INFINITY};
        setrlimit(RLIMIT_FSIZE, &unlimited);
        if (FILE* f = fopen(reason_file.c_str(), "w")) {
            fputs(error.c_str(), f);
            fclose(f);
        }
        return 0;
    });
    EXPECT_EQ(opened, 0);
    EXPECT_EQ(files_in(dir.path()), std::set<std::string>{"reason.txt"});
    EXPECT_EQ(slurp(reason_file), "cannot write to '" + path + "': File too large");
}

TEST(FilmWriter, AKilledWriterLeavesTheWholeSecondsWritten) {
    TempDir dir;
    const std::string path = dir.path() + "/killed.mp4";
    const int fps = 10;
    in_child([&]() -> long {
        FilmWriter film;
        std::string error;
        if (film.open(path, 160, 120, fps, error))
            for (int k = 0; k < 35; ++k)
                film.add(moving(k).frame(), error);
        // No finish, no destructor: as a program that is killed.
        kill(getpid(), SIGKILL);
        return 0;
    });
    const FilmProbe probe = probe_film(path);
    ASSERT_TRUE(probe.readable) << probe.errors;
    EXPECT_EQ(probe.frames, 30);
    EXPECT_NEAR(probe.seconds, 3.0, 0.05);
}

} // namespace
