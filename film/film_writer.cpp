#include "film/film_writer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include <sys/stat.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/error.h>
#include <libavutil/imgutils.h>
#include <libavutil/log.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

namespace {

// ultrafast: a 1280 x 720 film of a thousand bodies with trails encodes at
// about 200 frames a second here (bench/bench_film.cpp), veryfast hardly
// slower but with a lookahead, so more frames held back from the file; the
// pictures are mostly black, and a minute of film stays a few megabytes.
const char* const X264_PRESET = "ultrafast";
// A keyframe, and so a fragment of the file, every second: what a killed
// program or a full disk loses is at most the last second.
const int KEYFRAME_SECONDS = 1;

// A film goes into a regular file only: into a device it would overwrite
// whatever is there.
std::string not_a_file(const std::string& path) {
    struct stat there {};
    if (::stat(path.c_str(), &there) != 0 || S_ISREG(there.st_mode))
        return "";
    if (S_ISDIR(there.st_mode))
        return "a directory";
    if (S_ISFIFO(there.st_mode))
        return "a named pipe";
    if (S_ISCHR(there.st_mode) || S_ISBLK(there.st_mode))
        return "a device";
    return "something else";
}

std::string av_reason(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

AVPixelFormat av_layout(PixelLayout layout) {
    switch (layout) {
    case PixelLayout::Rgb:
        return AV_PIX_FMT_RGB24;
    case PixelLayout::Rgba:
        return AV_PIX_FMT_RGBA;
    case PixelLayout::Bgrx:
        return AV_PIX_FMT_BGR0;
    }
    return AV_PIX_FMT_RGB24;
}

int bytes_per_pixel(PixelLayout layout) {
    return layout == PixelLayout::Rgb ? 3 : 4;
}

const AVCodec* film_encoder() {
    if (const AVCodec* x264 = avcodec_find_encoder_by_name("libx264"))
        return x264;
    return avcodec_find_encoder(AV_CODEC_ID_MPEG4);
}

} // namespace

struct FilmWriter::State {
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    AVStream* stream = nullptr;
    AVFrame* picture = nullptr;
    AVPacket* packet = nullptr;
    SwsContext* convert = nullptr;
    // A frame of another size, centred on the film's, before conversion.
    std::vector<std::uint8_t> staging;
    std::string path;
    std::string failure; // set once writing failed; the film is closed then
    long frames = 0;
    int fps = 0;

    ~State() { release(); }

    void release() {
        sws_freeContext(convert);
        convert = nullptr;
        av_packet_free(&packet);
        av_frame_free(&picture);
        avcodec_free_context(&codec);
        if (format) {
            if (format->pb)
                avio_closep(&format->pb);
            avformat_free_context(format);
            format = nullptr;
        }
        stream = nullptr;
    }

    // The encoder's packets into the file; false with `failure` set.
    bool drain() {
        for (;;) {
            const int got = avcodec_receive_packet(codec, packet);
            if (got == AVERROR(EAGAIN) || got == AVERROR_EOF)
                return true;
            if (got < 0)
                return fail("the encoder failed: " + av_reason(got));
            // Every frame lasts one frame time; without it a film's last
            // frame has no duration in the file.
            if (packet->duration <= 0)
                packet->duration = 1;
            av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
            packet->stream_index = stream->index;
            const int wrote = av_interleaved_write_frame(format, packet);
            if (wrote < 0)
                return fail("cannot write to '" + path + "': " + av_reason(wrote));
            if (format->pb->error < 0)
                return fail("cannot write to '" + path + "': " + av_reason(format->pb->error));
        }
    }

    // Closes what can be closed: the fragments already in the file are a
    // film of their own, so the file stays.
    bool fail(const std::string& reason) {
        failure = reason;
        release();
        return false;
    }
};

FilmWriter::FilmWriter() = default;

FilmWriter::~FilmWriter() {
    std::string ignored;
    finish(ignored);
}

std::string FilmWriter::available_codec() {
    const AVCodec* codec = film_encoder();
    return codec ? codec->name : "";
}

bool FilmWriter::open(const std::string& path, int width, int height, int fps, std::string& error,
                      const std::string& encoder_name) {
    std::string ignored;
    finish(ignored);
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384) {
        error =
            "a film cannot be " + std::to_string(width) + "x" + std::to_string(height) + " pixels";
        return false;
    }
    if (fps < 1 || fps > 240) {
        error = "a film cannot have " + std::to_string(fps) + " frames per second";
        return false;
    }
    // The reasons are returned; the libraries' own lines would repeat them.
    av_log_set_level(AV_LOG_QUIET);
    auto state = std::make_unique<State>();
    state->path = path;
    state->fps = fps;
    const AVCodec* encoder =
        encoder_name.empty() ? film_encoder() : avcodec_find_encoder_by_name(encoder_name.c_str());
    if (!encoder) {
        error = encoder_name.empty()
                    ? "this FFmpeg has neither an H.264 (libx264) nor an MPEG-4 encoder"
                    : "this FFmpeg has no encoder '" + encoder_name + "'";
        return false;
    }
    if (avformat_alloc_output_context2(&state->format, nullptr, "mp4", path.c_str()) < 0 ||
        !state->format) {
        error = "this FFmpeg cannot write MP4 files";
        return false;
    }
    AVCodecContext* c = state->codec = avcodec_alloc_context3(encoder);
    state->picture = av_frame_alloc();
    state->packet = av_packet_alloc();
    if (!c || !state->picture || !state->packet) {
        error = "out of memory for the film";
        return false;
    }
    c->width = width + (width % 2);
    c->height = height + (height % 2);
    c->pix_fmt = AV_PIX_FMT_YUV420P;
    c->time_base = AVRational{1, fps};
    c->framerate = AVRational{fps, 1};
    c->gop_size = fps * KEYFRAME_SECONDS;
    c->max_b_frames = 0;
    c->thread_count = 0; // as many as the machine has
    if (state->format->oformat->flags & AVFMT_GLOBALHEADER)
        c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    AVDictionary* codec_options = nullptr;
    if (std::strcmp(encoder->name, "libx264") == 0) {
        av_dict_set(&codec_options, "preset", X264_PRESET, 0);
        av_dict_set(&codec_options, "crf", "23", 0);
    } else {
        // A fixed quality: bright dots and thin trails on black stay sharp.
        c->flags |= AV_CODEC_FLAG_QSCALE;
        c->global_quality = FF_QP2LAMBDA * 3;
    }
    const int opened = avcodec_open2(c, encoder, &codec_options);
    av_dict_free(&codec_options);
    if (opened < 0) {
        error = std::string("cannot start the ") + encoder->name + " encoder at " +
                std::to_string(c->width) + "x" + std::to_string(c->height) + ": " +
                av_reason(opened);
        return false;
    }
    state->picture->format = c->pix_fmt;
    state->picture->width = c->width;
    state->picture->height = c->height;
    if (av_frame_get_buffer(state->picture, 0) < 0) {
        error = "out of memory for the film";
        return false;
    }
    state->stream = avformat_new_stream(state->format, nullptr);
    if (!state->stream || avcodec_parameters_from_context(state->stream->codecpar, c) < 0) {
        error = "cannot make the film's stream";
        return false;
    }
    state->stream->time_base = c->time_base;
    const std::string kind = not_a_file(path);
    if (!kind.empty()) {
        error = "cannot write a film to '" + path + "': it is " + kind + ", not a regular file";
        return false;
    }
    const int file = avio_open(&state->format->pb, path.c_str(), AVIO_FLAG_WRITE);
    if (file < 0) {
        error = "cannot open '" + path + "' for writing: " + av_reason(file);
        return false;
    }
    // Fragments written as they are complete, each with its own index: the
    // file is a film at any moment, whenever the writing stops.
    state->format->flags |= AVFMT_FLAG_FLUSH_PACKETS;
    AVDictionary* muxer_options = nullptr;
    av_dict_set(&muxer_options, "movflags", "frag_keyframe+empty_moov+default_base_moof", 0);
    const int header = avformat_write_header(state->format, &muxer_options);
    av_dict_free(&muxer_options);
    if (header < 0 || state->format->pb->error < 0) {
        error = "cannot write to '" + path +
                "': " + av_reason(header < 0 ? header : state->format->pb->error);
        // A file without its header holds no film: nothing to keep.
        state->release();
        std::remove(path.c_str());
        return false;
    }
    state_ = std::move(state);
    return true;
}

bool FilmWriter::add(const FilmFrame& frame, std::string& error) {
    if (!state_) {
        error = "no film is open";
        return false;
    }
    State& s = *state_;
    if (!s.failure.empty()) {
        error = s.failure;
        return false;
    }
    if (!frame.bytes || frame.width <= 0 || frame.height <= 0 ||
        frame.stride < frame.width * bytes_per_pixel(frame.layout)) {
        error = "a frame without pixels";
        return false;
    }
    const int w = s.codec->width, h = s.codec->height;
    const int bpp = bytes_per_pixel(frame.layout);
    const std::uint8_t* source = frame.bytes;
    int stride = frame.stride;
    if (frame.width != w || frame.height != h) {
        // Centred: the middle of a larger picture, a smaller one on black.
        s.staging.assign(std::size_t(w) * h * bpp, 0);
        const int copy_w = std::min(w, frame.width), copy_h = std::min(h, frame.height);
        const int from_x = std::max(0, (frame.width - w) / 2),
                  from_y = std::max(0, (frame.height - h) / 2);
        const int to_x = std::max(0, (w - frame.width) / 2),
                  to_y = std::max(0, (h - frame.height) / 2);
        for (int y = 0; y < copy_h; ++y)
            std::memcpy(&s.staging[(std::size_t(to_y + y) * w + to_x) * bpp],
                        frame.bytes + std::size_t(from_y + y) * frame.stride +
                            std::size_t(from_x) * bpp,
                        std::size_t(copy_w) * bpp);
        source = s.staging.data();
        stride = w * bpp;
    }
    s.convert = sws_getCachedContext(s.convert, w, h, av_layout(frame.layout), w, h,
                                     s.codec->pix_fmt, SWS_POINT, nullptr, nullptr, nullptr);
    if (!s.convert || av_frame_make_writable(s.picture) < 0) {
        error = s.failure = "cannot convert the frame's colours";
        s.release();
        return false;
    }
    const std::uint8_t* planes[1] = {source};
    const int strides[1] = {stride};
    sws_scale(s.convert, planes, strides, 0, h, s.picture->data, s.picture->linesize);
    s.picture->pts = s.frames;
    const int sent = avcodec_send_frame(s.codec, s.picture);
    if (sent < 0) {
        error = "the encoder failed: " + av_reason(sent);
        s.fail(error);
        return false;
    }
    if (!s.drain()) {
        error = s.failure;
        return false;
    }
    ++s.frames;
    return true;
}

bool FilmWriter::finish(std::string& error) {
    if (!state_)
        return true;
    std::unique_ptr<State> s = std::move(state_);
    if (!s->failure.empty()) {
        error = s->failure;
        return false;
    }
    bool ok = avcodec_send_frame(s->codec, nullptr) >= 0 && s->drain();
    if (ok) {
        const int trailer = av_write_trailer(s->format);
        if (trailer < 0 || s->format->pb->error < 0) {
            ok = false;
            s->failure = "cannot write to '" + s->path +
                         "': " + av_reason(trailer < 0 ? trailer : s->format->pb->error);
        }
    }
    if (ok) {
        const int closed = avio_closep(&s->format->pb);
        if (closed < 0) {
            ok = false;
            s->failure = "cannot write to '" + s->path + "': " + av_reason(closed);
        }
    }
    if (!ok)
        error = s->failure;
    return ok;
}

bool FilmWriter::is_open() const {
    return state_ && state_->failure.empty();
}

long FilmWriter::frames() const {
    return state_ ? state_->frames : 0;
}

double FilmWriter::seconds() const {
    return state_ && state_->fps > 0 ? double(state_->frames) / state_->fps : 0;
}

int FilmWriter::width() const {
    return state_ && state_->codec ? state_->codec->width : 0;
}

int FilmWriter::height() const {
    return state_ && state_->codec ? state_->codec->height : 0;
}

int FilmWriter::fps() const {
    return state_ ? state_->fps : 0;
}

std::string FilmWriter::codec() const {
    return state_ && state_->codec ? state_->codec->codec->name : "";
}
