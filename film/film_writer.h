// A film of pictures: frames of plain pixels encoded into an MP4 file with
// FFmpeg's libraries, for the window's recording and the simulator's --film.
// No toolkit here, so that anything holding pixels can feed it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

// How the bytes of a frame's pixel hold its colours.
enum class PixelLayout {
    Rgb,  // 3 bytes R, G, B (a wxImage's data)
    Rgba, // 4 bytes R, G, B, A; alpha ignored
    Bgrx, // 4 bytes B, G, R, unused: a little-endian 0x00RRGGBB word, the
          // layout of RasterCanvas and Cairo's RGB24
};

// One picture: rows top to bottom, `stride` bytes apart.
struct FilmFrame {
    const std::uint8_t* bytes = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;
    PixelLayout layout = PixelLayout::Rgb;
};

// A frame of packed RGB rows, as an image of the toolkit holds them.
inline FilmFrame rgb_frame(const std::uint8_t* bytes, int width, int height) {
    return {bytes, width, height, width * 3, PixelLayout::Rgb};
}

class FilmWriter {
public:
    FilmWriter();
    // Finishes a film still open: a program that ends keeps its film.
    ~FilmWriter();
    FilmWriter(const FilmWriter&) = delete;
    FilmWriter& operator=(const FilmWriter&) = delete;

    // Starts a film of width x height pixels at fps frames per second at
    // path (replacing a file there). H.264 needs even sizes: an odd width or
    // height gets one black column or row more. False with a reason in plain
    // words when no encoder is there or the file cannot be made; nothing is
    // written at path before the encoder is ready.
    // `encoder` names an FFmpeg encoder to use instead of the best one.
    bool open(const std::string& path, int width, int height, int fps, std::string& error,
              const std::string& encoder = "");

    // Encodes one frame. A frame of another size than the film's is centred
    // on it, cropped where it is larger and on black where it is smaller.
    // False with a reason when the file cannot take it (a full disk, a file
    // size limit): the film is then closed, what was written before stays a
    // playable film, and further frames are refused with the same reason.
    bool add(const FilmFrame& frame, std::string& error);

    // Encodes the frames the encoder still holds and closes the file. False
    // with a reason when that fails; a film never opened finishes at once.
    bool finish(std::string& error);

    bool is_open() const;
    long frames() const;
    double seconds() const;
    int width() const;
    int height() const;
    int fps() const;
    // "libx264" or the encoder used in its place.
    std::string codec() const;

    // The encoder films get on this machine: libx264 where FFmpeg carries
    // it, else MPEG-4 part 2; empty when neither is there.
    static std::string available_codec();

private:
    struct State;
    std::unique_ptr<State> state_;
};
