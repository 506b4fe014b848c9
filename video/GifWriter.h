#pragma once
// Frames into a looping GIF whose one palette is made for the whole clip: every frame goes
// through FFmpeg's palettegen, which gives the palette only once it has seen the last frame,
// while paletteuse holds the frames back until then and maps them onto it. The frames are held
// in memory meanwhile, which is why openFrameWriter bounds a GIF's size.

#include <string>

#include "video/EncodedFile.h"
#include "video/FrameWriter.h"

namespace qx {

class GifWriter : public FrameWriter {
public:
    bool open(const std::string& path, const VideoFormat& format, std::string* reason);
    bool write(const std::uint8_t* rgba, std::string* reason) override;
    bool finish(std::string* reason) override;

private:
    // Encodes every frame the graph has ready.
    bool drain(std::string* reason);

    VideoFormat format_;
    EncodedFile file_;
    ffmpeg::FilterGraph graph_;
    AVFilterContext* source_ = nullptr;  // owned by the graph
    AVFilterContext* sink_ = nullptr;
    ffmpeg::Frame in_;
    ffmpeg::Frame out_;
    std::int64_t next_ = 0;
};

}  // namespace qx
