#pragma once
// One encoded video stream muxed into a file: the part the MP4 and GIF writers share. The file
// is written to a temporary file beside its destination (core/PendingFile.h) and put in place by
// finish(); dropped before that, it leaves nothing.

#include <functional>
#include <string>

#include "core/PendingFile.h"
#include "video/FfmpegHandles.h"

namespace qx {

class EncodedFile {
public:
    struct Setup {
        const char* format = nullptr;  // the muxer's name: "mp4", "gif"
        const AVCodec* codec = nullptr;
        // Sets the encoder's size, pixel format, time base and the like before it is opened.
        std::function<void(AVCodecContext&)> configure;
        AVDictionary* codecOptions = nullptr;  // borrowed; what is left unused is ignored
        AVDictionary* muxerOptions = nullptr;
        // Whether a file dropped after its header still needs its trailer: the GIF muxer frees
        // the packet it holds back only there. (The MP4 muxer frees its own, and its trailer
        // would rewrite the whole file to move its index first.)
        bool trailerWhenDropped = false;
    };

    EncodedFile() = default;
    EncodedFile(const EncodedFile&) = delete;
    EncodedFile& operator=(const EncodedFile&) = delete;
    // Writes the trailer of a dropped file that asked for it, into the temporary file that then goes.
    ~EncodedFile();

    bool open(const std::string& destination, const Setup& setup, std::string* reason);
    const AVCodecContext& codec() const { return *codec_; }
    // Encodes one frame (its pts in the encoder's time base) and muxes what comes out.
    bool send(const AVFrame& frame, std::string* reason);
    // Drains the encoder, writes the trailer, closes the file and renames it into place.
    bool finish(std::string* reason);

private:
    bool encode(const AVFrame* frame, std::string* reason);

    PendingFile file_;  // declared first: the output closes its file before the file goes
    ffmpeg::Output output_;
    ffmpeg::CodecContext codec_;
    ffmpeg::Packet packet_;
    AVStream* stream_ = nullptr;
    bool trailerDue_ = false;  // the header is written and the trailer not yet
};

}  // namespace qx
